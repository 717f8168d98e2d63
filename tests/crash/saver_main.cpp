// crash_saver DIR FIRST: saves the tally file and the settings file in DIR over and over,
// generation FIRST, FIRST + 1, ..., until it is killed. Writes one byte to its output
// before the first save, so its parent knows it is running.
#include <unistd.h>

#include <cstdlib>

#include "generations.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    long g = std::atol(argv[2]);
    if (::write(STDOUT_FILENO, "r", 1) != 1) return 1;
    for (;; ++g) {
        tessarin::crash::saveTally(dir, g);
        tessarin::crash::saveSettings(dir, g);
    }
}
