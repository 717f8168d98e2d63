// The word list component: answers whether a text is a word by binary search over the
// working copy of the list on disk, never holding the list in memory.
//
// Record format (the working copy is records back to back, no header):
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

    // Writes `list` (up to its first zero byte) to dir/"English" unless that file exists,
    // then opens it. When that fails opened() is false and every lookup answers false;
    // the owner tells the user with kDictionaryNotFound.
    explicit TDictn(std::filesystem::path dir = std::filesystem::current_path(),
                    std::span<const char> list = embeddedWordList());
    // Closes the working copy and deletes it, also when it existed before.
    ~TDictn();
    TDictn(const TDictn&) = delete;
    TDictn& operator=(const TDictn&) = delete;

    bool IsWord(std::string_view text) const;
    // Record `index` (0..lastindex()) normalised like a key, without the padding; empty for
    // a blank or unreadable record. Lets a caller build its own index of the list.
    std::string wordAt(std::int64_t index) const;

    bool opened() const { return opened_; }
    std::int64_t lastindex() const { return lastindex_; }
    const std::filesystem::path& path() const { return path_; }

    // Upper case, zero bytes as blanks, trimmed, blank-padded to keylength (never cut).
    static std::string normalise(std::string_view text);

  private:
    // Record `index`'s word field, or false on a short read.
    bool readRecord(std::int64_t index, char (&word)[recsize - 1]) const;

    std::filesystem::path path_;
    int fd_ = -1;
    // A read-only map of the working copy when the system grants one; each probe then
    // reads its record from the page cache without a system call.
    const char* map_ = nullptr;
    std::size_t mapSize_ = 0;
    std::int64_t lastindex_ = -1;
    bool opened_ = false;
};

}  // namespace tessarin
