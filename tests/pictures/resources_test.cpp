// The recordings and the download banner as the program finds them: compiled-in
// resources in the formats that QSoundEffect and the libjpeg decoder accept.
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QtEndian>
#include <QtTest/QtTest>

#include <jpeglib.h>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>

#include "picture_resources.h"
#include "sound_resources.h"

namespace {

struct Wave {
    QString error;  // empty when the file parsed
    quint16 format = 0, channels = 0, bits = 0;
    quint32 rate = 0;
    QByteArray samples;
};

// Walks the RIFF chunks of a WAVE file and returns its format and sample bytes.
Wave parseWave(const QByteArray& file) {
    Wave wave;
    const auto u32 = [&](qsizetype at) {
        return qFromLittleEndian<quint32>(file.constData() + at);
    };
    const auto u16 = [&](qsizetype at) {
        return qFromLittleEndian<quint16>(file.constData() + at);
    };
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") {
        wave.error = QStringLiteral("not a RIFF WAVE file");
        return wave;
    }
    if (u32(4) != static_cast<quint32>(file.size() - 8)) {
        wave.error =
            QStringLiteral("RIFF size %1 for a file of %2 bytes").arg(u32(4)).arg(file.size());
        return wave;
    }
    bool haveFormat = false;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const quint32 size = u32(at + 4);
        if (at + 8 + qsizetype(size) > file.size()) {
            wave.error = QStringLiteral("chunk %1 runs past the end").arg(QString::fromLatin1(id));
            return wave;
        }
        if (id == "fmt " && size >= 16) {
            wave.format = u16(at + 8);
            wave.channels = u16(at + 10);
            wave.rate = u32(at + 12);
            wave.bits = u16(at + 22);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) wave.error = QStringLiteral("data before fmt");
            wave.samples = file.mid(at + 8, size);
            return wave;
        }
        at += 8 + size + (size & 1);
    }
    wave.error = QStringLiteral("no data chunk");
    return wave;
}

QList<qint16> samplesOf(const Wave& wave) {
    QList<qint16> samples(wave.samples.size() / 2);
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(wave.samples.constData() + 2 * i);
    return samples;
}

QByteArray readResource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sound name and its rough length in seconds: the game sounds as the game times them,
// the chatter sounds as long as their words or noises take.
const QList<QPair<QString, double>> kSounds{
    {"turn", 0.57},    {"turnnew", 0.43},  {"clickletter", 0.14}, {"clear", 0.29},
    {"invalid", 0.80}, {"goodword", 0.72}, {"badword", 0.25},     {"roundover", 1.00},
    {"winner", 1.06},  {"entered", 0.79},  {"wave1", 0.55},       {"wave2", 0.80},
    {"wave3", 0.60},   {"wave4", 0.80},    {"wave5", 1.30},       {"wave6", 4.20},
    {"wave7", 1.60},   {"wave8", 0.60},    {"wave9", 0.75},       {"wave10", 1.00},
    {"wave11", 0.80},  {"wave12", 0.80},   {"wave13", 4.97},      {"wave14", 0.24},
    {"wave15", 1.00},  {"wave16", 1.20},   {"wave17", 2.40},      {"wave18", 1.80},
    {"wave19", 1.90},  {"wave20", 2.20},
};

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct JpegFacts {
    QString error;
    int width = 0, height = 0, components = 0;
    bool progressive = true;
};

// Reads the whole picture through libjpeg, as the download window does.
JpegFacts decodeJpeg(const QByteArray& bytes) {
    JpegFacts facts;
    jpeg_decompress_struct info{};
    JpegError error{};
    QByteArray row;  // before setjmp: a longjmp must not skip a destructor
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = [](j_common_ptr common) {
        auto* e = reinterpret_cast<JpegError*>(common->err);
        e->manager.format_message(common, e->message);
        std::longjmp(e->jump, 1);
    };
    if (setjmp(error.jump)) {
        facts.error = QString::fromLatin1(error.message);
        jpeg_destroy_decompress(&info);
        return facts;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    facts.progressive = jpeg_has_multiple_scans(&info);
    jpeg_start_decompress(&info);
    facts.width = static_cast<int>(info.output_width);
    facts.height = static_cast<int>(info.output_height);
    facts.components = info.output_components;
    row.resize(facts.width * facts.components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(row.data())};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return facts;
}

}  // namespace

class ResourcesTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void soundIsPlayableWave_data();
    void soundIsPlayableWave();
    void soundSetIsComplete();
    void soundsDistinct();
    void downloadPictureIsBaselineJpeg();
};

void ResourcesTest::initTestCase() {
    tessarin::initSoundResources();
    tessarin::initPictureResources();
}

void ResourcesTest::soundIsPlayableWave_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("seconds");
    for (const auto& [name, seconds] : kSounds) QTest::newRow(qPrintable(name)) << name << seconds;
}

void ResourcesTest::soundIsPlayableWave() {
    QFETCH(QString, name);
    QFETCH(double, seconds);
    const QByteArray file = readResource(":/sounds/" + name + ".wav");
    QVERIFY2(!file.isEmpty(), "resource missing");
    const Wave wave = parseWave(file);
    QVERIFY2(wave.error.isEmpty(), qPrintable(wave.error));
    QCOMPARE(wave.format, quint16(1));  // plain PCM
    QCOMPARE(wave.channels, quint16(1));
    QCOMPARE(wave.rate, quint32(22050));
    QCOMPARE(wave.bits, quint16(16));
    QCOMPARE(wave.samples.size() % 2, 0);

    const QList<qint16> samples = samplesOf(wave);
    const double length = double(samples.size()) / wave.rate;
    QVERIFY2(std::abs(length - seconds) <= std::max(0.03, seconds * 0.15),
             qPrintable(QStringLiteral("%1 s").arg(length)));

    // Loud enough to hear, and ending in quiet rather than a click.
    double peak = 0, energy = 0;
    for (const qint16 s : samples) {
        peak = std::max(peak, std::abs(double(s)));
        energy += double(s) * s;
    }
    const double rms = std::sqrt(energy / samples.size());
    QVERIFY2(peak >= 0.3 * 32768, qPrintable(QStringLiteral("peak %1").arg(peak)));
    QVERIFY2(rms >= 0.03 * 32768, qPrintable(QStringLiteral("rms %1").arg(rms)));
    for (qsizetype i = samples.size() - 8; i < samples.size(); ++i)
        QVERIFY2(std::abs(samples[i]) <= 0.02 * 32768,
                 qPrintable(QStringLiteral("tail %1").arg(samples[i])));
}

// The folder holds exactly the recordings the game asks for: a misspelt alias in the
// resource file would leave one sound silent.
void ResourcesTest::soundSetIsComplete() {
    QStringList expected;
    for (const auto& sound : kSounds) expected.append(sound.first + ".wav");
    QStringList found = QDir(QStringLiteral(":/sounds")).entryList(QDir::Files);
    expected.sort();
    found.sort();
    QCOMPARE(found, expected);
}

void ResourcesTest::soundsDistinct() {
    QHash<QByteArray, QString> seen;
    for (const auto& sound : kSounds) {
        const QByteArray samples =
            parseWave(readResource(":/sounds/" + sound.first + ".wav")).samples;
        QVERIFY2(!seen.contains(samples),
                 qPrintable(sound.first + " repeats " + seen.value(samples)));
        seen.insert(samples, sound.first);
    }
}

void ResourcesTest::downloadPictureIsBaselineJpeg() {
    const QByteArray bytes = readResource(QStringLiteral(":/pictures/download.jpg"));
    QVERIFY2(bytes.startsWith("\xFF\xD8"), "no JPEG start marker");
    const JpegFacts facts = decodeJpeg(bytes);
    QVERIFY2(facts.error.isEmpty(), qPrintable(facts.error));
    QVERIFY(!facts.progressive);
    QCOMPARE(facts.components, 3);
    QCOMPARE(QSize(facts.width, facts.height), QSize(300, 150));
}

QTEST_GUILESS_MAIN(ResourcesTest)
#include "resources_test.moc"
