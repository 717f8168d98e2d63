#include "chatstyles.h"

#include <QFont>
#include <algorithm>

namespace tessarin::chat {

ChatStyles::ChatStyles(const QColor& windowText) {
    for (auto& look : looks_) look.colour = windowText;
    looks_[kSystemStyle].colour = toQColor(kSystemColour);
    looks_[kLinkStyle].colour = Qt::darkGreen;  // the basic "clGreen", 0x008000
    looks_[kLinkStyle].underline = true;
    looks_[6].colour = looks_[7].colour = toQColor(0xC0C0C0);
}

std::size_t ChatStyles::index(int style) {
    return static_cast<std::size_t>(style >= 0 && style < kStyleCount ? style : kStrayStyle);
}

bool ChatStyles::setLook(int style, const QColor& colour, bool bold) {
    Look& look = looks_[index(style)];
    if (look.colour == colour && look.bold == bold) return false;
    look.colour = colour;
    look.bold = bold;
    return true;
}

bool ChatStyles::setTextSize(int points) {
    points = std::clamp(points, kMinTextSize, kMaxTextSize);
    if (points == textSize_) return false;
    textSize_ = points;
    return true;
}

QTextCharFormat ChatStyles::format(int style) const {
    const std::size_t i = index(style);
    const Look& look = looks_[i];
    QTextCharFormat f;
    // Arial is the intended face; DejaVu Sans is what this system reliably has.
    f.setFontFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")});
    f.setFontPointSize(textSize_);
    f.setFontWeight(look.bold ? QFont::Bold : QFont::Normal);
    f.setFontUnderline(look.underline);
    f.setForeground(look.colour);
    f.setProperty(kStyleProperty, static_cast<int>(i));
    return f;
}

}  // namespace tessarin::chat
