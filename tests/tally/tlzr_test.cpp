// The piece coder against hand-worked chunks, and the decoder against chunks the coder
// cannot have written.
#include "tlzr.h"

#include <gtest/gtest.h>

#include "testbytes.h"

namespace tessarin {
namespace {

using testing::Bytes;
using testing::hex;
using testing::text;

Bytes compressPiece(const Bytes& piece) {
    TLZR coder;
    Bytes out(lzrw::kBufferSize);
    out.resize(coder.Compress(piece, out));
    return out;
}

std::optional<Bytes> decompressChunk(const Bytes& chunk) {
    Bytes out(lzrw::kPieceSize);
    const auto length = TLZR::Decompress(chunk, out);
    if (!length) return std::nullopt;
    out.resize(*length);
    return out;
}

Bytes repeated(std::size_t n, char c) {
    return Bytes(n, static_cast<std::uint8_t>(c));
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Chunk data of seven runs of 4095 'a' and one of `last` (at most 4111), then `tail` items;
// `control` is the control word for all of them.
Bytes runsChunk(std::uint16_t control, std::size_t last, const Bytes& tail = {}) {
    Bytes chunk = {0x40, static_cast<std::uint8_t>(control >> 8),
                   static_cast<std::uint8_t>(control)};
    for (int i = 0; i < 7; ++i) chunk = concat(chunk, hex("00 0F EF 61"));
    const std::size_t field = last - 16;
    chunk = concat(
        chunk, {0, static_cast<std::uint8_t>(field >> 8), static_cast<std::uint8_t>(field), 0x61});
    return concat(chunk, tail);
}

TEST(TLZRTest, CodesPiecesAsWorkedOut) {
    const struct {
        const char* what;
        Bytes piece;
        Bytes chunk;
    } cases[] = {
        {"empty piece", {}, hex("80")},
        {"abc does not shrink", text("abc"), hex("80 61 62 63")},
        {"20 x a is one run", repeated(20, 'a'), hex("40 80 00 00 00 04 61")},
        {"run of 16", repeated(16, 'x'), hex("40 80 00 00 00 00 78")},
        {"run of 4095", repeated(4095, 'x'), hex("40 80 00 00 0F EF 78")},
        {"4096 need a run and a literal", repeated(4096, 'x'), hex("40 80 00 00 0F EF 78 78")},
        // 15 is below a run: a literal, then a copy of offset 1 over the bytes it produces.
        {"overlapping copy", repeated(15, 'x'), hex("40 40 00 78 00 1B")},
        // Coded in exactly n bytes: stays compressed.
        {"coded length equals piece", text("abcdeabcde"), hex("40 04 00 61 62 63 64 65 00 52")},
        {"coded one longer: stored", text("abcdeabcd"), hex("80 61 62 63 64 65 61 62 63 64")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(compressPiece(c.piece), c.chunk);
        EXPECT_EQ(decompressChunk(c.chunk), c.piece);
    }
}

TEST(TLZRTest, StartsEachPieceAfresh) {
    // Coding the same text twice with one coder: a stale hash table would offer candidates
    // from the previous piece.
    const Bytes piece = testing::tallyLikeText(5000);
    TLZR coder;
    Bytes out(lzrw::kBufferSize);
    coder.Compress(piece, out);
    out.resize(coder.Compress(piece, out));
    EXPECT_EQ(out, compressPiece(piece));
}

TEST(TLZRTest, ControlWordEverySixteenItems) {
    // 40 distinct bytes need three control words: 16 + 16 + 8 literals, and still no match
    // since nothing repeats; a long repeat after them makes the piece shrink.
    Bytes piece;
    for (int i = 0; i < 40; ++i) piece.push_back(static_cast<std::uint8_t>(i * 7));
    piece = concat(piece, repeated(100, 'z'));
    const Bytes chunk = compressPiece(piece);
    ASSERT_EQ(chunk[0], lzrw::kCompressed);
    EXPECT_EQ(chunk[1], 0x00);
    EXPECT_EQ(chunk[2], 0x00);
    EXPECT_EQ(chunk[19], 0x00);  // second control word after 16 literals
    EXPECT_EQ(chunk[20], 0x00);
    EXPECT_EQ(chunk[37], 0x00);  // third: 8 literals then the run (bit 8), rest zero
    EXPECT_EQ(chunk[38], 0x80);
    EXPECT_EQ(chunk.size(), 3u + 16 + 2 + 16 + 2 + 8 + 4);
    EXPECT_EQ(decompressChunk(chunk), piece);
}

TEST(TLZRTest, RoundTripsPieces) {
    const struct {
        const char* what;
        Bytes piece;
    } cases[] = {
        {"one byte", text("q")},
        {"two bytes", text("qq")},
        {"random 32768", testing::randomBytes(32768)},
        {"random 1000", testing::randomBytes(1000, 3)},
        {"tally text 32768", testing::tallyLikeText(32768)},
        {"tally text 32767", testing::tallyLikeText(32767, 5)},
        {"zeros 32768", Bytes(32768, 0)},
        {"text then random", concat(testing::tallyLikeText(20000), testing::randomBytes(12768))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes chunk = compressPiece(c.piece);
        EXPECT_LE(chunk.size(), lzrw::kMaxChunkData);
        EXPECT_EQ(decompressChunk(chunk), c.piece);
    }
}

TEST(TLZRTest, DecodesWhatTheCoderWouldAlsoAccept) {
    const struct {
        const char* what;
        Bytes chunk;
        Bytes piece;
    } cases[] = {
        {"no data", {}, {}},
        {"a single byte", hex("40"), {}},
        {"copy from the very start", hex("40 40 00 61 00 10"), text("aaaa")},
        {"other first bytes decode as compressed", hex("00 00 00 61"), text("a")},
        {"runs filling the piece", runsChunk(0xFF00, 4103), repeated(32768, 'a')},
        {"literal ending the piece", runsChunk(0xFF00, 4102, hex("62")),
         concat(repeated(32767, 'a'), text("b"))},
        {"copy ending the piece", runsChunk(0xFF80, 4088, hex("00 1C")), repeated(32768, 'a')},
        {"longest run form", hex("40 80 00 00 0F FF 61"), repeated(4111, 'a')},
        {"stored piece of 32768", concat(hex("80"), repeated(32768, 'b')), repeated(32768, 'b')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decompressChunk(c.chunk), c.piece);
    }
}

TEST(TLZRTest, RejectsChunksTheCoderCannotWrite) {
    const Bytes sixteenLiterals = repeated(16, 'l');
    const struct {
        const char* what;
        Bytes chunk;
    } cases[] = {
        {"copy before the start", hex("40 80 00 00 10")},
        {"copy reaching one byte too far", hex("40 40 00 61 00 20")},
        {"run past 32768", runsChunk(0xFF00, 4104)},
        {"literal past 32768", runsChunk(0xFF00, 4103, hex("62"))},
        {"copy past 32768", runsChunk(0xFF80, 4088, hex("00 1F"))},
        {"stored past 32768", concat(hex("80"), repeated(32769, 'b'))},
        {"control word cut after two", hex("40 00")},
        {"copy item cut", hex("40 80 00 01")},
        {"run item cut", hex("40 80 00 00 00 04")},
        {"next control word cut", concat(concat(hex("40 00 00"), sixteenLiterals), hex("00"))},
        {"control word with no item",
         concat(concat(hex("40 00 00"), sixteenLiterals), hex("00 00"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decompressChunk(c.chunk), std::nullopt);
    }
}

}  // namespace
}  // namespace tessarin
