#include "tlzr.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tessarin {

using namespace lzrw;

namespace {

// Bits 4..15 of the product pick the slot; the multiplier spreads three bytes over them.
inline std::size_t hashAt(const std::uint8_t* s) {
    const std::uint32_t key = (((std::uint32_t{s[0]} << 4) ^ s[1]) << 4) ^ s[2];
    return ((key * 40543u) >> 4) & 0xFFF;
}

inline void putControlWord(std::uint8_t* d, std::uint32_t cmd) {
    d[0] = static_cast<std::uint8_t>(cmd >> 8);
    d[1] = static_cast<std::uint8_t>(cmd);
}

}  // namespace

std::size_t TLZR::Compress(std::span<const std::uint8_t> piece, std::span<std::uint8_t> out) {
    if (piece.size() > kPieceSize || out.size() < kBufferSize)
        throw std::length_error("TLZR::Compress: piece or buffer out of range");
    // Distinct buffers: telling the compiler so keeps it from reloading after every store.
    const std::uint8_t* __restrict s = piece.data();
    std::uint8_t* __restrict d = out.data();
    std::int16_t* __restrict table = hash_.data();
    const std::size_t n = piece.size();

    hash_.fill(-1);
    d[0] = kCompressed;
    std::size_t x = 0;  // source position
    std::size_t y = 3;  // output position
    std::size_t z = 1;  // position of the control word being filled
    int bit = 0;        // items under the current control word
    std::uint32_t cmd = 0;

    // Gives up as soon as the output passes the piece's length: the piece is then stored.
    // One item adds at most 6 bytes (a control word and a run), within kBufferSize.
    while (x < n && y <= n) {
        if (bit == kItemsPerControlWord) {
            putControlWord(d + z, cmd);
            z = y;
            y += 2;
            bit = 0;
        }
        const std::uint8_t c = s[x];
        const std::size_t runLimit = std::min(n - x, kMaxRun);
        std::size_t run = 1;
        while (run < runLimit && s[x + run] == c) ++run;

        if (run >= kMinRun) {
            const std::size_t extra = run - kMinRun;
            d[y] = 0;
            d[y + 1] = static_cast<std::uint8_t>(extra >> 8);
            d[y + 2] = static_cast<std::uint8_t>(extra);
            d[y + 3] = c;
            y += 4;
            x += run;
            cmd = (cmd << 1) | 1;
        } else {
            // Fewer than three bytes left can never match, so those positions skip the table;
            // what they would have stored there is never looked up again.
            std::size_t match = 0;
            std::size_t offset = 0;
            if (x + 2 < n) {
                const std::size_t h = hashAt(s + x);
                // An empty slot (-1) reads as 65535, past any position, so one unsigned test
                // covers "empty" and "too far back".
                const std::size_t candidate = static_cast<std::uint16_t>(table[h]);
                table[h] = static_cast<std::int16_t>(x);
                offset = x - candidate;
                const bool inWindow = offset - 1 < kMaxOffset;
                // Arithmetic rather than a branch: on data that does not repeat, whether the
                // slot is in the window is a coin toss for the branch predictor, while a
                // candidate whose first byte matches is rare.
                const std::size_t inWindowMask = 0 - static_cast<std::size_t>(inWindow);
                const std::uint8_t* p = s + (candidate & inWindowMask);
                if (static_cast<int>(inWindow) & static_cast<int>(p[0] == c)) {
                    const std::size_t limit = std::min(kMaxMatch, n - x);
                    match = 1;
                    while (match < limit && s[x + match] == p[match]) ++match;
                }
            }
            if (match >= kMinMatch) {
                const std::size_t k = offset * 16 + (match - kMinMatch);
                d[y] = static_cast<std::uint8_t>(k >> 8);
                d[y + 1] = static_cast<std::uint8_t>(k);
                y += 2;
                x += match;
                cmd = (cmd << 1) | 1;
            } else {
                d[y++] = c;
                ++x;
                cmd <<= 1;
            }
        }
        ++bit;
    }
    // Unused bits of the last control word are zero.
    putControlWord(d + z, (cmd << (kItemsPerControlWord - bit)) & 0xFFFF);

    if (y > n) {
        d[0] = kStored;
        if (n > 0) std::memcpy(d + 1, s, n);
        return n + 1;
    }
    return y;
}

std::optional<std::size_t> TLZR::Decompress(std::span<const std::uint8_t> chunk,
                                            std::span<std::uint8_t> out) {
    if (out.size() < kPieceSize) throw std::length_error("TLZR::Decompress: buffer too small");
    const std::uint8_t* d = chunk.data();
    std::uint8_t* s = out.data();
    const std::size_t m = chunk.size();

    if (m < 2) return 0;
    if (d[0] == kStored) {
        if (m - 1 > kPieceSize) return std::nullopt;
        std::memcpy(s, d + 1, m - 1);
        return m - 1;
    }
    if (m < 3) return std::nullopt;

    std::size_t x = 3;
    std::size_t y = 0;
    std::uint32_t cmd = (std::uint32_t{d[1]} << 8) | d[2];
    int bit = kItemsPerControlWord;
    while (x < m) {
        if (bit == 0) {
            // The writer puts a control word only in front of another item.
            if (m - x < 3) return std::nullopt;
            cmd = (std::uint32_t{d[x]} << 8) | d[x + 1];
            x += 2;
            bit = kItemsPerControlWord;
        }
        if (cmd & 0x8000) {
            if (m - x < 2) return std::nullopt;
            const std::size_t pos = std::size_t{d[x]} * 16 + (d[x + 1] >> 4);
            if (pos != 0) {
                const std::size_t len = (d[x + 1] & 15) + kMinMatch;
                if (pos > y || len > kPieceSize - y) return std::nullopt;
                // One byte at a time: an offset below the length repeats a pattern.
                const std::uint8_t* from = s + y - pos;
                for (std::size_t k = 0; k < len; ++k) s[y + k] = from[k];
                y += len;
                x += 2;
            } else {
                if (m - x < 4) return std::nullopt;
                const std::size_t count = std::size_t{d[x + 1]} * 256 + d[x + 2] + kMinRun;
                if (count > kPieceSize - y) return std::nullopt;
                std::memset(s + y, d[x + 3], count);
                y += count;
                x += 4;
            }
        } else {
            if (y == kPieceSize) return std::nullopt;
            s[y++] = d[x++];
        }
        cmd <<= 1;
        --bit;
    }
    return y;
}

}  // namespace tessarin
