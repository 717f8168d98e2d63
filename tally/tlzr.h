// TLZR: the LZRW1-KH coder of one piece (at most 32768 bytes). Every piece starts afresh:
// an empty window and an empty hash table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "lzrw1format.h"

namespace tessarin {

// Holds the 4096-entry hash table between calls so coding a piece allocates nothing.
// Not thread-safe; one coder per thread.
class TLZR {
  public:
    // Codes `piece` (at most kPieceSize bytes) into `out`, which must hold kBufferSize bytes.
    // Returns the length of the chunk data: compressed (first byte 0x40) when that is not
    // longer than the piece, else the piece stored after a 0x80 byte.
    std::size_t Compress(std::span<const std::uint8_t> piece, std::span<std::uint8_t> out);

    // Decodes chunk data into `out`, which must hold kPieceSize bytes. Returns the piece's
    // length, or nothing when the data cannot have come from Compress: a copy reaching
    // before the start of the piece, more than kPieceSize bytes, a cut control word or item.
    // Never reads or writes outside `chunk` and `out`.
    static std::optional<std::size_t> Decompress(std::span<const std::uint8_t> chunk,
                                                 std::span<std::uint8_t> out);

  private:
    std::array<std::int16_t, lzrw::kHashSize> hash_{};
};

}  // namespace tessarin
