// Any bytes compressed and read back must come back unchanged, with every chunk within the
// container's limits.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lzrw1container.h"
#include "lzrw1format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::vector<std::uint8_t> packed = tessarin::compressBytes(bytes);

    std::size_t at = tessarin::lzrw::kHeaderSize;
    while (at < packed.size()) {
        const std::size_t length = packed[at] | (packed[at + 1] << 8);
        if (length > tessarin::lzrw::kMaxChunkData || length > size + 1) std::abort();
        at += tessarin::lzrw::kChunkLengthSize + length;
    }
    if (at != packed.size()) std::abort();

    const std::vector<std::uint8_t> back = tessarin::decompressBytes(packed, "fuzz");
    if (back.size() != size || !std::equal(back.begin(), back.end(), data)) std::abort();
    return 0;
}
