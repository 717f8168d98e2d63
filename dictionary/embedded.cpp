#include "tdictn.h"

extern "C" const char tessarin_wordlist_begin[];
extern "C" const char tessarin_wordlist_end[];

namespace tessarin {

std::span<const char> embeddedWordList() {
    return {tessarin_wordlist_begin,
            static_cast<std::size_t>(tessarin_wordlist_end - tessarin_wordlist_begin)};
}

}  // namespace tessarin
