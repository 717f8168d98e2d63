// Renders every picture onto one sheet for a person to look over: at their real size,
// in a mock-up of the board where they meet, and enlarged where they are small.
// Usage: contact_sheet [output.png]   (default /tmp/assets-sheet.png)
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>

#include <cstdio>

#include "picture_resources.h"
#include "pictures.h"

namespace pics = tessarin::pictures;

namespace {

void caption(QPainter& p, int x, int y, const QString& text) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(x, y, text);
}

void zoomed(QPainter& p, int x, int y, const QPixmap& pixmap, int factor, const QColor& under) {
    QImage image(pixmap.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(under);
    QPainter(&image).drawPixmap(0, 0, pixmap);
    p.drawImage(QRect(x, y, pixmap.width() * factor, pixmap.height() * factor), image);
}

// Three board rows, the rack and the seat list, laid out as the main window places them.
void boardMockup(QPainter& p, int left, int top) {
    const int columnLeft[6] = {248, 198, 149, 99, 50, 0};  // columns 1..6
    const int rows[3][6] = {{19, 1, 20, 0, 0, 0}, {15, 11, 0, 0, 0, 0}, {5, 13, 1, 18, 0, 0}};
    for (int r = 0; r < 3; ++r) {
        const int y = top + r * 48;
        if (r == 2) {
            p.fillRect(QRect(left + columnLeft[3] - 3, y - 3, 51, 50),
                       QColor(pics::kHighlightColour));
        }
        for (int c = 0; c < 6; ++c) {
            if (c <= 3) p.drawPixmap(left + columnLeft[c], y, pics::tile(rows[r][c]));
        }
        p.drawPixmap(left, y + 45, pics::ruleLine(292));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(26);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(0x14, 0x3A, 0x42));
        p.drawText(left + 300, y + 34, QString::number(r + 1));
    }
    const int rackTop = top + 160;
    for (int slot = 0; slot < 6; ++slot) {
        const int code[6] = {20, 5, 14, 3, 15, 22};
        p.drawPixmap(left + slot * 48, rackTop + (slot == 2 ? -16 : 16), pics::tile(code[slot]));
    }
    const QString names[3] = {"You", "Klot", "Anna"};
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    for (int seat = 0; seat < 3; ++seat) {
        const int y = top + 10 + seat * 30;
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(left + 420, y + 15, names[seat]);
        p.drawText(left + 500, y + 15, QString::number(12 + seat * 7));
        if (seat == 1) p.drawPixmap(left + 420 - 55, y - 4 + 4, pics::turnMarker());
        if (seat == 2) p.drawPixmap(left + 540, y + 2, pics::eyes());
    }
    p.drawPixmap(left + 400, top + 130, pics::startButton());
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    tessarin::initPictureResources();
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/assets-sheet.png");

    QImage sheet(1000, 980, QImage::Format_RGB32);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(sheet.rect(), QBrush(pics::background()));

    caption(p, 10, 18, "Tiles (1x)");
    for (int code = 0; code <= 26; ++code)
        p.drawPixmap(10 + (code % 14) * 49, 26 + (code / 14) * 49, pics::tile(code));

    caption(p, 10, 148, "Board mock-up (1x)");
    boardMockup(p, 20, 160);

    caption(p, 10, 418, "Smilies (1x on the chat colour, then 4x)");
    p.fillRect(QRect(10, 426, 18 * 22 + 6, 24), QColor(238, 232, 203));
    for (int i = 0; i < pics::kSmileyCount; ++i) {
        p.drawPixmap(14 + i * 22, 430, pics::smiley(i));
        zoomed(p, 10 + (i % 9) * 74, 458 + (i / 9) * 70, pics::smiley(i), 4, QColor(238, 232, 203));
    }

    caption(p, 10, 616, "Buttons (1x, then 3x)");
    int x = 10;
    for (int n = 0; n <= 9; ++n, x += 30) p.drawPixmap(x, 624, pics::phraseButton(n));
    p.drawPixmap(x, 624, pics::soundButton());
    p.drawPixmap(x + 30, 624, pics::smileyButton());
    p.drawPixmap(x + 60, 618, pics::startButton());
    zoomed(p, 10, 660, pics::phraseButton(1), 3, Qt::white);
    zoomed(p, 94, 660, pics::soundButton(), 3, Qt::white);
    zoomed(p, 178, 660, pics::smileyButton(), 3, Qt::white);
    zoomed(p, 258, 660, pics::turnMarker(), 3, Qt::white);
    zoomed(p, 430, 660, pics::eyes(), 3, Qt::white);
    zoomed(p, 510, 660, pics::tile(17), 2, Qt::white);
    zoomed(p, 610, 660, pics::tile(0), 2, Qt::white);

    caption(p, 10, 748, "Logo, instructions, icon, download banner");
    p.drawPixmap(10, 760, pics::logo());
    p.drawPixmap(200, 760, pics::instructionsPicture());
    p.drawPixmap(420, 760, pics::appIcon());
    p.drawImage(500, 760, QImage(QStringLiteral(":/pictures/download.jpg")));
    zoomed(p, 10, 830, pics::ruleLine(120), 4, Qt::white);
    zoomed(p, 10, 850, pics::background(), 2, Qt::white);
    p.end();

    if (!sheet.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
