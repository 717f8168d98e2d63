// Colours and the font shared by the pictures, so that tiles, buttons and markers read as
// one set. The download banner (tools/make-download-picture) uses the same colours.
#pragma once

#include <QtGui/QColor>
#include <QtGui/QFont>

namespace tessarin::pictures::look {

// Letter tiles: warm ivory with a brown edge and ink.
inline const QColor kIvoryLight{0xFB, 0xF2, 0xD8};
inline const QColor kIvoryDark{0xE6, 0xCC, 0x95};
inline const QColor kTileEdge{0x7A, 0x5A, 0x32};
inline const QColor kGrain{0xA0, 0x78, 0x38};
inline const QColor kInk{0x3A, 0x24, 0x16};

// The board: a light sage linen; empty slots are sunk into it.
inline const QColor kSage{0xD3, 0xD9, 0xC3};
inline const QColor kSlotTop{0xA6, 0xAF, 0x91};
inline const QColor kSlotBottom{0xBE, 0xC6, 0xAA};
inline const QColor kSlotEdge{0x86, 0x90, 0x73};

// Buttons are teal; markers share the terracotta of the last-placed highlight.
inline const QColor kTealLight{0x44, 0x8F, 0x9A};
inline const QColor kTeal{0x2C, 0x68, 0x73};
inline const QColor kTealDark{0x14, 0x3A, 0x42};
inline const QColor kTerracottaLight{0xE8, 0x8A, 0x66};
inline const QColor kTerracotta{0xCB, 0x5F, 0x3B};
inline const QColor kTerracottaDark{0x7E, 0x30, 0x18};

// DejaVu Sans is the one font every install is sure to have.
inline QFont font(qreal pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

}  // namespace tessarin::pictures::look
