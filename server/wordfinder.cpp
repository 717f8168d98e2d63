#include "wordfinder.h"

#include <algorithm>

#include "getcombos.h"
#include "tdictn.h"

namespace tessarin {

namespace {

int letterCode(char c) {
    if (c >= 'a' && c <= 'z') return c - 'a' + 1;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
    return 0;
}

std::uint32_t pack(const int* letters, int m) {
    std::uint32_t code = 0;
    for (int i = 0; i < m; ++i) code |= static_cast<std::uint32_t>(letters[i]) << (5 * i);
    return code;
}

std::uint32_t anagramKey(const int* letters, int m) {
    int sorted[WordFinder::kMaxLetters];
    for (int i = 0; i < m; ++i) {  // insertion sort: at most six letters
        int k = i;
        for (; k > 0 && sorted[k - 1] > letters[i]; --k) sorted[k] = sorted[k - 1];
        sorted[k] = letters[i];
    }
    return pack(sorted, m);
}

// One block's arrangements in the order nextcombo() visits them: the index chosen at each
// depth rises, so the walk is lexicographic in the indexes.
struct BlockWalk {
    const int* letters;
    const char* slots;
    int m;
    std::string* found;
    const LetterCodeSet& words;
    const LetterCodeSet& prefixes;
    int hits = 0;
    int order[WordFinder::kMaxLetters] = {};

    void walk(int depth, std::uint32_t code, unsigned used) {
        for (int j = 0; j < m; ++j) {
            if (used & (1u << j)) continue;
            const std::uint32_t next = code | static_cast<std::uint32_t>(letters[j]) << (5 * depth);
            order[depth] = j;
            if (depth + 1 < m) {
                if (prefixes.contains(next)) walk(depth + 1, next, used | 1u << j);
            } else if (words.contains(next)) {
                ++hits;
                if (found) {
                    *found += '+';
                    for (int i = 0; i < m; ++i) *found += slots[order[i]];
                }
            }
        }
    }
};

}  // namespace

std::size_t LetterCodeSet::slotOf(std::uint32_t code) const {
    // The high bits of a multiplicative hash: they depend on every letter.
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>((code * 0x9E3779B97F4A7C15ull) >> (64 - bits_));
    while (slots_[slot] != 0 && slots_[slot] != code) slot = (slot + 1) & mask;
    return slot;
}

void LetterCodeSet::reserve(std::size_t count) {
    while ((std::size_t{1} << bits_) < count * 2) ++bits_;
    rehash();
}

void LetterCodeSet::grow() {
    ++bits_;
    rehash();
}

void LetterCodeSet::rehash() {
    bits_ = std::max(bits_, 6);
    std::vector<std::uint32_t> old(std::size_t{1} << bits_, 0);
    std::vector<std::uint8_t> oldCounts(old.size(), 0);
    old.swap(slots_);
    oldCounts.swap(counts_);
    for (std::size_t i = 0; i < old.size(); ++i)
        if (old[i] != 0) {
            const std::size_t slot = slotOf(old[i]);
            slots_[slot] = old[i];
            counts_[slot] = oldCounts[i];
        }
}

bool LetterCodeSet::insert(std::uint32_t code) {
    if (code == 0) return false;
    if ((size_ + 1) * 2 > slots_.size()) grow();
    const std::size_t slot = slotOf(code);
    if (slots_[slot] == code) return false;
    slots_[slot] = code;
    counts_[slot] = 1;
    ++size_;
    return true;
}

void LetterCodeSet::add(std::uint32_t code) {
    if (insert(code)) return;
    std::uint8_t& n = counts_[slotOf(code)];
    if (code != 0 && n < 255) ++n;
}

bool LetterCodeSet::contains(std::uint32_t code) const {
    return !slots_.empty() && slots_[slotOf(code)] == code;
}

int LetterCodeSet::count(std::uint32_t code) const {
    if (slots_.empty()) return 0;
    const std::size_t slot = slotOf(code);
    return slots_[slot] == code ? counts_[slot] : 0;
}

WordFinder::WordFinder(const TDictn& spell) : spell_(spell) {
    // Binary search finds every record of a list in its own order; a list out of order
    // hides some words from it, and then each word is asked for so that the index hides
    // the same ones.
    std::vector<std::string> candidates;
    std::string previous, key;
    bool ordered = true;
    for (std::int64_t i = 0; i <= spell.lastindex(); ++i) {
        std::string word = spell.wordAt(i);
        key = word;
        if (!key.empty()) key.resize(TDictn::keylength, ' ');
        ordered &= previous <= key;
        previous.swap(key);
        if (!word.empty() && word.size() <= kMaxLetters) candidates.push_back(std::move(word));
    }
    words_.reserve(candidates.size());
    anagrams_.reserve(candidates.size());
    prefixes_.reserve(candidates.size() * 2);
    std::string_view last;
    for (const std::string& word : candidates) {
        const int m = static_cast<int>(word.size());
        int letters[kMaxLetters];
        bool plain = true;
        for (int k = 0; k < m; ++k) plain &= (letters[k] = letterCode(word[k])) != 0;
        if (!plain || (!ordered && !spell.IsWord(word))) continue;
        if (!words_.insert(pack(letters, m))) continue;
        anagrams_.add(anagramKey(letters, m));
        // Neighbours in the list share their first letters: those prefixes are in already.
        const int known = std::min(m - 1, static_cast<int>(last.size()) - 1);
        int shared = 0;
        while (shared < known && last[shared] == word[shared]) ++shared;
        for (int k = shared + 1; k < m; ++k) prefixes_.insert(pack(letters, k));
        last = word;
        bool seen[27] = {};
        for (int k = 0; k < m; ++k) seen[letters[k]] = true;
        for (int c = 1; c <= 26; ++c) wordsWith_[c] += seen[c];
    }
}

int WordFinder::wordsWith(char letter) const {
    return wordsWith_[letterCode(letter)];
}

int WordFinder::score(const char* slots, int n, std::string* found) const {
    n = std::min(n, kMaxLetters);  // no row is longer
    int letters[kMaxLetters];
    for (int i = 0; i < n; ++i)
        if ((letters[i] = letterCode(slots[i])) == 0)
            return scorearrangements(spell_, slots, n, found);
    int total = 0;
    for (int m = n; m >= 1; --m)
        if (anagrams_.contains(anagramKey(letters, m)))
            total += searchBlock(letters, slots, m, found);
    return total;
}

int WordFinder::scoreLetters(const char* slots, int n) const {
    n = std::min(n, kMaxLetters);
    int sorted[kMaxLetters];
    int seen[27] = {};
    int total = 0, orders = 1;  // orders: ways the block's repeated letters change places
    for (int m = 1; m <= n; ++m) {
        const int letter = letterCode(slots[m - 1]);
        if (letter == 0) return score(slots, n, nullptr);
        orders *= ++seen[letter];
        int k = m - 1;
        for (; k > 0 && sorted[k - 1] > letter; --k) sorted[k] = sorted[k - 1];
        sorted[k] = letter;
        total += m * orders * anagrams_.count(pack(sorted, m));
    }
    return total;
}

int WordFinder::searchBlock(const int* letters, const char* slots, int m,
                            std::string* found) const {
    BlockWalk walk{letters, slots, m, found, words_, prefixes_};
    walk.walk(0, 0, 0);
    return walk.hits * m;
}

}  // namespace tessarin
