// How one chat line breaks into what the chat view shows: the style of its seat, the head
// (the text through the first ':'), plain words, links and smilies. No widgets.
#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>
#include <optional>
#include <vector>

namespace tessarin::chat {

inline constexpr int kStyleCount = 15;
inline constexpr int kSystemStyle = 0;
inline constexpr int kLinkStyle = 4;
// Lines whose seat is not 0..9 (a negative, too large or unreadable number). The style is
// otherwise unused, so such a line never recolours the program's own lines or a seat's.
inline constexpr int kStrayStyle = 1;
inline constexpr int kSmileyCount = 18;
// The code that travels inside chat text: ":)#" and two digits, 10..27.
inline constexpr QStringView kSmileyCode = u":)#";
inline constexpr int kFirstSmileyTag = 10;
// A line shows at most this many characters (seat and head included). Laying out one
// paragraph costs more than linear time in its length; a 64 KB line from a peer would
// stop the program for seconds, a person's line is far shorter.
inline constexpr qsizetype kMaxLineLength = 4096;
// A line shows at most this many pictures: as many as fit in the longest text a server
// relays (kMaxChatText, five characters a code). Each picture is an object the view lays
// out; a line of 800 cost a window 30 ms and more to show.
inline constexpr int kMaxSmiliesPerLine = 80;

// Style of a seat given as text: 0 for seat 0, seat + 5 for seats 1..9, else kStrayStyle.
int styleForSeat(QStringView seatText);

struct ChatPiece {
    enum class Kind { Text, Link, Smiley };
    Kind kind;
    QString text;    // Text and Link: the words with their blanks
    int smiley = 0;  // Smiley: picture 0..17
};

struct ChatLine {
    int style = kSystemStyle;
    QString head;  // the head and the blank that follows it
    std::vector<ChatPiece> pieces;
};

// Breaks "seat+text" as it is shown: seat and '+' removed, the head cut off, each ":)#NN"
// turned into a smiley (picture 0 when NN is no number or not 10..27), each blank-ended
// chunk holding "http://" or "www." (letter case ignored) made a link; codes after the
// first kMaxSmiliesPerLine are left out. A line without '+' has an unreadable seat and is
// shown whole. Only the first kMaxLineLength characters of the line are read.
ChatLine parseChatLine(QStringView line);

// The web address a clicked link's text names, for the browser: "www." alone gains
// "http://". Only http and https addresses are given; a peer's link to a local file or
// another scheme is not handed to the desktop to open.
std::optional<QUrl> webAddress(const QString& linkText);

}  // namespace tessarin::chat
