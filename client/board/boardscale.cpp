#include "boardscale.h"

#include <QWidget>
#include <algorithm>

#include "boardlayout.h"

namespace tessarin::board {

BoardFit fitboard(QSize client, QSize defaultClient) {
    if (defaultClient.isEmpty()) return {1.0, QSize(layout::kPanelWidth, layout::kPanelHeight)};
    const qreal scale = std::max(1.0, std::min(qreal(client.width()) / defaultClient.width(),
                                               qreal(client.height()) / defaultClient.height()));
    const int extraWidth = std::max(0, client.width() - qRound(defaultClient.width() * scale));
    const int extraHeight = std::max(0, client.height() - qRound(defaultClient.height() * scale));
    return {scale, QSize(qRound(layout::kPanelWidth * scale) + extraWidth,
                         qRound(layout::kPanelHeight * scale) + extraHeight)};
}

QRect scaled(const QRect& designed, qreal scale) {
    const int left = qRound(designed.x() * scale);
    const int top = qRound(designed.y() * scale);
    return QRect(left, top, qRound((designed.x() + designed.width()) * scale) - left,
                 qRound((designed.y() + designed.height()) * scale) - top);
}

void ScaledParts::add(QWidget* part) {
    parts_.insert(part, {part, part->geometry(), part->font()});
}

void ScaledParts::place(QWidget* part, const QRect& designed) {
    auto found = parts_.find(part);
    if (found == parts_.end()) found = parts_.insert(part, {part, designed, part->font()});
    found->rect = designed;
    part->setGeometry(scaled(designed, scale_));
}

QRect ScaledParts::designed(const QWidget* part) const {
    const auto found = parts_.constFind(part);
    return found != parts_.constEnd() ? found->rect : part->geometry();
}

void ScaledParts::setscale(qreal scale) {
    scale_ = scale;
    for (const Part& part : std::as_const(parts_)) apply(part);
}

void ScaledParts::apply(const Part& part) const {
    if (!part.widget) return;
    part.widget->setGeometry(scaled(part.rect, scale_));
    QFont font = part.font;
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, qRound(font.pixelSize() * scale_)));
    else
        font.setPointSizeF(font.pointSizeF() * scale_);
    part.widget->setFont(font);
}

}  // namespace tessarin::board
