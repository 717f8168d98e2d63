// The "WRZL" container over any byte source and sink: the one implementation behind the
// file component Tlzrw1, the tally's in-memory load and save, and the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

// Every failure of the container coder; what() is the text shown to the user.
class ELzrw1Exception : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

namespace lzrw {

// The texts of the failures; names are the files' names as the caller gave them.
std::string msgNoMemory();
std::string msgNoSize(std::string_view input);
std::string msgOpenInput(std::string_view input);
std::string msgOpenOutput(std::string_view output);
std::string msgNoValidHeader(std::string_view input);
std::string msgReadDecompress(std::string_view input);
std::string msgReadCompress(std::string_view input);
std::string msgWrite(std::string_view output);
std::string msgSizesDiffer();
// Chunk data that the coder cannot have written (a copy before the start of its piece,
// a piece longer than 32768 bytes, a cut item).
std::string msgCorrupt(std::string_view input);
// The size field is signed 32-bit, so larger inputs cannot be described.
std::string msgTooLarge(std::string_view input);
// A header announcing more data than the reader takes.
std::string msgOverLimit(std::string_view input, std::int64_t size, std::int64_t limit);

}  // namespace lzrw

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Fills `to` as far as the input allows; returns the count (short only at the end of the
    // input), or -1 on a read error.
    virtual std::ptrdiff_t read(std::span<std::uint8_t> to) = 0;
};

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Returns false when not every byte could be written.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
};

class MemorySource : public ByteSource {
  public:
    // `bytes` must stay alive while the source is read.
    explicit MemorySource(std::span<const std::uint8_t> bytes) : rest_(bytes) {}
    std::ptrdiff_t read(std::span<std::uint8_t> to) override;

  private:
    std::span<const std::uint8_t> rest_;
};

class MemorySink : public ByteSink {
  public:
    bool write(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> bytes;
};

// Names used in the failure texts.
struct ContainerNames {
    std::string input;
    std::string output;
};

// Writes the container of the `size` bytes that `in` delivers. Returns the bytes written,
// header included. Throws ELzrw1Exception; the sink may then hold a partial container.
std::int64_t encodeContainer(ByteSource& in, std::int64_t size, ByteSink& out,
                             const ContainerNames& names);

// Reads a container from `in` and writes the data it holds. Returns the bytes written.
// Bytes after the last chunk are not read. Throws ELzrw1Exception on a bad signature, a
// header announcing more than `limit` bytes (before any chunk is read), a short read,
// corrupt chunk data, or a total that differs from the header's size (found as soon as the
// total passes it). So the sink never receives more than min(header size, limit) bytes.
std::int64_t decodeContainer(ByteSource& in, ByteSink& out, const ContainerNames& names,
                             std::int64_t limit = std::numeric_limits<std::int32_t>::max());

std::vector<std::uint8_t> compressBytes(std::span<const std::uint8_t> data);
// `name` stands for the input in failure texts; `limit` as for decodeContainer.
std::vector<std::uint8_t> decompressBytes(
    std::span<const std::uint8_t> container, std::string_view name = "(memory)",
    std::int64_t limit = std::numeric_limits<std::int32_t>::max());

}  // namespace tessarin
