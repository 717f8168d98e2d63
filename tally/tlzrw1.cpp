#include "tlzrw1.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "atomicfile.h"
#include "regularfile.h"

namespace tessarin {

using namespace lzrw;

namespace {

class FileSource : public ByteSource {
  public:
    explicit FileSource(int fd) : fd_(fd) {}
    ~FileSource() override { ::close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::ptrdiff_t read(std::span<std::uint8_t> to) override {
        std::size_t total = 0;
        while (total < to.size()) {
            const ssize_t got = ::read(fd_, to.data() + total, to.size() - total);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return -1;
            if (got == 0) break;
            total += static_cast<std::size_t>(got);
        }
        return static_cast<std::ptrdiff_t>(total);
    }

  private:
    int fd_;
};

class AtomicSink : public ByteSink {
  public:
    explicit AtomicSink(AtomicFile& file) : file_(file) {}
    bool write(std::span<const std::uint8_t> bytes) override { return file_.write(bytes); }

  private:
    AtomicFile& file_;
};

int openInput(const std::filesystem::path& path) {
    const int fd = openRegularFile(path);
    if (fd < 0) throw ELzrw1Exception(msgOpenInput(path.string()));
    return fd;
}

void openOutput(AtomicFile& file, const std::filesystem::path& path) {
    if (!file.open()) throw ELzrw1Exception(msgOpenOutput(path.string()));
}

void commitOutput(AtomicFile& file, const std::filesystem::path& path) {
    if (!file.commit()) throw ELzrw1Exception(msgWrite(path.string()));
}

std::int64_t inputSize(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throw ELzrw1Exception(msgNoSize(path.string()));
    return st.st_size;
}

}  // namespace

std::int64_t Tlzrw1::Compress() {
    const ContainerNames names{InputFile.string(), OutputFile.string()};
    const std::int64_t size = inputSize(InputFile);
    FileSource in(openInput(InputFile));
    AtomicFile file(OutputFile);
    openOutput(file, OutputFile);
    AtomicSink out(file);
    const std::int64_t written = encodeContainer(in, size, out, names);
    commitOutput(file, OutputFile);
    return written;
}

std::int64_t Tlzrw1::Decompress() {
    const ContainerNames names{InputFile.string(), OutputFile.string()};
    FileSource in(openInput(InputFile));
    AtomicFile file(OutputFile);
    openOutput(file, OutputFile);
    AtomicSink out(file);
    const std::int64_t written = decodeContainer(in, out, names);
    commitOutput(file, OutputFile);
    return written;
}

std::vector<std::uint8_t> decompressFile(const std::filesystem::path& path, std::int64_t limit) {
    FileSource in(openInput(path));
    MemorySink out;
    decodeContainer(in, out, {path.string(), "(memory)"}, limit);
    return std::move(out.bytes);
}

void compressToFile(std::span<const std::uint8_t> data, const std::filesystem::path& path) {
    MemorySource in(data);
    AtomicFile file(path);
    openOutput(file, path);
    AtomicSink out(file);
    encodeContainer(in, static_cast<std::int64_t>(data.size()), out, {"(memory)", path.string()});
    commitOutput(file, path);
}

}  // namespace tessarin
