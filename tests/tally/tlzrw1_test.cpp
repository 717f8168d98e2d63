// The file component: results on disk, the failure texts, and no output left behind by a
// failure (a damaged input, a full disk), with any earlier output kept as it was.
#include "tlzrw1.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "tempdir.h"
#include "testbytes.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string errorOf(auto operation) {
    try {
        operation();
    } catch (const ELzrw1Exception& e) {
        return e.what();
    }
    return "(no error)";
}

class Tlzrw1Test : public ::testing::Test {
  protected:
    fs::path file(const char* name) const { return dir.path() / name; }
    testing::TempDir dir;
    Tlzrw1 doit;
};

TEST_F(Tlzrw1Test, RoundTripsFiles) {
    for (const std::size_t size : {0, 3, 32768, 70000}) {
        SCOPED_TRACE(std::to_string(size));
        const Bytes data = testing::tallyLikeText(size);
        writeFile(file("plain"), data);
        doit.InputFile = file("plain");
        doit.OutputFile = file("packed");
        const std::int64_t written = doit.Compress();
        EXPECT_EQ(written, static_cast<std::int64_t>(fs::file_size(file("packed"))));
        EXPECT_EQ(readFile(file("packed")), compressBytes(data));

        doit.InputFile = file("packed");
        doit.OutputFile = file("back");
        EXPECT_EQ(doit.Decompress(), static_cast<std::int64_t>(size));
        EXPECT_EQ(readFile(file("back")), data);
        EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"back", "packed", "plain"}));
    }
}

TEST_F(Tlzrw1Test, NamesTheFileThatFailed) {
    writeFile(file("plain"), testing::text("plain text"));
    const std::string missing = file("missing").string();
    const std::string nowhere = (dir.path() / "no-such-dir" / "out").string();
    const struct {
        const char* what;
        bool compress;
        std::string input;
        std::string output;
        std::string error;
    } cases[] = {
        {"compress, no input", true, missing, file("out"),
         "Lzrw1 compression : Failed to obtain the size of : " + missing},
        {"decompress, no input", false, missing, file("out"),
         "Lzrw1 (de)compression : Failed to open input file : " + missing},
        {"compress, output folder missing", true, file("plain"), nowhere,
         "Lzrw1 (de)compression : Failed to open output file : " + nowhere},
        {"decompress, not a container", false, file("plain"), file("out"),
         file("plain").string() + " : Lzrw1 decompression : this file has no valid header !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        doit.InputFile = c.input;
        doit.OutputFile = c.output;
        EXPECT_EQ(errorOf([&] { c.compress ? doit.Compress() : doit.Decompress(); }), c.error);
        EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"plain"});
    }
}

TEST_F(Tlzrw1Test, EveryTruncationLeavesNoOutput) {
    // A compressed piece and a stored one, in a small file: one file per cut.
    Bytes data(32000, ' ');
    for (const Bytes& more : {testing::tallyLikeText(768), testing::randomBytes(100)})
        data.insert(data.end(), more.begin(), more.end());
    const Bytes container = compressBytes(data);
    doit.InputFile = file("cut");
    doit.OutputFile = file("out");
    for (std::size_t cut = 0; cut < container.size(); ++cut) {
        writeFile(file("cut"), Bytes(container.begin(), container.begin() + cut));
        ASSERT_EQ(errorOf([&] { doit.Decompress(); }),
                  "Lzrw1 : Error reading from input file : " + file("cut").string())
            << cut;
        ASSERT_EQ(filesIn(dir.path()), std::vector<std::string>{"cut"}) << cut;
    }
}

TEST_F(Tlzrw1Test, FailureKeepsTheEarlierOutput) {
    writeFile(file("out"), testing::text("earlier"));
    Bytes container = compressBytes(testing::tallyLikeText(5000));
    container[4] ^= 1;  // header size off by one
    writeFile(file("bad"), container);
    doit.InputFile = file("bad");
    doit.OutputFile = file("out");
    EXPECT_THROW(doit.Decompress(), ELzrw1Exception);
    EXPECT_EQ(readFile(file("out")), testing::text("earlier"));
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"bad", "out"}));
}

// Files may not grow past `bytes` while it lives, as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(Tlzrw1Test, FullDiskKeepsTheEarlierOutput) {
    writeFile(file("plain"), testing::randomBytes(100000));
    writeFile(file("out"), testing::text("earlier"));
    doit.InputFile = file("plain");
    doit.OutputFile = file("out");
    std::string error;
    {
        FileSizeLimit full(50000);
        error = errorOf([&] { doit.Compress(); });
    }
    EXPECT_EQ(error, "Lzrw1 : Error writing to output file : " + file("out").string());
    EXPECT_EQ(readFile(file("out")), testing::text("earlier"));
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"out", "plain"}));
}

}  // namespace
}  // namespace tessarin
