#include "tgamestart.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "boardhost.h"
#include "look.h"
#include "picturebutton.h"
#include "pictures.h"
#include "protocol.h"

namespace tessarin::board {

Tgamestart::Tgamestart(BoardHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), host_(host) {
    setWindowTitle(QStringLiteral("Tessarin - Game Start"));
    setModal(false);

    auto* heading = new QLabel(QStringLiteral("Game Option"), this);
    heading->setFont(pictures::look::font(20, true));
    heading->setAlignment(Qt::AlignCenter);

    auto* caption = new QLabel(QStringLiteral("Rounds per Game"), this);
    caption->setFont(pictures::look::font(14, false));

    // The number can only be stepped, never typed.
    playtoscore_ = new QSpinBox(this);
    playtoscore_->setObjectName(QStringLiteral("edit_playtoscore"));
    playtoscore_->setRange(1, 5);
    playtoscore_->setValue(1);
    playtoscore_->setWrapping(false);
    playtoscore_->findChild<QLineEdit*>()->setReadOnly(true);
    playtoscore_->setFont(pictures::look::font(15, true));
    playtoscore_->setFixedWidth(64);
    playtoscore_->setAccessibleName(QStringLiteral("Rounds per Game"));
    connect(playtoscore_, &QSpinBox::valueChanged, this, [this] { chosen_ = true; });
    caption->setBuddy(playtoscore_);

    // Changed in the main window's Options; shown here so the host sees it before starting.
    strength_ = new QLabel(this);
    strength_->setObjectName(QStringLiteral("label_strength"));
    strength_->setFont(pictures::look::font(12, false));
    strength_->setAlignment(Qt::AlignCenter);
    setstrength(QStringLiteral("Normal"));

    start_ = new PictureButton(&pictures::startButton, QStringLiteral("Start Game"), this);
    connect(start_, &QAbstractButton::clicked, this, &Tgamestart::button_startClick);

    auto* rounds = new QHBoxLayout;
    rounds->addStretch();
    rounds->addWidget(caption);
    rounds->addSpacing(10);
    rounds->addWidget(playtoscore_);
    rounds->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 20, 28, 20);
    layout->setSpacing(14);
    layout->addWidget(heading);
    layout->addLayout(rounds);
    layout->addWidget(strength_);
    layout->addWidget(start_, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int Tgamestart::rounds() const {
    return playtoscore_->value();
}

void Tgamestart::setrounds(int rounds) {
    const QSignalBlocker fromsettings(playtoscore_);
    playtoscore_->setValue(rounds);
}

void Tgamestart::setstrength(const QString& name) {
    strength_->setText(QStringLiteral("Klot plays %1.").arg(name));
}

void Tgamestart::button_startClick() {
    // A 0xFF in the name would cut the message short.
    // Cleaned as the server cleans login names: a '+' would split the request's fields.
    const std::string name = proto::cleanName(host_.playername().toLatin1().toStdString());
    host_.send(proto::request::startgame(name, playtoscore_->text().toStdString()));
    chosen_ = true;
    hide();
    host_.saveinifile();
}

void Tgamestart::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        start_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tgamestart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), pictures::background());
}

}  // namespace tessarin::board
