// The game's pictures, drawn with QPainter the first time they are asked for and kept in
// QPixmapCache afterwards. Needs a QGuiApplication; call from the UI thread only.
//
// Every picture has a fixed size in device-independent pixels, because the windows place
// them at fixed pixel positions. Those that take a `ratio` can be drawn with that many
// device pixels per pixel (0.25..16; the pixmap carries it as its device pixel ratio), so a
// grown board or a high-density screen shows them sharp rather than stretched.
#pragma once

#include <QtGui/QColor>
#include <QtGui/QImage>
#include <QtGui/QPixmap>

namespace tessarin::pictures {

// Size of a board cell and of a rack tile.
inline constexpr int kTileSize = 44;
inline constexpr int kSmileyCount = 18;

// The square drawn behind the last placed cell so that it frames it.
inline constexpr QRgb kHighlightColour = qRgb(203, 95, 59);

// 44x44. 0 = the empty board slot ("blank tile"), 1..26 = letter tiles A..Z.
// Null for any other code.
QPixmap tile(int code, qreal ratio = 1.0);

// 17x16 chat faces, index 0..17 (smile, wink, laugh, sad, tongue, surprised, cool, angry,
// crying, neutral, in love, sleepy, blushing, kiss, devil, sick, confused, angel).
// Null for any other index.
QPixmap smiley(int index);

// 54x21: an arrow pointing right at the name of the seat whose turn it is.
QPixmap turnMarker(qreal ratio = 1.0);

// 24x16: the marker beside a seat whose player is just watching.
QPixmap eyes(qreal ratio = 1.0);

// width x 2: the engraved rule under a board row. Null when width < 1.
QPixmap ruleLine(int width, qreal ratio = 1.0);

// 64x64, seamless: the tiled background of every window. Light and low in contrast so
// that black text on it stays readable.
QPixmap background();

// 26x22: a phrase button's face; number 1..9 labels it "P1".."P9", 0 leaves it plain.
// Null for any other number.
QPixmap phraseButton(int number = 0);

// 26x22: the "Chatter Sounds" button's face, a musical note.
QPixmap soundButton();

// 24x22: the button that opens the smiley menu.
QPixmap smileyButton();

// 120x34: the "Start Game" button's face.
QPixmap startButton(qreal ratio = 1.0);

// 176x44: the game's name spelt in small tiles over the maker's name; the board's and the
// about window's logo.
QPixmap logo(qreal ratio = 1.0);

// 200x64: the quick instructions' example, a row filled from the right with an arrow
// showing that its word reads from left to right.
QPixmap instructionsPicture(qreal ratio = 1.0);

// 64x64: the window icon, a letter tile.
QPixmap appIcon();
// The window icon drawn afresh at size x size pixels, for the desktop's icon theme.
QImage appIconImage(int size);

}  // namespace tessarin::pictures
