// Decodes a JPEG held in memory with libjpeg-turbo. Any damage (a truncated file, corrupt
// data, an unsupported kind of JPEG) is reported as an error text; the decoder never exits
// the program.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace tessarin::forms {

struct DecodedJpeg {
    QImage image;   // null when decoding failed
    QString error;  // empty on success
};

DecodedJpeg decodejpeg(const QByteArray& data);

}  // namespace tessarin::forms
