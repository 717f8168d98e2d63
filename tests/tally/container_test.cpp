// The "WRZL" container in memory: layout, round trips across piece boundaries, and damaged
// containers rejected with the right text.
#include "lzrw1container.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "lzrw1format.h"
#include "testbytes.h"

namespace tessarin {
namespace {

using testing::Bytes;
using testing::hex;

std::string errorOf(const Bytes& container) {
    try {
        decompressBytes(container, "t.tld");
    } catch (const ELzrw1Exception& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(ContainerTest, WritesTheWorkedExamples) {
    EXPECT_EQ(compressBytes(testing::text("abc")),
              hex("57 52 5A 4C 03 00 00 00 04 00 80 61 62 63"));
    EXPECT_EQ(compressBytes({}), hex("57 52 5A 4C 00 00 00 00 01 00 80"));
    EXPECT_EQ(decompressBytes(hex("57 52 5A 4C 03 00 00 00 04 00 80 61 62 63")),
              testing::text("abc"));
    EXPECT_EQ(decompressBytes(hex("57 52 5A 4C 00 00 00 00 01 00 80")), Bytes{});
}

Bytes readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

// Containers that data/golden/make_golden.py worked out from FORMAT.md alone, for inputs
// where the hash function, the window and the longest copy decide the bytes: a change to
// any one of those constants writes other bytes.
TEST(ContainerTest, WritesTheGoldenFilesByteForByte) {
    for (const char* name : {"collisions", "match18", "offset4095"}) {
        SCOPED_TRACE(name);
        const std::string base = std::string(TESSARIN_TALLY_DATA "/golden/") + name;
        const Bytes input = readAll(base + ".bin");
        const Bytes golden = readAll(base + ".tld");
        ASSERT_FALSE(input.empty());
        EXPECT_EQ(compressBytes(input), golden);
        EXPECT_EQ(decompressBytes(golden), input);
    }
}

// Walks the chunks; returns each chunk's data.
std::vector<Bytes> chunksOf(const Bytes& container) {
    std::vector<Bytes> chunks;
    std::size_t at = lzrw::kHeaderSize;
    while (at + 2 <= container.size()) {
        const std::size_t length = container[at] | (container[at + 1] << 8);
        chunks.emplace_back(container.begin() + at + 2, container.begin() + at + 2 + length);
        at += 2 + length;
    }
    EXPECT_EQ(at, container.size());
    return chunks;
}

TEST(ContainerTest, RoundTripsAcrossPieceBoundaries) {
    const struct {
        std::size_t size;
        std::size_t chunks;
        bool endsEmpty;
    } cases[] = {
        {0, 1, true},      {1, 1, false},     {2, 1, false},
        {3, 1, false},     {32767, 1, false}, {32768, 2, true},
        {32769, 2, false}, {65536, 3, true},  {100000, 4, false},
    };
    for (const auto& c : cases) {
        for (const Bytes& data : {testing::randomBytes(c.size), testing::tallyLikeText(c.size)}) {
            SCOPED_TRACE(std::to_string(c.size));
            const Bytes container = compressBytes(data);
            const auto chunks = chunksOf(container);
            EXPECT_EQ(chunks.size(), c.chunks);
            EXPECT_EQ(chunks.back() == hex("80"), c.endsEmpty);
            EXPECT_EQ(decompressBytes(container), data);
        }
    }
}

TEST(ContainerTest, RejectsEveryTruncation) {
    // A compressed piece and a stored one, so cuts fall in every kind of field.
    Bytes data = testing::tallyLikeText(lzrw::kPieceSize);
    const Bytes tail = testing::randomBytes(3000);
    data.insert(data.end(), tail.begin(), tail.end());
    const Bytes container = compressBytes(data);
    const auto chunks = chunksOf(container);
    ASSERT_EQ(chunks.size(), 2u);
    ASSERT_EQ(chunks[0][0], lzrw::kCompressed);
    ASSERT_EQ(chunks[1][0], lzrw::kStored);
    for (std::size_t cut = 0; cut < container.size(); ++cut) {
        const Bytes prefix(container.begin(), container.begin() + cut);
        ASSERT_EQ(errorOf(prefix), "Lzrw1 : Error reading from input file : t.tld") << cut;
    }
}

Bytes withByte(Bytes b, std::size_t at, std::uint8_t value) {
    b[at] = value;
    return b;
}

TEST(ContainerTest, RejectsDamagedContainers) {
    const Bytes abc = hex("57 52 5A 4C 03 00 00 00 04 00 80 61 62 63");
    const std::string noHeader = "t.tld : Lzrw1 decompression : this file has no valid header !";
    const std::string differ =
        "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
    const std::string corrupt =
        "Lzrw1 (decompression LZRW1/KH) : Corrupt compressed data in : t.tld";
    const struct {
        const char* what;
        Bytes container;
        std::string error;
    } cases[] = {
        {"other signature", withByte(abc, 3, 'X'), noHeader},
        {"the LZH method", hex("21 48 5A 4C 03 00 00 00 04 00 80 61 62 63"), noHeader},
        {"size one more", withByte(abc, 4, 4), differ},
        {"size one less", withByte(abc, 4, 2), differ},
        {"negative size", withByte(abc, 7, 0x80), differ},
        {"chunk length over 32769", hex("57 52 5A 4C 03 00 00 00 02 80 80"), corrupt},
        {"copy before the piece", hex("57 52 5A 4C 03 00 00 00 05 00 40 80 00 00 30"), corrupt},
        {"chunk longer than the file", withByte(abc, 8, 5),
         "Lzrw1 : Error reading from input file : t.tld"},
        {"empty file", {}, "Lzrw1 : Error reading from input file : t.tld"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorOf(c.container), c.error);
    }
}

TEST(ContainerTest, IgnoresBytesAfterTheLastChunk) {
    Bytes container = compressBytes(testing::text("abc"));
    container.push_back(0xEE);
    EXPECT_EQ(decompressBytes(container), testing::text("abc"));
}

TEST(ContainerTest, StopsOnceTheHeaderSizeIsPassed) {
    // A header that promises 10 bytes over a piece of 32768: nothing of it reaches the sink.
    Bytes container = compressBytes(Bytes(40000, 'z'));
    container[4] = 10;
    container[5] = container[6] = container[7] = 0;
    MemorySource in(container);
    MemorySink out;
    EXPECT_THROW(decodeContainer(in, out, {"t.tld", "out"}), ELzrw1Exception);
    EXPECT_TRUE(out.bytes.empty());
}

TEST(ContainerTest, RefusesInputsTheHeaderCannotDescribe) {
    const Bytes data = testing::text("0123456789");
    const struct {
        const char* what;
        std::int64_t size;
        std::string error;
    } cases[] = {
        {"grew since its size was taken", 5,
         "Lzrw1 : Error reading from input file : in (LZRW1/KH)"},
        {"shrank since its size was taken", 11,
         "Lzrw1 : Error reading from input file : in (LZRW1/KH)"},
        {"over 2 GB", std::int64_t{1} << 31, "Lzrw1 compression : File too large (over 2 GB) : in"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemorySource in(data);
        MemorySink out;
        try {
            encodeContainer(in, c.size, out, {"in", "out"});
            ADD_FAILURE() << "accepted";
        } catch (const ELzrw1Exception& e) {
            EXPECT_EQ(e.what(), c.error);
        }
    }
}

}  // namespace
}  // namespace tessarin
