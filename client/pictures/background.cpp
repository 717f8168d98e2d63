#include <QtGui/QImage>
#include <QtGui/QPainter>

#include <array>
#include <cstdint>

#include "cache.h"
#include "look.h"
#include "pictures.h"

namespace tessarin::pictures {
namespace {

constexpr int kSize = 64;

// A fixed pseudo-random sequence, so the texture is the same on every run.
class Lcg {
  public:
    int next(int range) {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 16) % static_cast<std::uint32_t>(range));
    }

  private:
    std::uint32_t state_ = 0x7e55a21u;
};

// Linen: every thread (row and column) is a shade lighter or darker than its neighbours,
// with a little fleck on top. The offsets belong to whole rows and columns, so the tile's
// edges meet like any two neighbouring threads and the seams do not show.
QImage linen() {
    Lcg random;
    std::array<int, kSize> rows{}, columns{};
    for (int i = 0; i < kSize; ++i) {
        rows[i] = (i % 2 ? 2 : -1) + random.next(5) - 2;
        columns[i] = (i % 2 ? -1 : 1) + random.next(5) - 2;
    }
    QImage image(kSize, kSize, QImage::Format_RGB32);
    const QColor base = look::kSage;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int shade = rows[y] + columns[x] + random.next(3) - 1;
            image.setPixel(
                x, y,
                qRgb(qBound(0, base.red() + shade, 255), qBound(0, base.green() + shade, 255),
                     qBound(0, base.blue() + shade, 255)));
        }
    }
    return image;
}

}  // namespace

QPixmap background() {
    return drawCached(QStringLiteral("background"), QSize(kSize, kSize),
                      [](QPainter& p) { p.drawImage(0, 0, linen()); });
}

}  // namespace tessarin::pictures
