#include "getcombos.h"

#include <string_view>
#include <utility>

#include "tdictn.h"

namespace tessarin {

bool nextcombo(std::uint8_t* a, int high) {
    int i = high - 1;
    while (i >= 0 && a[i] >= a[i + 1]) --i;
    if (i < 0) return false;
    int j = high;
    while (j > i && a[j] < a[i]) --j;
    std::swap(a[i], a[j]);
    ++i;
    j = high;
    while (i < j) {
        if (a[j] < a[i]) std::swap(a[i], a[j]);
        ++i;
        --j;
    }
    return true;
}

int scorearrangements(const TDictn& spell, const char* slots, int n, std::string* found) {
    int total = 0;
    for (int m = n; m >= 1; --m) {
        std::uint8_t index[6];
        for (int i = 0; i < m; ++i) index[i] = static_cast<std::uint8_t>(i + 1);
        do {
            char word[6];
            for (int i = 0; i < m; ++i) word[i] = slots[index[i] - 1];
            const std::string_view text(word, static_cast<std::size_t>(m));
            if (spell.IsWord(text)) {
                total += m;
                if (found) {
                    *found += '+';
                    *found += text;
                }
            }
        } while (nextcombo(index, m - 1));
    }
    return total;
}

}  // namespace tessarin
