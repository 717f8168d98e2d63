// Pixel positions of the board panel. The cells, the rack and the panel's size are the
// game's own; the rest is arranged around them. Arrays count from 1; index 0 is unused.
#pragma once

#include <array>

namespace tessarin::board::layout {

inline constexpr int kPanelWidth = 749;
inline constexpr int kPanelHeight = 411;

// Cells: rows top to bottom; column 1 (filled first) is the rightmost.
inline constexpr std::array<int, 7> kRowTop = {0, 10, 58, 106, 154, 202, 250};
inline constexpr std::array<int, 7> kColumnLeft = {0, 375, 325, 276, 226, 177, 127};
inline constexpr int kCellSize = 44;
inline constexpr int kRowNumberLeft = 428;  // the large "1".."6" right of each row
inline constexpr int kRuleGap = 1;          // the rule sits this far under its row

// The last placed cell is framed by a square this much larger, 3 pixels up and left.
inline constexpr int kHighlightWidth = 51;
inline constexpr int kHighlightHeight = 50;
inline constexpr int kHighlightOffset = 3;

// Rack: a picked-up tile stands 32 pixels above the others.
inline constexpr std::array<int, 7> kTileLeft = {0, 129, 177, 225, 273, 321, 369};
inline constexpr int kRestTop = 335;
inline constexpr int kRaisedTop = 303;

// The turn marker stands this far left of and above the current player's name.
inline constexpr int kTurnMarkerLeft = 55;
inline constexpr int kTurnMarkerUp = 4;

// The seats, status and word list to the right of the board.
inline constexpr int kSideLeft = 482;
inline constexpr int kSideWidth = 259;
inline constexpr int kNameLeft = kSideLeft + kTurnMarkerLeft;
inline constexpr int kNameWidth = 104;
inline constexpr std::array<int, 4> kSeatTop = {0, 92, 118, 144};
inline constexpr int kSeatHeight = 22;
inline constexpr int kScoreLeft = kNameLeft + kNameWidth + 30;

}  // namespace tessarin::board::layout
