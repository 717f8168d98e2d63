#include "helppanel.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "look.h"
#include "pictures.h"

namespace tessarin::board {

HelpPanel::HelpPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("panel_help"));
    setAccessibleName(QStringLiteral("Quick instructions"));

    auto* heading = new QLabel(QStringLiteral("TESSARIN QUICK INSTRUCTIONS"), this);
    heading->setFont(pictures::look::font(22, true));
    heading->setAlignment(Qt::AlignCenter);

    auto* picture = new QLabel(this);
    picture->setPixmap(pictures::instructionsPicture());
    picture->setAlignment(Qt::AlignCenter);
    picture->setAccessibleName(QStringLiteral("A row filled from the right"));

    static const char* const kLines[] = {
        "Players take turns placing a tile in the grid.",
        "Words are formed from LEFT to RIGHT.",
        "The Letters do not have to be in the correct order.",
        "No Letters can be skipped when making words.",
        "But not all Letters have to be used.",
        "The game automatically finds all words that are formed.",
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 24, 40, 24);
    layout->setSpacing(6);
    layout->addStretch();
    layout->addWidget(heading);
    layout->addSpacing(8);
    layout->addWidget(picture);
    layout->addSpacing(8);
    for (const char* line : kLines) {
        auto* label = new QLabel(QString::fromLatin1(line), this);
        label->setFont(pictures::look::font(15, false));
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    layout->addSpacing(24);
    done_ = new QPushButton(QStringLiteral("Done"), this);
    done_->setMinimumWidth(100);
    layout->addWidget(done_, 0, Qt::AlignHCenter);
    layout->addStretch();
    connect(done_, &QPushButton::clicked, this, &QWidget::hide);
}

void HelpPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), pictures::background());
    painter.setPen(QPen(pictures::look::kTeal, 2));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

}  // namespace tessarin::board
