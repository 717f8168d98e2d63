// The chat view: a read-only rich-text view of paragraphs in fifteen numbered styles,
// clickable numbered links and inline smiley pictures.
//
// Links are numbered 0, 1, 2... in the order they were added since the view was last
// cleared, and each number keeps the text it was added with for as long as the link is
// shown: there is no shared ring of texts that a later link could overwrite, and clearing
// the view forgets the numbers together with the links. A click therefore always reports
// a number whose linkText() is exactly the text of the clicked link.
//
// The view keeps at most kMaxParagraphs paragraphs and about kMaxCharacters characters,
// so a chatty or hostile peer cannot grow it without bound. The oldest paragraphs go
// first, with their links, half of the limit at a time: removing text at the top makes the
// document lay out everything that stays again, so a trim costs what it keeps and should
// happen seldom (kept at 135,000 characters, a trim stopped the window for 130-160 ms; at
// 25,000, for 10-50 ms on a busy machine). The same bound caps the cost of a style change,
// which lays out its style's text again.
#pragma once

#include <QPixmap>
#include <QTextBrowser>
#include <QTextCursor>
#include <functional>
#include <map>
#include <optional>

#include "chatstyles.h"

namespace tessarin::chat {

// Paints smiley picture 0..17.
using SmileyProvider = std::function<QPixmap(int index)>;

class ChatView : public QTextBrowser {
    Q_OBJECT
  public:
    static constexpr int kMaxParagraphs = 2000;
    static constexpr int kMaxCharacters = 50'000;
    // Red 238, green 232, blue 203.
    static constexpr Colour kBackground = 0xCBE8EE;

    explicit ChatView(QWidget* parent = nullptr);

    // A style's colour and boldness; text already shown in that style takes the change.
    void setStyleLook(int style, const QColor& colour, bool bold);
    // The font size of all fifteen styles, clamped to kMinTextSize..kMaxTextSize.
    void setTextSize(int points);
    const ChatStyles& styles() const { return styles_; }

    void setSmileyProvider(SmileyProvider provider);
    // The resource name under which smiley picture 0..17 is shown.
    static QString smileyName(int index);

    // Adds the line as a new paragraph: its head and words in the line's style, its links
    // in the link style, its smilies as pictures. Line breaks inside it become blanks, so
    // one line is always one paragraph.
    void addLine(const ChatLine& line);

    void clearAll();
    std::optional<QString> linkText(int number) const;

    // Scrolls to the end now and again when pending layout moves the end, until the user
    // scrolls or holdPosition() is called.
    void scrollToEnd();
    void holdPosition();

    // The selection as plain text, without the smilies' placeholder characters.
    QString selectedPlainText() const;

  signals:
    void linkClicked(int number);

  protected:
    QMimeData* createMimeDataFromSelection() const override;

  private:
    QTextCursor endCursor();
    void startParagraph(QTextCursor& cursor);
    void addLink(QTextCursor& cursor, const QString& text);
    void dropOldestParagraphs();
    void restyle(int style);
    void registerSmilies();

    ChatStyles styles_;
    SmileyProvider smilies_;
    std::map<int, QString> linktable_;
    int nextLink_ = 0;
    bool empty_ = true;
    bool followEnd_ = false;
};

}  // namespace tessarin::chat
