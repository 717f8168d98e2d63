#include "tdictn.h"

#include <fstream>
#include <system_error>

namespace tessarin {

namespace {

// A record's word normalised like a key, in place: at most keylength bytes, so it never
// needs the heap. Returns its length (0 for a word of blanks only).
std::size_t normaliseRecord(const char* word, char (&out)[TDictn::keylength]) {
    std::size_t first = 0, last = TDictn::recsize - 1;
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

// The word of record `index` as the search compares it.
std::string_view recordKey(std::span<const char> records, std::int64_t index,
                           char (&buffer)[TDictn::keylength]) {
    const char* word = records.data() + static_cast<std::size_t>(index) * TDictn::recsize + 1;
    return {buffer, normaliseRecord(word, buffer)};
}

// Index of the first record that does not sort after its predecessor (out of order or a
// repeat), or -1 when every word follows the one before it.
std::int64_t firstOutOfOrder(std::span<const char> records) {
    const auto count = static_cast<std::int64_t>(records.size() / TDictn::recsize);
    char previous[TDictn::keylength], current[TDictn::keylength];
    for (std::int64_t i = 1; i < count; ++i) {
        if (recordKey(records, i, current) <= recordKey(records, i - 1, previous)) return i;
    }
    return -1;
}

}  // namespace

TDictn::TDictn(std::filesystem::path dir, std::span<const char> list) {
    std::error_code ec;
    const auto file = dir / kDictionaryFileName;
    if (!std::filesystem::exists(file, ec) || !useFile(file)) records_ = list;
    lastindex_ = static_cast<std::int64_t>(records_.size() / recsize) - 1;
    opened_ = !path_.empty() || !records_.empty();
}

bool TDictn::useFile(const std::filesystem::path& file) {
    const std::string name = "The word list \"" + file.string() + "\" ";
    const std::string fallback = "; the built-in word list is used instead.";
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        refusal_ = name + "cannot be read (" + ec.message() + ")" + fallback;
        return false;
    }
    if (size > kMaxFileBytes) {
        refusal_ = name + "is too large: it holds more than " + std::to_string(kMaxFileWords) +
                   " words" + fallback;
        return false;
    }
    if (size % recsize != 0) {
        refusal_ = name + "is not a word list: its size, " + std::to_string(size) +
                   " bytes, is not a whole number of " + std::to_string(recsize) + "-byte records" +
                   fallback;
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes(static_cast<std::size_t>(size));
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        refusal_ = name + "cannot be read" + fallback;
        return false;
    }
    if (const auto at = firstOutOfOrder(bytes); at >= 0) {
        refusal_ = name + "is not a word list: its words are not in order (record " +
                   std::to_string(at + 1) + " does not sort after the one above it)" + fallback;
        return false;
    }
    fileRecords_ = std::move(bytes);
    records_ = fileRecords_;
    path_ = file;
    return true;
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

bool TDictn::IsWord(std::string_view text) const {
    const std::string key = normalise(text);
    if (key.empty()) return false;

    std::int64_t lo = 0;
    std::int64_t hi = lastindex_;
    while (lo <= hi) {
        const std::int64_t mid = (lo + hi) / 2;
        char candidate[keylength];
        const int order = recordKey(records_, mid, candidate).compare(key);
        if (order == 0) return true;
        if (order < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return false;
}

std::string TDictn::wordAt(std::int64_t index) const {
    if (index < 0 || index > lastindex_) return {};
    char candidate[keylength];
    const std::string_view text = recordKey(records_, index, candidate);
    return std::string(text.substr(0, text.find_last_not_of(' ') + 1));
}

}  // namespace tessarin
