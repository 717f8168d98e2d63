#include "helppanel.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "look.h"
#include "pictures.h"
#include "pictureview.h"

namespace tessarin::board {

namespace {

// Designed text sizes, margins and the width of "Done", in pixels.
constexpr int kHeadingSize = 22;
constexpr int kLineSize = 15;
constexpr int kMarginX = 40;
constexpr int kMarginY = 24;
constexpr int kSpacing = 6;
constexpr int kDoneWidth = 100;

}  // namespace

HelpPanel::HelpPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("panel_help"));
    setAccessibleName(QStringLiteral("Quick instructions"));

    heading_ = new QLabel(QStringLiteral("TESSARIN QUICK INSTRUCTIONS"), this);
    heading_->setAlignment(Qt::AlignCenter);

    picture_ = new PictureView(&pictures::instructionsPicture, this);
    picture_->setAccessibleName(QStringLiteral("A row filled from the right"));

    static const char* const kLines[] = {
        "Players take turns placing a tile in the grid.",
        "Words are formed from LEFT to RIGHT.",
        "The Letters do not have to be in the correct order.",
        "No Letters can be skipped when making words.",
        "But not all Letters have to be used.",
        "The game automatically finds all words that are formed.",
    };
    layout_ = new QVBoxLayout(this);
    layout_->addStretch();
    layout_->addWidget(heading_);
    layout_->addSpacing(8);
    layout_->addWidget(picture_, 0, Qt::AlignHCenter);
    layout_->addSpacing(8);
    for (const char* line : kLines) {
        auto* label = new QLabel(QString::fromLatin1(line), this);
        label->setAlignment(Qt::AlignCenter);
        layout_->addWidget(label);
        lines_.append(label);
    }
    layout_->addSpacing(24);
    done_ = new QPushButton(QStringLiteral("Done"), this);
    donefont_ = done_->font();
    layout_->addWidget(done_, 0, Qt::AlignHCenter);
    layout_->addStretch();
    connect(done_, &QPushButton::clicked, this, &QWidget::hide);
    setscale(1.0);
}

void HelpPanel::setscale(qreal scale) {
    const auto px = [scale](int designed) { return qRound(designed * scale); };
    layout_->setContentsMargins(px(kMarginX), px(kMarginY), px(kMarginX), px(kMarginY));
    layout_->setSpacing(px(kSpacing));
    heading_->setFont(pictures::look::font(kHeadingSize * scale, true));
    picture_->setFixedSize(picture_->sizeHint() * scale);
    for (QLabel* line : std::as_const(lines_))
        line->setFont(pictures::look::font(kLineSize * scale, false));
    QFont done = donefont_;
    done.setPointSizeF(donefont_.pointSizeF() * scale);
    done_->setFont(done);
    done_->setMinimumWidth(px(kDoneWidth));
}

void HelpPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), pictures::background());
    painter.setPen(QPen(pictures::look::kTeal, 2));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

}  // namespace tessarin::board
