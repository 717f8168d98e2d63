// Reading the chat view's document back in tests.
#pragma once

#include <QColor>
#include <QSet>
#include <QString>

class QTextDocument;

namespace tessarin::chat::testing {

// One paragraph as "[style]text", "{link number:text}" and "<picture name>" pieces.
QString describeParagraph(const QTextDocument& doc, int paragraph);
QString describeLastParagraph(const QTextDocument& doc);

// The distinct text colours of every piece in a style.
QSet<QRgb> coloursOfStyle(const QTextDocument& doc, int style);
// Whether every piece of a style is bold (vacuously true for an unused style).
bool styleAllBold(const QTextDocument& doc, int style);
// The distinct point sizes of all styled pieces.
QSet<qreal> pointSizes(const QTextDocument& doc);

struct Link {
    int number;
    QString text;
};
// Every link piece shown, in document order.
QList<Link> links(const QTextDocument& doc);
// The position just inside link `number`, or -1.
int linkPosition(const QTextDocument& doc, int number);

}  // namespace tessarin::chat::testing
