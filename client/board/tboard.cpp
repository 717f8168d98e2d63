#include "tboard.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>

#include "boardaccessible.h"
#include "boardgrid.h"
#include "boardlayout.h"
#include "boardtext.h"
#include "elidedlabel.h"
#include "helppanel.h"
#include "look.h"
#include "picturebutton.h"
#include "pictures.h"
#include "pictureview.h"
#include "tilecell.h"

namespace tessarin::board {

namespace look = pictures::look;
using namespace layout;

namespace {

QLabel* makelabel(QWidget* parent, const QString& text, const QFont& font, const QRect& where) {
    auto* label = new QLabel(text, parent);
    // Names come from other players: never let one be read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setGeometry(where);
    return label;
}

void setcolour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// Rule pictures run under the cells and the row number.
constexpr int kRuleLeft = 127;
constexpr int kRuleWidth = kRowNumberLeft + 36 - kRuleLeft;

// The logo on the board is drawn narrower than the about window's.
constexpr int kLogoWidth = kSideWidth - 2;

QPixmap boardlogo(qreal ratio) {
    const qreal designed = pictures::logo().deviceIndependentSize().width();
    QPixmap logo = pictures::logo(ratio * kLogoWidth / designed);
    logo.setDevicePixelRatio(ratio);
    return logo;
}

}  // namespace

TBoard::TBoard(BoardHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    installaccessibility();
    setObjectName(QStringLiteral("panel_board"));
    setAccessibleName(QStringLiteral("Game board"));
    resize(kPanelWidth, kPanelHeight);
    setFocusPolicy(Qt::StrongFocus);
    setcolour(this, QPalette::WindowText, look::kInk);

    buildboard();
    buildrack();
    buildseats();
    buildside();
    buildpanels();
    // Tab follows the window: the side strip top to bottom, then the cells; the chat, made
    // after the board, comes next.
    setFocusProxy(parts_.grid);
    setTabOrder(parts_.logo, parts_.listbox_words);
    setTabOrder(parts_.listbox_words, parts_.button_start);
    setTabOrder(parts_.button_start, parts_.grid);
    setstatus(parts_.label_status->text());
    // Everything placed so far is the designed layout; the help panel lays itself out.
    for (QWidget* part : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (part != parts_.panel_help) scaled_.add(part);
    for (QWidget* part : parts_.panel_winner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        scaled_.add(part);
    clearall();
}

void TBoard::buildboard() {
    // Created first so that it stays behind the cells it frames.
    auto* highlite = new QWidget(this);
    highlite->setObjectName(QStringLiteral("shape_highlite"));
    highlite->setGeometry(0, 0, kHighlightWidth, kHighlightHeight);
    highlite->setAutoFillBackground(true);
    setcolour(highlite, QPalette::Window, QColor(pictures::kHighlightColour));
    highlite->hide();
    parts_.shape_highlite = highlite;

    // Made before the cells, so that it stands behind them and exists whenever they are
    // asked about; it covers them exactly.
    auto* grid = new BoardGrid(parts_.word, this);
    grid->setGeometry(kColumnLeft[kColumns], kRowTop[1],
                      kColumnLeft[1] + kCellSize - kColumnLeft[kColumns],
                      kRowTop[kRows] + kCellSize - kRowTop[1]);
    connect(grid, &BoardGrid::focuschanged, this, qOverload<>(&QWidget::update));
    parts_.grid = grid;

    for (int row = 1; row <= kRows; ++row) {
        for (int column = 1; column <= kColumns; ++column) {
            auto* cell = new TileCell(QStringLiteral("word_%1%2").arg(row).arg(column),
                                      QStringLiteral("Word %1, place %2 from the left")
                                          .arg(row)
                                          .arg(BoardGrid::columnofplace(column)),
                                      this);
            cell->move(kColumnLeft[column], kRowTop[row]);
            cell->setCellid(QStringLiteral("%1%2").arg(row).arg(column));
            connect(cell, &TileCell::released, this, [this, row, column](Qt::MouseButton b) {
                keyboardplay_ = false;
                if (b == Qt::LeftButton) word_11Click(row, column);
            });
            parts_.word[row][column] = cell;
        }
        auto* number = makelabel(this, QString::number(row), look::font(30, true),
                                 QRect(kRowNumberLeft, kRowTop[row], 36, kCellSize));
        number->setAlignment(Qt::AlignCenter);
        number->setAccessibleName(QStringLiteral("Word %1").arg(row));
        setcolour(number, QPalette::WindowText, look::kTeal);
        parts_.rownumber[row] = number;
    }
}

void TBoard::buildrack() {
    for (int slot = 1; slot <= kSlots; ++slot) {
        auto* tile = new TileCell(QStringLiteral("tile_%1").arg(slot),
                                  QStringLiteral("Rack tile %1").arg(slot), this);
        tile->move(kTileLeft[slot], kRestTop);
        tile->setCode(0);
        tile->setCursor(Qt::PointingHandCursor);
        connect(tile, &TileCell::released, this, [this, slot] {
            keyboardplay_ = false;
            tile_1MouseUp(slot);
        });
        parts_.tile[slot] = tile;
    }
    auto* keys = makelabel(this,
                           QStringLiteral("1 \u2013 6  pick a tile\n\u2190\u2191\u2192\u2193  "
                                          "choose a word\nEnter  place it\nF2  start a game\n"
                                          "Esc  leave the chat"),
                           look::font(8, false), QRect(kSideLeft + 4, 336, kSideWidth - 4, 52));
    keys->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setcolour(keys, QPalette::WindowText, look::kTealDark);
    // The same list in words, as a screen reader would not read the arrows.
    keys->setAccessibleName(
        QStringLiteral("Keys: 1 to 6 pick up a tile; the arrow keys move over the board; Enter "
                       "places the tile in that word; F2 starts a game; Escape leaves the chat."));
    parts_.label_keys = keys;
}

void TBoard::buildseats() {
    for (int seat = 1; seat <= kSeats; ++seat) {
        const int top = kSeatTop[seat];
        auto* name = new ElidedLabel(kWaiting, this);
        name->setFont(look::font(11, true));
        name->setGeometry(kNameLeft, top, kNameWidth, kNameHeight);
        name->setProperty("hint", fromwire(proto::computerName(seat)));
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QLabel::customContextMenuRequested, this, [this, seat, name](QPoint at) {
            emit seatmenurequested(seat, name->mapToGlobal(at));
        });
        parts_.label_playername[seat] = name;

        const int scoretop = top + kScoreTop;
        auto* eyes = new PictureView(&pictures::eyes, this);
        eyes->move(kNameLeft - 28, scoretop + 2);
        eyes->setAccessibleName(QStringLiteral("Seat %1 is just watching").arg(seat));
        eyes->setToolTip(QStringLiteral("Just watching"));
        eyes->hide();
        parts_.image_eyes[seat] = eyes;

        auto* score = makelabel(this, QStringLiteral("0"), look::font(15, true),
                                QRect(kNameLeft, scoretop, 20, kScoreHeight));
        parts_.label_score[seat] = score;

        auto* bonus =
            makelabel(this, QString(), look::font(11, true), QRect(0, scoretop, 30, kScoreHeight));
        setcolour(bonus, QPalette::WindowText, look::kTerracotta);
        parts_.label_bonus[seat] = bonus;
    }
    auto* marker = new PictureView(&pictures::turnMarker, this);
    marker->setObjectName(QStringLiteral("image_Turn"));
    marker->hide();
    parts_.image_Turn = marker;
}

void TBoard::buildside() {
    auto* logo = new PictureButton(&boardlogo, QStringLiteral("Tessarin web page"), this);
    logo->move(kSideLeft + 1, 4);
    connect(logo, &QAbstractButton::clicked, this, &TBoard::logoclicked);
    parts_.logo = logo;

    auto* round = makelabel(this, roundcaption(0, 0), look::font(12, true),
                            QRect(kSideLeft, 40, kSideWidth, 18));
    round->setAlignment(Qt::AlignCenter);
    parts_.label_roundnum = round;

    auto* words = new QListWidget(this);
    words->setGeometry(kSideLeft, 190, kSideWidth, 88);
    words->setFont(look::font(12, false));
    words->setStyleSheet(
        QStringLiteral("QListWidget { background: #FBF7EA; color: #3A2416;"
                       " border: 1px solid #869073; border-radius: 4px; padding: 1px 4px; }"));
    words->setFocusPolicy(Qt::TabFocus);
    words->setSelectionMode(QAbstractItemView::NoSelection);
    words->setObjectName(QStringLiteral("listbox_words"));
    words->setAccessibleName(QStringLiteral("Words found"));
    words->verticalScrollBar()->setAccessibleName(QStringLiteral("Words found, scroll bar"));
    words->horizontalScrollBar()->setAccessibleName(
        QStringLiteral("Words found, scroll bar left to right"));
    parts_.listbox_words = words;
    // Always in sight, however long the list grows; as wide as the strip up to the cells,
    // so that "12 words / 48 points" fits.
    auto* summary = makelabel(this, QString(), look::font(10, true),
                              QRect(0, 279, kColumnLeft[kColumns] - 3, 19));
    summary->setAlignment(Qt::AlignCenter);
    setcolour(summary, QPalette::WindowText, look::kTealDark);
    parts_.label_wordsummary = summary;

    auto* start = new PictureButton(&pictures::startButton, QStringLiteral("Start Game"), this);
    start->move(kSideLeft + (kSideWidth - start->width()) / 2, 302);
    connect(start, &QAbstractButton::clicked, this, &TBoard::button_startClick);
    parts_.button_start = start;

    auto* status = new ElidedLabel(QStringLiteral("Welcome to Tessarin"), this);
    status->setFont(look::font(13, true));
    status->setGeometry(kSideLeft, kStatusTop, kStatusRight - kSideLeft, 20);
    status->setAlignment(Qt::AlignCenter);
    setcolour(status, QPalette::WindowText, look::kTealDark);
    parts_.label_status = status;
}

void TBoard::buildpanels() {
    auto* wait = makelabel(this, QStringLiteral("Please Wait Until Next Round..."),
                           look::font(15, true), QRect());
    wait->setObjectName(QStringLiteral("panel_pleasewait"));
    wait->setGeometry(kTileLeft[1] - 6, kRaisedTop - 4, 6 * 48 + 8, kRestTop - kRaisedTop + 56);
    wait->setAlignment(Qt::AlignCenter);
    wait->setStyleSheet(
        QStringLiteral("#panel_pleasewait { background: #F4EEDC; color: #143A42;"
                       " border: 2px solid #2C6873; border-radius: 8px; }"));
    wait->hide();
    parts_.panel_pleasewait = wait;

    auto* winner = new QWidget(this);
    winner->setObjectName(QStringLiteral("panel_winner"));
    winner->setAttribute(Qt::WA_StyledBackground);
    // Centred on the cells.
    const QPoint centre((kColumnLeft[kColumns] + kColumnLeft[1] + kCellSize) / 2,
                        (kRowTop[1] + kRowTop[kRows] + kCellSize) / 2);
    winner->setGeometry(centre.x() - 130, centre.y() - 62, 260, 124);
    winner->setStyleSheet(
        QStringLiteral("#panel_winner { background: #FBF2D8;"
                       " border: 3px solid #CB5F3B; border-radius: 12px; }"));
    // It takes the keyboard when it shows, so that a screen reader reads it at once.
    winner->setFocusPolicy(Qt::StrongFocus);
    auto* title = makelabel(winner, QStringLiteral("THE WINNER!"), look::font(24, true),
                            QRect(0, 12, 260, 36));
    title->setAlignment(Qt::AlignCenter);
    setcolour(title, QPalette::WindowText, look::kTerracotta);
    auto* name = new ElidedLabel(QString(), winner);
    name->setFont(look::font(22, true));
    name->setGeometry(8, 50, 244, 36);
    setcolour(name, QPalette::WindowText, look::kTealDark);
    name->setAlignment(Qt::AlignCenter);
    auto* scores = new ElidedLabel(QString(), winner);
    scores->setFont(look::font(11, true));
    scores->setGeometry(8, 90, 244, 20);
    setcolour(scores, QPalette::WindowText, look::kTealDark);
    scores->setAlignment(Qt::AlignCenter);
    winner->hide();
    parts_.panel_winner = winner;
    parts_.label_winner1 = name;
    parts_.label_winnerscores = scores;

    auto* help = new HelpPanel(this);
    help->setGeometry(rect());
    help->hide();
    parts_.panel_help = help;
}

void TBoard::showhelp() {
    parts_.panel_help->show();
    parts_.panel_help->raise();
}

void TBoard::fit(qreal scale, QSize panel) {
    scaled_.setscale(scale);
    resize(panel);
    parts_.panel_help->setGeometry(rect());
    parts_.panel_help->setscale(scale);
    for (int seat = 1; seat <= kSeats; ++seat) fitscore(seat);
    update();
}

QRect TBoard::chatarea() const {
    const int left = qRound(kChatLeft * scale());
    return QRect(left, 0, width() - left, height());
}

void TBoard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), pictures::background());
    // Each picture is drawn at the size its place has at this scale, pixel for pixel.
    const qreal scale = this->scale();
    const qreal density = devicePixelRatioF();
    for (int row = 1; row <= kRows; ++row) {
        const QRect rule =
            scaled(QRect(kRuleLeft, kRowTop[row] + kCellSize + kRuleGap, kRuleWidth, 2), scale);
        painter.drawPixmap(rule,
                           pictures::ruleLine(kRuleWidth, rule.width() * density / kRuleWidth));
    }

    // Faint slots show the whole grid, so columns not yet opened read as "still to come".
    painter.setOpacity(0.35);
    for (int row = 1; row <= kRows; ++row) {
        for (int column = 1; column <= kColumns; ++column) {
            const QRect slot =
                scaled(QRect(kColumnLeft[column], kRowTop[row], kCellSize, kCellSize), scale);
            painter.drawPixmap(slot, pictures::tile(0, slot.width() * density / kCellSize));
        }
    }
    painter.setOpacity(1.0);

    if (!parts_.grid->hasFocus()) return;
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    // The keys' cursor.
    const int row = parts_.grid->cursorrow();
    const int column = BoardGrid::columnofplace(parts_.grid->cursorplace());
    painter.setPen(QPen(look::kTealDark, 2, Qt::DashLine));
    painter.drawRoundedRect(
        QRectF(kColumnLeft[column] - 2, kRowTop[row] - 2, kCellSize + 4, kCellSize + 4), 5, 5);
    // Where Enter would place the picked-up tile, for a player using the keys.
    if (keyboardplay_ && myturn() && selectedtile_ != 0) {
        painter.setPen(QPen(look::kTerracotta, 2));
        const QRectF word(kColumnLeft[kColumns] - 5, kRowTop[row] - 3,
                          kRowNumberLeft + 40 - kColumnLeft[kColumns], kCellSize + 6);
        painter.drawRoundedRect(word, 6, 6);
    }
}

}  // namespace tessarin::board
