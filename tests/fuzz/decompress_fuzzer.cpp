// Any bytes as a tally file, and as the data of one chunk: a clean error or data that
// agrees with the header and stays within the game's limit, never a read or write outside
// the buffers.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lzrw1container.h"
#include "lzrw1format.h"
#include "tallyfile.h"
#include "tlzr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);

    // Exactly sized, so the sanitizer sees any write past a piece.
    std::vector<std::uint8_t> piece(tessarin::lzrw::kPieceSize);
    const auto decoded = tessarin::TLZR::Decompress(bytes, piece);
    if (decoded && *decoded > piece.size()) std::abort();

    try {
        const std::vector<std::uint8_t> out =
            tessarin::decompressBytes(bytes, "fuzz", tessarin::kMaxTallyTextBytes);
        if (static_cast<std::int64_t>(out.size()) > tessarin::kMaxTallyTextBytes) std::abort();
        const auto claimed = static_cast<std::int32_t>(data[4] | (data[5] << 8) | (data[6] << 16) |
                                                       (std::uint32_t{data[7]} << 24));
        if (static_cast<std::int64_t>(out.size()) != claimed) std::abort();
    } catch (const tessarin::ELzrw1Exception&) {
    }
    return 0;
}
