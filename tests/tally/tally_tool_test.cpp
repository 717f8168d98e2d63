// The tessarin-tally tool as a user runs it: output, exit status, files left behind.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tempdir.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;
    std::string output;  // stdout and stderr
};

ToolRun runTool(const std::string& args) {
    const std::string command = std::string(TESSARIN_TALLY_TOOL) + " " + args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ToolRun run{-1, {}};
    std::array<char, 256> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe)) run.output += chunk.data();
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(TallyToolTest, AnswersEveryCommand) {
    tessarin::testing::TempDir dir;
    const std::string d = dir.path().string();
    const std::string reference = TESSARIN_TALLY_DATA "/reference.tld";
    std::ofstream(dir.path() / "plain.txt") << "nine\r\nlines\r\n";
    // A header claiming 2,000,000,000 bytes; the game's own limit applies to "show".
    std::ofstream(dir.path() / "huge.tld") << std::string("WRZL\x00\x94\x35\x77\x05\x00\x40", 11);
    const struct {
        std::string args;
        int status;
        std::string output;  // a part of what the tool prints
    } cases[] = {
        {"show " + reference, 0,
         "Klot                         10          3          5          2"},
        {"show " + reference, 0, "(all runs)                   12          5"},
        {"compress " + d + "/plain.txt " + d + "/t.tld", 0, d + "/t.tld: 24 bytes written"},
        {"decompress " + d + "/t.tld " + d + "/back.txt", 0, d + "/back.txt: 13 bytes written"},
        {"decompress " + d + "/plain.txt " + d + "/x", 1,
         "tessarin-tally: " + d +
             "/plain.txt : Lzrw1 decompression : this file has no valid header !"},
        {"show " + d + "/plain.txt", 1, "no valid header"},
        {"show " + d + "/none.tld", 1, "no such file"},
        {"show " + d + "/huge.tld", 1,
         "(2000000000 bytes) is larger than the 4194304 bytes this file may hold !"},
        {"", 2, "usage: tessarin-tally show FILE"},
        {"compress " + d + "/plain.txt", 2, "usage:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.output.find(c.output), std::string::npos) << run.output;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "x"));
    std::ifstream back(dir.path() / "back.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), "nine\r\nlines\r\n");
}

}  // namespace
