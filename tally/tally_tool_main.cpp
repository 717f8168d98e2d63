// tessarin-tally: looks into tally files and runs the container coder on any file.
//   tessarin-tally show FILE          the figures of a tally file as a table
//   tessarin-tally compress IN OUT    IN into a "WRZL" container OUT
//   tessarin-tally decompress IN OUT  the data of container IN into OUT
//   tessarin-tally --help | --version on standard output
// Exit status: 0 done, 1 the operation failed (the reason on stderr), 2 wrong usage.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "tallyfile.h"
#include "tlzrw1.h"

namespace {

using namespace tessarin;

constexpr char kUsage[] =
    "usage: tessarin-tally show FILE\n"
    "       tessarin-tally compress IN OUT\n"
    "       tessarin-tally decompress IN OUT\n";
constexpr char kOptions[] =
    "\nPrints a tally file's figures, or runs the tally file's compressor on any file.\n\n"
    "Options:\n"
    "  -h, --help     Displays help on commandline options.\n"
    "  -v, --version  Displays version information.\n";

void printRow(const QString& name, const TTally& tally, int row, int firstCol, int lastCol) {
    // Padded before encoding, so a name with accents keeps the columns straight.
    std::printf("%s", name.leftJustified(20).toLocal8Bit().constData());
    for (int col = firstCol; col <= lastCol; ++col)
        std::printf(" %10s", tally.cell(col, row).toLocal8Bit().constData());
    std::printf("\n");
}

int show(const char* file) {
    TTally tally;
    if (!loadTallyFile(QString::fromLocal8Bit(file), tally)) {
        std::fprintf(stderr, "tessarin-tally: %s: no such file\n", file);
        return 1;
    }
    std::printf("%-20s %10s %10s\n", "You", "Games", "Won");
    printRow(QStringLiteral("(all runs)"), tally, 0, 1, 2);
    if (tally.rowcount() == 1) return 0;
    // This run's columns are only meaningful while the game runs, so only totals are shown.
    std::printf("\n%-20s %10s %10s %10s %10s\n", "Followed player", "Games", "He won", "You won",
                "Neither");
    for (int row = 1; row < tally.rowcount(); ++row) printRow(tally.cell(0, row), tally, row, 1, 4);
    return 0;
}

int code(bool compress, const char* in, const char* out) {
    Tlzrw1 doit;
    doit.InputFile = in;
    doit.OutputFile = out;
    const std::int64_t written = compress ? doit.Compress() : doit.Decompress();
    std::printf("%s: %lld bytes written\n", out, static_cast<long long>(written));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (argc == 2 && (command == "-h" || command == "--help")) {
        std::printf("%s%s", kUsage, kOptions);
        return 0;
    }
    if (argc == 2 && (command == "-v" || command == "--version")) {
        std::printf("tessarin-tally %s\n", TESSARIN_VERSION);
        return 0;
    }
    try {
        if (command == "show" && argc == 3) return show(argv[2]);
        if ((command == "compress" || command == "decompress") && argc == 4)
            return code(command == "compress", argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessarin-tally: %s\n", e.what());
        return 1;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
