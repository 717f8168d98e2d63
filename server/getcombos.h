// Arrangements of a row's letters for the word search.
#pragma once

#include <cstdint>
#include <string>

namespace tessarin {

class TDictn;

// Rearranges a[0..high] into the next arrangement in lexicographic order and returns true,
// or returns false and leaves a unchanged when it is already in falling order.
bool nextcombo(std::uint8_t* a, int high);

// Tests every arrangement of every block slots[0..m-1] for m = n down to 1 (slots[0] is the
// newest letter) and returns the total length of the words found. Each arrangement counts
// separately, so a word spelled by two arrangements scores twice. When `found` is given,
// each word is appended to it with a '+' in front, in the order found.
int scorearrangements(const TDictn& spell, const char* slots, int n, std::string* found);

}  // namespace tessarin
