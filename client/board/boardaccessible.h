// What screen readers see of the board, beyond what Qt gives every widget:
// - the board panel lists the grid in place of its 36 cells;
// - the grid (boardgrid.h) is a table of 6 rows by 6 columns whose cells are those widgets,
//   left to right as a word reads; its focused cell is the keyboard's cursor;
// - the winner panel is an alert.
// Installed once, before the first board is built, so no interface is made without it.
#pragma once

namespace tessarin::board {

void installaccessibility();

}  // namespace tessarin::board
