#include "tdictn.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace tessarin {

namespace {

void writeWorkingCopy(const std::filesystem::path& path, std::span<const char> list) {
    // The resource is read as a zero-terminated text: everything before the first zero.
    const auto length = ::strnlen(list.data(), list.size());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(list.data(), static_cast<std::streamsize>(length));
}

}  // namespace

TDictn::TDictn(std::filesystem::path dir, std::span<const char> list)
    : path_(std::move(dir) / kDictionaryFileName) {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec) && !list.empty()) writeWorkingCopy(path_, list);

    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    opened_ = true;
    lastindex_ = st.st_size / recsize - 1;
    if (st.st_size > 0) {
        void* map =
            ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_SHARED, fd_, 0);
        if (map != MAP_FAILED) {
            map_ = static_cast<const char*>(map);
            mapSize_ = static_cast<std::size_t>(st.st_size);
        }
    }
}

TDictn::~TDictn() {
    if (map_) ::munmap(const_cast<char*>(map_), mapSize_);
    if (fd_ >= 0) ::close(fd_);
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

std::string TDictn::normalise(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c == '\0') c = ' ';
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    s = s.substr(first, s.find_last_not_of(' ') - first + 1);
    if (s.size() < keylength) s.resize(keylength, ' ');
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool TDictn::readRecord(std::int64_t index, char (&word)[recsize - 1]) const {
    const auto offset = static_cast<std::size_t>(index) * recsize;
    if (map_) {
        if (offset + recsize > mapSize_) return false;
        std::memcpy(word, map_ + offset + 1, recsize - 1);
        return true;
    }
    char record[recsize];
    ssize_t got;
    do {
        got = ::pread(fd_, record, recsize, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    if (got < 0) throw std::system_error(errno, std::generic_category(), "Word list read error");
    if (got != recsize) return false;
    std::memcpy(word, record + 1, recsize - 1);
    return true;
}

namespace {

// A record's word normalised like a key, in place: at most keylength bytes, so it never
// needs the heap. Returns its length (0 for a word of blanks only).
std::size_t normaliseRecord(const char (&word)[TDictn::recsize - 1],
                            char (&out)[TDictn::keylength]) {
    std::size_t first = 0, last = sizeof word;
    auto blank = [](char c) { return c == ' ' || c == '\0'; };
    while (first < last && blank(word[first])) ++first;
    while (last > first && blank(word[last - 1])) --last;
    if (first == last) return 0;
    std::size_t n = 0;
    for (std::size_t i = first; i < last; ++i) {
        const char c = word[i] == '\0' ? ' ' : word[i];
        out[n++] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    while (n < sizeof out) out[n++] = ' ';
    return n;
}

}  // namespace

bool TDictn::IsWord(std::string_view text) const {
    if (!opened_) return false;
    const std::string key = normalise(text);
    if (key.empty()) return false;

    std::int64_t lo = 0;
    std::int64_t hi = lastindex_;
    while (lo <= hi) {
        const std::int64_t mid = (lo + hi) / 2;
        char word[recsize - 1];
        if (!readRecord(mid, word)) return false;
        char candidate[keylength];
        const std::size_t length = normaliseRecord(word, candidate);
        const int order = std::string_view(candidate, length).compare(key);
        if (order == 0) return true;
        if (order < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return false;
}

std::string TDictn::wordAt(std::int64_t index) const {
    char word[recsize - 1];
    if (!opened_ || index < 0 || index > lastindex_ || !readRecord(index, word)) return {};
    char candidate[keylength];
    const std::size_t length = normaliseRecord(word, candidate);
    const std::string_view text(candidate, length);
    return std::string(text.substr(0, text.find_last_not_of(' ') + 1));
}

}  // namespace tessarin
