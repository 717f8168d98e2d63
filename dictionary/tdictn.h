// The word list component: answers whether a text is a word by binary search over a list of
// records. The list built into the program is searched where it lies in the executable, so
// every copy shares its pages and nothing is written to disk. A player may supply their own
// list as a file "English" in the working folder; it is used as it stands and never changed
// or deleted.
//
// Record format (records back to back, no header):
//   byte 0      0x1E, not interpreted
//   bytes 1..14 the word in upper-case A-Z, blank-padded on the right
// Records are sorted by byte order of the word field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

inline constexpr std::string_view kDictionaryFileName = "English";
inline constexpr std::string_view kDictionaryNotFound = "English.dic dictionary not found!";

// The list built into the program.
std::span<const char> embeddedWordList();

// Not copyable; single-threaded (one instance, used from the UI thread).
class TDictn {
  public:
    static constexpr int keylength = 15;
    static constexpr int recsize = 15;
    // A player's own list of more words than this is refused: it is read into memory
    // whole and indexed when a game starts. The largest real word lists have about
    // 500,000 words; the largest accepted list costs each program well under 64 MiB and
    // 1 s more (bench/wordlist_bench.cpp).
    static constexpr std::uintmax_t kMaxFileWords = 600'000;
    static constexpr std::uintmax_t kMaxFileBytes = kMaxFileWords * recsize;

    // Searches dir/"English" when that file exists and is a well-formed list (its size a
    // multiple of recsize, at most kMaxFileWords, each word after the one before it), else
    // `list`, which must outlive this object.
    // A refused file is named with the reason in refusal(); the owner tells the user.
    explicit TDictn(std::filesystem::path dir = std::filesystem::current_path(),
                    std::span<const char> list = embeddedWordList());
    TDictn(const TDictn&) = delete;
    TDictn& operator=(const TDictn&) = delete;

    bool IsWord(std::string_view text) const;
    // Record `index` (0..lastindex()) normalised like a key, without the padding; empty for
    // a blank or unreadable record. Lets a caller build its own index of the list.
    std::string wordAt(std::int64_t index) const;

    // False only when no list could be had (an empty built-in list); every lookup then
    // answers false and the owner tells the user with kDictionaryNotFound.
    bool opened() const { return opened_; }
    std::int64_t lastindex() const { return lastindex_; }
    // The player's file in use; empty while the built-in list is searched.
    const std::filesystem::path& path() const { return path_; }
    // Why the player's "English" file was not used; empty when there was none or it is used.
    const std::string& refusal() const { return refusal_; }
    // The records searched, back to back in order (recsize bytes each); valid while this
    // object lives.
    std::span<const char> records() const { return records_; }

    // Upper case, zero bytes as blanks, trimmed, blank-padded to keylength (never cut).
    static std::string normalise(std::string_view text);

  private:
    // Reads and checks dir/"English"; false (with refusal_ set) when it cannot be used.
    bool useFile(const std::filesystem::path& file);

    std::filesystem::path path_;
    std::string refusal_;
    std::vector<char> fileRecords_;  // a player's list, held while it is searched
    std::span<const char> records_;
    std::int64_t lastindex_ = -1;
    bool opened_ = false;
};

}  // namespace tessarin
