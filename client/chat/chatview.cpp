#include "chatview.h"

#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <vector>

namespace tessarin::chat {
namespace {

constexpr int kAllStyles = -1;
constexpr int kSmileyWidth = 17;
constexpr int kSmileyHeight = 16;

// The document would start a new paragraph at each of these.
QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

}  // namespace

ChatView::ChatView(QWidget* parent)
    : QTextBrowser(parent), styles_(palette().color(QPalette::Text)) {
    setObjectName(QStringLiteral("mainchat"));
    setOpenLinks(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette look = palette();
    look.setColor(QPalette::Base, toQColor(kBackground));
    setPalette(look);
    // A long chat must not also keep every insertion for undo.
    document()->setUndoRedoEnabled(false);
    document()->setDocumentMargin(5);
    registerSmilies();

    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        bool ok = false;
        const int number = url.toString().toInt(&ok);
        if (ok) emit linkClicked(number);
    });
    // The document lays out after the insertion returns, so the end keeps moving.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
        if (followEnd_) verticalScrollBar()->setValue(max);
    });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { followEnd_ = false; });
}

void ChatView::setStyleLook(int style, const QColor& colour, bool bold) {
    if (styles_.setLook(style, colour, bold)) restyle(style);
}

void ChatView::setTextSize(int points) {
    if (styles_.setTextSize(points)) restyle(kAllStyles);
}

void ChatView::setSmileyProvider(SmileyProvider provider) {
    smilies_ = std::move(provider);
    registerSmilies();
    // Pictures already shown pick up the new resources on the next layout.
    document()->markContentsDirty(0, document()->characterCount());
}

QString ChatView::smileyName(int index) {
    return QStringLiteral("smiley:%1").arg(index);
}

void ChatView::registerSmilies() {
    for (int i = 0; i < kSmileyCount; ++i) {
        QPixmap picture = smilies_ ? smilies_(i) : QPixmap();
        if (picture.isNull()) {
            picture = QPixmap(kSmileyWidth, kSmileyHeight);
            picture.fill(Qt::transparent);
        }
        document()->addResource(QTextDocument::ImageResource, QUrl(smileyName(i)), picture);
    }
}

QTextCursor ChatView::endCursor() {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    return cursor;
}

void ChatView::startParagraph(QTextCursor& cursor) {
    if (empty_) {
        empty_ = false;
        return;
    }
    if (document()->blockCount() >= kMaxParagraphs ||
        document()->characterCount() >= kMaxCharacters) {
        dropOldestParagraphs();
        cursor = endCursor();
    }
    cursor.insertBlock();
}

void ChatView::dropOldestParagraphs() {
    const int keepParagraphs = kMaxParagraphs / 2;
    const int keepCharacters = kMaxCharacters / 2;
    int paragraphs = document()->blockCount();
    int characters = document()->characterCount();
    QTextBlock block = document()->firstBlock();
    // The last paragraph always stays; the new one goes after it.
    while (block.next().isValid() && (paragraphs > keepParagraphs || characters > keepCharacters)) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor()) linktable_.erase(format.anchorHref().toInt());
        }
        --paragraphs;
        characters -= block.length();
        block = block.next();
    }
    QTextCursor cursor(document());
    cursor.setPosition(block.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void ChatView::addLine(const ChatLine& line) {
    QTextCursor cursor = endCursor();
    // One edit block: the paragraph is laid out once, not once per piece.
    cursor.beginEditBlock();
    startParagraph(cursor);
    cursor.insertText(oneLine(line.head), styles_.format(line.style));
    for (const ChatPiece& piece : line.pieces) {
        switch (piece.kind) {
            case ChatPiece::Kind::Text:
                cursor.insertText(oneLine(piece.text), styles_.format(line.style));
                break;
            case ChatPiece::Kind::Link:
                addLink(cursor, oneLine(piece.text));
                break;
            case ChatPiece::Kind::Smiley: {
                QTextImageFormat picture;
                picture.setName(smileyName(piece.smiley));
                picture.setVerticalAlignment(QTextCharFormat::AlignMiddle);
                cursor.insertImage(picture);
                break;
            }
        }
    }
    cursor.endEditBlock();
}

void ChatView::addLink(QTextCursor& cursor, const QString& text) {
    const int number = nextLink_++;
    linktable_[number] = text;
    QTextCharFormat format = styles_.format(kLinkStyle);
    format.setAnchor(true);
    format.setAnchorHref(QString::number(number));
    cursor.insertText(text, format);
}

void ChatView::clearAll() {
    document()->clear();
    registerSmilies();
    linktable_.clear();
    nextLink_ = 0;
    empty_ = true;
}

std::optional<QString> ChatView::linkText(int number) const {
    const auto found = linktable_.find(number);
    if (found == linktable_.end()) return std::nullopt;
    return found->second;
}

void ChatView::scrollToEnd() {
    followEnd_ = true;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ChatView::holdPosition() {
    followEnd_ = false;
}

QString ChatView::selectedPlainText() const {
    QString text = textCursor().selection().toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

QMimeData* ChatView::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(selectedPlainText());
    return data;
}

// Carries a style's current look to every piece shown in it (all styles for kAllStyles).
// The ranges are gathered first: applying a format may merge fragments under an iterator,
// but never moves text.
void ChatView::restyle(int style) {
    struct Range {
        int from;
        int to;
        int style;
    };
    std::vector<Range> ranges;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment piece = it.fragment();
            const QTextCharFormat format = piece.charFormat();
            if (!format.hasProperty(kStyleProperty)) continue;
            const int pieceStyle = format.intProperty(kStyleProperty);
            if (style == kAllStyles || pieceStyle == style)
                ranges.push_back({piece.position(), piece.position() + piece.length(), pieceStyle});
        }
    }
    if (ranges.empty()) return;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const Range& range : ranges) {
        cursor.setPosition(range.from);
        cursor.setPosition(range.to, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(styles_.format(range.style));
    }
    cursor.endEditBlock();
}

}  // namespace tessarin::chat
