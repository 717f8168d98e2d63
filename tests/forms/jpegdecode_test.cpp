#include <QFile>
#include <QTest>

// jpeglib.h uses FILE and size_t without including their headers.
#include <jpeglib.h>
#include <cstdio>

#include <cstdlib>
#include <vector>

#include "jpegdecode.h"

using tessarin::forms::decodejpeg;

namespace {

// A baseline JPEG of one flat colour, made with libjpeg's own encoder.
QByteArray encode(int width, int height, QRgb colour, bool grey) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row;
    for (int x = 0; x < width; ++x) {
        if (grey) {
            row.push_back(static_cast<unsigned char>(qGray(colour)));
        } else {
            row.insert(row.end(), {static_cast<unsigned char>(qRed(colour)),
                                   static_cast<unsigned char>(qGreen(colour)),
                                   static_cast<unsigned char>(qBlue(colour))});
        }
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray result(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return result;
}

bool near(QRgb a, QRgb b) {
    return qAbs(qRed(a) - qRed(b)) <= 4 && qAbs(qGreen(a) - qGreen(b)) <= 4 &&
           qAbs(qBlue(a) - qBlue(b)) <= 4;
}

}  // namespace

class JpegDecodeTest : public QObject {
    Q_OBJECT
  private slots:
    void decodesColours_data();
    void decodesColours();
    void decodesShippedPicture();
    void damagedDataIsAnError_data();
    void damagedDataIsAnError();
};

void JpegDecodeTest::decodesColours_data() {
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<bool>("grey");
    QTest::newRow("red") << qRgb(220, 30, 30) << false;
    QTest::newRow("blue") << qRgb(20, 40, 200) << false;
    QTest::newRow("greyscale file") << qRgb(128, 128, 128) << true;
}

void JpegDecodeTest::decodesColours() {
    QFETCH(QRgb, colour);
    QFETCH(bool, grey);
    const auto decoded = decodejpeg(encode(37, 21, colour, grey));
    QCOMPARE(decoded.error, QString());
    QCOMPARE(decoded.image.size(), QSize(37, 21));
    for (const QPoint at : {QPoint(0, 0), QPoint(36, 20), QPoint(18, 10)})
        QVERIFY2(near(decoded.image.pixel(at), colour),
                 qPrintable(QString::number(decoded.image.pixel(at), 16)));
}

void JpegDecodeTest::decodesShippedPicture() {
    QFile file(QStringLiteral(TESSARIN_SOURCE_DIR "/assets/pictures/download.jpg"));
    if (!file.open(QIODevice::ReadOnly)) QSKIP("the download window's picture is not there");
    const auto decoded = decodejpeg(file.readAll());
    QCOMPARE(decoded.error, QString());
    QCOMPARE(decoded.image.size(), QSize(300, 150));
}

void JpegDecodeTest::damagedDataIsAnError_data() {
    const QByteArray good = encode(64, 48, qRgb(10, 160, 90), false);
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a JPEG") << QByteArray("GIF89a not a jpeg at all");
    QTest::newRow("start marker only") << good.left(2);
    QTest::newRow("cut in the headers") << good.left(100);
    QTest::newRow("cut in the picture data") << good.left(good.size() / 2);
    QTest::newRow("end marker missing") << good.left(good.size() - 2);
    QByteArray badFrame = good;
    const qsizetype frame = badFrame.indexOf("\xFF\xC0");
    badFrame[frame + 4] = 12;  // 12-bit samples: not what this libjpeg decodes
    QTest::newRow("unsupported precision") << badFrame;
}

void JpegDecodeTest::damagedDataIsAnError() {
    QFETCH(QByteArray, data);
    const auto decoded = decodejpeg(data);
    QVERIFY(decoded.image.isNull());
    QVERIFY(!decoded.error.isEmpty());
}

QTEST_MAIN(JpegDecodeTest)
#include "jpegdecode_test.moc"
