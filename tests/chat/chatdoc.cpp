#include "chatdoc.h"

#include <QTextBlock>
#include <QTextDocument>
#include <functional>

#include "chatstyles.h"

namespace tessarin::chat::testing {
namespace {

void eachPiece(const QTextDocument& doc, const std::function<void(const QTextFragment&)>& f) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) f(it.fragment());
}

}  // namespace

QString describeParagraph(const QTextDocument& doc, int paragraph) {
    const QTextBlock block = doc.findBlockByNumber(paragraph);
    QString out;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment piece = it.fragment();
        const QTextCharFormat format = piece.charFormat();
        if (format.isImageFormat()) {
            out += u'<' + format.toImageFormat().name() + u'>';
        } else if (format.isAnchor()) {
            out += u'{' + format.anchorHref() + u':' + piece.text() + u'}';
        } else {
            out += QStringLiteral("[%1]").arg(format.intProperty(kStyleProperty)) + piece.text();
        }
    }
    return out;
}

QString describeLastParagraph(const QTextDocument& doc) {
    return describeParagraph(doc, doc.blockCount() - 1);
}

QSet<QRgb> coloursOfStyle(const QTextDocument& doc, int style) {
    QSet<QRgb> colours;
    eachPiece(doc, [&](const QTextFragment& piece) {
        const QTextCharFormat format = piece.charFormat();
        if (format.hasProperty(kStyleProperty) && format.intProperty(kStyleProperty) == style)
            colours.insert(format.foreground().color().rgb());
    });
    return colours;
}

bool styleAllBold(const QTextDocument& doc, int style) {
    bool bold = true;
    eachPiece(doc, [&](const QTextFragment& piece) {
        const QTextCharFormat format = piece.charFormat();
        if (format.hasProperty(kStyleProperty) && format.intProperty(kStyleProperty) == style)
            bold = bold && format.fontWeight() == QFont::Bold;
    });
    return bold;
}

QSet<qreal> pointSizes(const QTextDocument& doc) {
    QSet<qreal> sizes;
    eachPiece(doc, [&](const QTextFragment& piece) {
        if (piece.charFormat().hasProperty(kStyleProperty))
            sizes.insert(piece.charFormat().fontPointSize());
    });
    return sizes;
}

QList<Link> links(const QTextDocument& doc) {
    QList<Link> out;
    eachPiece(doc, [&](const QTextFragment& piece) {
        if (piece.charFormat().isAnchor())
            out.append({piece.charFormat().anchorHref().toInt(), piece.text()});
    });
    return out;
}

int linkPosition(const QTextDocument& doc, int number) {
    int position = -1;
    eachPiece(doc, [&](const QTextFragment& piece) {
        if (position < 0 && piece.charFormat().isAnchor() &&
            piece.charFormat().anchorHref() == QString::number(number))
            position = piece.position() + 1;
    });
    return position;
}

}  // namespace tessarin::chat::testing
