#include "lzrw1container.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "lzrw1format.h"
#include "tlzr.h"

namespace tessarin {

using namespace lzrw;

namespace lzrw {

std::string msgNoMemory() {
    return "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
}
std::string msgNoSize(std::string_view input) {
    return "Lzrw1 compression : Failed to obtain the size of : " + std::string(input);
}
std::string msgOpenInput(std::string_view input) {
    return "Lzrw1 (de)compression : Failed to open input file : " + std::string(input);
}
std::string msgOpenOutput(std::string_view output) {
    return "Lzrw1 (de)compression : Failed to open output file : " + std::string(output);
}
std::string msgNoValidHeader(std::string_view input) {
    return std::string(input) + " : Lzrw1 decompression : this file has no valid header !";
}
std::string msgReadDecompress(std::string_view input) {
    return "Lzrw1 : Error reading from input file : " + std::string(input);
}
std::string msgReadCompress(std::string_view input) {
    return "Lzrw1 : Error reading from input file : " + std::string(input) + " (LZRW1/KH)";
}
std::string msgWrite(std::string_view output) {
    return "Lzrw1 : Error writing to output file : " + std::string(output);
}
std::string msgSizesDiffer() {
    return "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
}
std::string msgCorrupt(std::string_view input) {
    return "Lzrw1 (decompression LZRW1/KH) : Corrupt compressed data in : " + std::string(input);
}
std::string msgTooLarge(std::string_view input) {
    return "Lzrw1 compression : File too large (over 2 GB) : " + std::string(input);
}
std::string msgOverLimit(std::string_view input, std::int64_t size, std::int64_t limit) {
    return std::string(input) + " : Lzrw1 decompression : the data (" + std::to_string(size) +
           " bytes) is larger than the " + std::to_string(limit) + " bytes this file may hold !";
}

}  // namespace lzrw

namespace {

std::vector<std::uint8_t> workingBuffer() {
    try {
        return std::vector<std::uint8_t>(kBufferSize);
    } catch (const std::bad_alloc&) {
        throw ELzrw1Exception(msgNoMemory());
    }
}

void put(ByteSink& out, std::span<const std::uint8_t> bytes, const ContainerNames& names,
         std::int64_t& written) {
    if (!out.write(bytes)) throw ELzrw1Exception(msgWrite(names.output));
    written += static_cast<std::int64_t>(bytes.size());
}

// Reads exactly `to.size()` bytes or fails with the decompression read text.
void take(ByteSource& in, std::span<std::uint8_t> to, const ContainerNames& names) {
    if (in.read(to) != static_cast<std::ptrdiff_t>(to.size()))
        throw ELzrw1Exception(msgReadDecompress(names.input));
}

}  // namespace

std::ptrdiff_t MemorySource::read(std::span<std::uint8_t> to) {
    const std::size_t count = std::min(to.size(), rest_.size());
    if (count > 0) std::memcpy(to.data(), rest_.data(), count);
    rest_ = rest_.subspan(count);
    return static_cast<std::ptrdiff_t>(count);
}

bool MemorySink::write(std::span<const std::uint8_t> more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return true;
}

std::int64_t encodeContainer(ByteSource& in, std::int64_t size, ByteSink& out,
                             const ContainerNames& names) {
    if (size < 0 || size > std::numeric_limits<std::int32_t>::max())
        throw ELzrw1Exception(msgTooLarge(names.input));
    std::vector<std::uint8_t> piece = workingBuffer();
    std::vector<std::uint8_t> coded = workingBuffer();
    TLZR coder;

    std::int64_t written = 0;
    std::uint8_t header[kHeaderSize];
    std::memcpy(header, kSignatureKH.data(), kSignatureSize);
    const auto size32 = static_cast<std::uint32_t>(size);
    for (std::size_t i = 0; i < 4; ++i)
        header[kSignatureSize + i] = static_cast<std::uint8_t>(size32 >> (8 * i));
    put(out, header, names, written);

    std::int64_t total = 0;
    std::ptrdiff_t got = 0;
    do {
        got = in.read(std::span(piece).first(kPieceSize));
        if (got < 0) throw ELzrw1Exception(msgReadCompress(names.input));
        total += got;
        // The header already holds the size: an input that grew or shrank since would give
        // a container that does not read back.
        if (total > size) throw ELzrw1Exception(msgReadCompress(names.input));
        const std::size_t length =
            coder.Compress(std::span(piece).first(static_cast<std::size_t>(got)), coded);
        const std::uint8_t prefix[kChunkLengthSize] = {static_cast<std::uint8_t>(length),
                                                       static_cast<std::uint8_t>(length >> 8)};
        put(out, prefix, names, written);
        put(out, std::span(coded).first(length), names, written);
    } while (static_cast<std::size_t>(got) == kPieceSize);
    if (total != size) throw ELzrw1Exception(msgReadCompress(names.input));
    return written;
}

std::int64_t decodeContainer(ByteSource& in, ByteSink& out, const ContainerNames& names,
                             std::int64_t limit) {
    std::vector<std::uint8_t> coded = workingBuffer();
    std::vector<std::uint8_t> piece = workingBuffer();

    std::uint8_t header[kHeaderSize];
    take(in, std::span(header).first(kSignatureSize), names);
    // "!HZL" belongs to a method this program never writes; such a file is no tally file.
    if (std::memcmp(header, kSignatureKH.data(), kSignatureSize) != 0)
        throw ELzrw1Exception(msgNoValidHeader(names.input));
    take(in, std::span(header).subspan(kSignatureSize), names);
    std::uint32_t size32 = 0;
    for (std::size_t i = 0; i < 4; ++i)
        size32 |= std::uint32_t{header[kSignatureSize + i]} << (8 * i);
    const std::int64_t size = static_cast<std::int32_t>(size32);
    if (size > limit) throw ELzrw1Exception(msgOverLimit(names.input, size, limit));

    std::int64_t written = 0;
    std::size_t decoded = 0;
    do {
        std::uint8_t prefix[kChunkLengthSize];
        take(in, prefix, names);
        const std::size_t length = prefix[0] | (std::size_t{prefix[1]} << 8);
        if (length > kMaxChunkData) throw ELzrw1Exception(msgCorrupt(names.input));
        take(in, std::span(coded).first(length), names);
        const auto result = TLZR::Decompress(std::span(coded).first(length), piece);
        if (!result) throw ELzrw1Exception(msgCorrupt(names.input));
        decoded = *result;
        if (written + static_cast<std::int64_t>(decoded) > size)
            throw ELzrw1Exception(msgSizesDiffer());
        put(out, std::span(piece).first(decoded), names, written);
    } while (decoded == kPieceSize);
    if (written != size) throw ELzrw1Exception(msgSizesDiffer());
    return written;
}

std::vector<std::uint8_t> compressBytes(std::span<const std::uint8_t> data) {
    MemorySource in(data);
    MemorySink out;
    encodeContainer(in, static_cast<std::int64_t>(data.size()), out, {"(memory)", "(memory)"});
    return std::move(out.bytes);
}

std::vector<std::uint8_t> decompressBytes(std::span<const std::uint8_t> container,
                                          std::string_view name, std::int64_t limit) {
    MemorySource in(container);
    MemorySink out;
    decodeContainer(in, out, {std::string(name), "(memory)"}, limit);
    return std::move(out.bytes);
}

}  // namespace tessarin
