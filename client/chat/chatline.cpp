#include "chatline.h"

namespace tessarin::chat {
namespace {

bool isLink(QStringView chunk) {
    return chunk.contains(u"http://", Qt::CaseInsensitive) ||
           chunk.contains(u"www.", Qt::CaseInsensitive);
}

// Appends `words` and a blank, cut after every blank; neighbouring plain chunks are
// joined, as they look the same.
void addWords(QStringView words, std::vector<ChatPiece>& pieces) {
    const QString text = words.toString() + u' ';
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype blank = text.indexOf(u' ', start);
        const QStringView chunk = QStringView(text).mid(start, blank - start + 1);
        start = blank + 1;
        if (isLink(chunk)) {
            pieces.push_back({ChatPiece::Kind::Link, chunk.toString()});
        } else if (!pieces.empty() && pieces.back().kind == ChatPiece::Kind::Text) {
            pieces.back().text += chunk;
        } else {
            pieces.push_back({ChatPiece::Kind::Text, chunk.toString()});
        }
    }
}

int smileyPicture(QStringView code) {
    bool ok = false;
    const int number = code.toInt(&ok);
    const int picture = number - kFirstSmileyTag;
    return ok && picture >= 0 && picture < kSmileyCount ? picture : 0;
}

}  // namespace

int styleForSeat(QStringView seatText) {
    bool ok = false;
    const int seat = seatText.toInt(&ok);
    if (!ok || seat < 0 || seat > 9) return kStrayStyle;
    return seat == 0 ? kSystemStyle : seat + 5;
}

ChatLine parseChatLine(QStringView line) {
    line = line.left(kMaxLineLength);
    ChatLine out;
    const qsizetype plus = line.indexOf(u'+');
    QStringView text = line;
    if (plus < 0) {
        out.style = kStrayStyle;
    } else {
        out.style = styleForSeat(line.left(plus));
        text = line.mid(plus + 1);
    }

    const qsizetype colon = text.indexOf(u':');
    out.head = text.left(colon + 1).toString() + u' ';
    text = text.mid(colon + 1);

    qsizetype pos = 0;
    int smilies = 0;
    for (qsizetype code = text.indexOf(kSmileyCode); code >= 0;
         code = text.indexOf(kSmileyCode, pos)) {
        addWords(text.mid(pos, code - pos), out.pieces);
        const qsizetype number = code + kSmileyCode.size();
        if (smilies++ < kMaxSmiliesPerLine)
            out.pieces.push_back({ChatPiece::Kind::Smiley, {}, smileyPicture(text.mid(number, 2))});
        pos = std::min(number + 2, text.size());
    }
    if (pos < text.size()) addWords(text.mid(pos), out.pieces);
    return out;
}

std::optional<QUrl> webAddress(const QString& linkText) {
    const QUrl url = QUrl::fromUserInput(linkText.trimmed());
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return std::nullopt;
    return url;
}

}  // namespace tessarin::chat
