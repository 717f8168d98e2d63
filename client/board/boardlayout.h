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

// The right-hand part of the panel, from x 470, belongs to the chat.
inline constexpr int kChatLeft = 470;

// The seats, the round, the word list and the start button stand in the strip left of the
// cells; the status line runs under the rack.
inline constexpr int kSideLeft = 2;
inline constexpr int kSideWidth = 118;             // clear of the keyboard frame round a row
inline constexpr int kNameLeft = kTurnMarkerLeft;  // the marker stands at the strip's edge
inline constexpr int kNameWidth = 125 - kNameLeft;
inline constexpr std::array<int, 4> kSeatTop = {0, 66, 106, 146};
inline constexpr int kNameHeight = 17;
inline constexpr int kScoreTop = 18;  // the score line under each name
inline constexpr int kScoreHeight = 20;
inline constexpr int kStatusTop = 388;
inline constexpr int kStatusRight = 468;

}  // namespace tessarin::board::layout
