// The word search of a placement, answered from an index of the word list held in memory.
// It finds exactly what scorearrangements() finds over the same list: the same words,
// counted once per arrangement, appended in the same order. For each block of the newest m
// letters it first asks whether any word has those letters at all (an anagram key), and
// only then walks the arrangements in order, cutting off every prefix no word begins with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessarin {

class TDictn;

// Letters packed five bits each (a = 1 .. z = 26), first letter lowest: a text of up to six
// letters and its length in one number, never 0.
class LetterCodeSet {
  public:
    void reserve(std::size_t count);
    // False when the set held `code` already (or it is 0).
    bool insert(std::uint32_t code);
    // As insert, and counts how often `code` was added (up to 255).
    void add(std::uint32_t code);
    bool contains(std::uint32_t code) const;
    int count(std::uint32_t code) const;
    std::size_t size() const { return size_; }

  private:
    std::size_t slotOf(std::uint32_t code) const;
    void grow();
    void rehash();  // to 2^bits_ slots

    std::vector<std::uint32_t> slots_;  // 0 marks a free slot
    std::vector<std::uint8_t> counts_;  // beside each slot
    std::size_t size_ = 0;
    int bits_ = 0;  // slots_.size() is 2^bits_
};

// Builds its index from `spell` at construction, keeping only the records of one to six
// letters that spell.IsWord() accepts. `spell` must outlive the finder and not change;
// searches of rows holding anything but letters are handed to scorearrangements().
class WordFinder {
  public:
    static constexpr int kMaxLetters = 6;

    explicit WordFinder(const TDictn& spell);

    // As scorearrangements(spell, slots, n, found) for n = 0..6.
    int score(const char* slots, int n, std::string* found) const;

    // The same total as score(slots, n, nullptr), from each block's letters alone: a block
    // of m letters scores m for each arrangement that spells a word, and each word with the
    // block's letters is spelled by as many arrangements as its repeated letters can change
    // places. A few lookups, however many words the row makes.
    int scoreLetters(const char* slots, int n) const;

    // How many indexed words hold `letter` (a..z or A..Z) at least once; 0 for others.
    int wordsWith(char letter) const;
    std::size_t words() const { return words_.size(); }
    const TDictn& spell() const { return spell_; }

  private:
    int searchBlock(const int* letters, const char* slots, int m, std::string* found) const;

    const TDictn& spell_;
    LetterCodeSet words_;
    LetterCodeSet prefixes_;  // every proper prefix of a word
    LetterCodeSet anagrams_;  // every word's letters in ascending order, counted per word
    int wordsWith_[27] = {};
};

}  // namespace tessarin
