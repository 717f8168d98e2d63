// The chat view's fifteen numbered text styles. Every piece of text in the view remembers
// its style number, so a change to a style can be carried to the text already shown.
#pragma once

#include <QColor>
#include <QTextCharFormat>
#include <array>

#include "chatline.h"
#include "colourtext.h"
#include "qcolour.h"
#include "textsize.h"

namespace tessarin::chat {

// The char-format property that holds a piece's style number 0..14.
inline constexpr int kStyleProperty = QTextFormat::UserProperty + 1;

class ChatStyles {
  public:
    // windowText: the colour of styles 8..14 (and the unused ones) at start.
    explicit ChatStyles(const QColor& windowText);

    // Style 0..14 (others are clamped to kStrayStyle). Returns whether the look changed.
    bool setLook(int style, const QColor& colour, bool bold);
    // Returns whether the size changed; sizes are clamped to kMinTextSize..kMaxTextSize.
    bool setTextSize(int points);
    int textSize() const { return textSize_; }
    QColor colour(int style) const { return looks_[index(style)].colour; }
    bool bold(int style) const { return looks_[index(style)].bold; }

    // The whole look of a style, with kStyleProperty set.
    QTextCharFormat format(int style) const;

  private:
    struct Look {
        QColor colour;
        bool bold = false;
        bool underline = false;
    };
    static std::size_t index(int style);

    std::array<Look, kStyleCount> looks_;
    int textSize_ = kStartupTextSize;
};

}  // namespace tessarin::chat
