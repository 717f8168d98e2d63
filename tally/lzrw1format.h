// The LZRW1-KH container of the tally file, as constants. FORMAT.md says the same in prose.
// The layout is shared with every earlier copy of the game and must not change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessarin::lzrw {

// Container: signature, then the uncompressed size (signed 32-bit, little-endian), then chunks.
inline constexpr std::string_view kSignatureKH = "WRZL";
// The other method's signature; never written, and read as "no valid header".
inline constexpr std::string_view kSignatureLZH = "!HZL";
inline constexpr std::size_t kSignatureSize = 4;
inline constexpr std::size_t kHeaderSize = 8;
// Chunk: 2-byte little-endian length, then that many bytes of chunk data.
inline constexpr std::size_t kChunkLengthSize = 2;

// The data is cut into pieces of this size, each coded by itself; the last piece is shorter
// (empty when the size is a multiple of it).
inline constexpr std::size_t kPieceSize = 32768;
// A piece that does not shrink is stored, so chunk data is never longer than this.
inline constexpr std::size_t kMaxChunkData = kPieceSize + 1;
// Working buffers: the coder may run up to 6 bytes past the piece size before it gives up.
inline constexpr std::size_t kBufferSize = kPieceSize + 16;

// First byte of chunk data.
inline constexpr std::uint8_t kStored = 0x80;
inline constexpr std::uint8_t kCompressed = 0x40;

// Items of compressed chunk data.
inline constexpr int kItemsPerControlWord = 16;
inline constexpr std::size_t kMaxOffset = 4095;  // short copy: offset 1..4095
inline constexpr std::size_t kMinMatch = 3;      // short copy: length 3..18
inline constexpr std::size_t kMaxMatch = 18;
inline constexpr std::size_t kMinRun = 16;  // run: one byte repeated 16..4095 times
inline constexpr std::size_t kMaxRun = 4095;
inline constexpr std::size_t kHashSize = 4096;

}  // namespace tessarin::lzrw
