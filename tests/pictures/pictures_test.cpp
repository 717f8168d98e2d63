// The drawn pictures: sizes the windows rely on, families whose members must be told
// apart, letters that can be read, and a background that stays out of the way.
#include <QtGui/QImage>
#include <QtGui/QPixmapCache>
#include <QtTest/QtTest>

#include <algorithm>
#include <cmath>

#include "pictures.h"

namespace pics = tessarin::pictures;

namespace {

QString letterName(int code) {
    return code == 0 ? QStringLiteral("blank") : QString(QChar(u'A' + code - 1));
}

// Relative luminance as WCAG defines it, 0 (black) to 1 (white).
double luminance(QRgb rgb) {
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
           0.0722 * channel(qBlue(rgb));
}

int grey(QRgb rgb) {
    return qGray(rgb);
}

QImage imageOf(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

struct Named {
    QString name;
    QPixmap pixmap;
};

QList<Named> everyPicture() {
    QList<Named> all;
    for (int code = 0; code <= 26; ++code)
        all.append({"tile " + letterName(code), pics::tile(code)});
    for (int i = 0; i < pics::kSmileyCount; ++i)
        all.append({QStringLiteral("smiley %1").arg(i), pics::smiley(i)});
    for (int n = 0; n <= 9; ++n)
        all.append({QStringLiteral("phrase button %1").arg(n), pics::phraseButton(n)});
    all.append({"turn marker", pics::turnMarker()});
    all.append({"eyes", pics::eyes()});
    all.append({"rule 300", pics::ruleLine(300)});
    all.append({"background", pics::background()});
    all.append({"sound button", pics::soundButton()});
    all.append({"smiley button", pics::smileyButton()});
    all.append({"start button", pics::startButton()});
    all.append({"logo", pics::logo()});
    all.append({"instructions", pics::instructionsPicture()});
    all.append({"icon", pics::appIcon()});
    return all;
}

}  // namespace

class PicturesTest : public QObject {
    Q_OBJECT

  private slots:
    void sizes_data();
    void sizes();
    void outOfRangeIsNull_data();
    void outOfRangeIsNull();
    void visibleContent_data();
    void visibleContent();
    void familyMembersDistinct_data();
    void familyMembersDistinct();
    void lettersReadableAndCentred_data();
    void lettersReadableAndCentred();
    void blankTileHasNoLetter();
    void smiliesBlendIntoChat();
    void turnMarkerPointsRight();
    void ruleLineIsAGroove();
    void backgroundKeepsTextReadable();
    void backgroundIsSeamless();
    void cachedAndRedrawnAlike();
    void samePictureAtAnyRatio_data();
    void samePictureAtAnyRatio();
};

void PicturesTest::sizes_data() {
    QTest::addColumn<QPixmap>("pixmap");
    QTest::addColumn<QSize>("expected");
    for (int code = 0; code <= 26; ++code)
        QTest::newRow(qPrintable("tile " + letterName(code))) << pics::tile(code) << QSize(44, 44);
    for (int i = 0; i < pics::kSmileyCount; ++i)
        QTest::addRow("smiley %d", i) << pics::smiley(i) << QSize(17, 16);
    for (int n = 0; n <= 9; ++n)
        QTest::addRow("phrase button %d", n) << pics::phraseButton(n) << QSize(26, 22);
    QTest::newRow("turn marker") << pics::turnMarker() << QSize(54, 21);
    QTest::newRow("eyes") << pics::eyes() << QSize(24, 16);
    QTest::newRow("rule 1") << pics::ruleLine(1) << QSize(1, 2);
    QTest::newRow("rule 292") << pics::ruleLine(292) << QSize(292, 2);
    QTest::newRow("background") << pics::background() << QSize(64, 64);
    QTest::newRow("sound button") << pics::soundButton() << QSize(26, 22);
    QTest::newRow("smiley button") << pics::smileyButton() << QSize(24, 22);
    QTest::newRow("start button") << pics::startButton() << QSize(120, 34);
    QTest::newRow("logo") << pics::logo() << QSize(176, 44);
    QTest::newRow("instructions") << pics::instructionsPicture() << QSize(200, 64);
    QTest::newRow("icon") << pics::appIcon() << QSize(64, 64);
}

void PicturesTest::sizes() {
    QFETCH(QPixmap, pixmap);
    QFETCH(QSize, expected);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), expected);
    QCOMPARE(pixmap.devicePixelRatio(), 1.0);
}

void PicturesTest::outOfRangeIsNull_data() {
    QTest::addColumn<QPixmap>("pixmap");
    QTest::newRow("tile -1") << pics::tile(-1);
    QTest::newRow("tile 27") << pics::tile(27);
    QTest::newRow("smiley -1") << pics::smiley(-1);
    QTest::newRow("smiley 18") << pics::smiley(18);
    QTest::newRow("phrase button -1") << pics::phraseButton(-1);
    QTest::newRow("phrase button 10") << pics::phraseButton(10);
    QTest::newRow("rule 0") << pics::ruleLine(0);
}

void PicturesTest::outOfRangeIsNull() {
    QFETCH(QPixmap, pixmap);
    QVERIFY(pixmap.isNull());
}

// A picture that failed to draw is transparent or one flat colour.
void PicturesTest::visibleContent_data() {
    QTest::addColumn<QPixmap>("pixmap");
    for (const Named& picture : everyPicture())
        QTest::newRow(qPrintable(picture.name)) << picture.pixmap;
}

void PicturesTest::visibleContent() {
    QFETCH(QPixmap, pixmap);
    const QImage image = imageOf(pixmap);
    int visible = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) > 0) ++visible;
            colours.insert(pixel);
        }
    }
    const int area = image.width() * image.height();
    QVERIFY2(visible * 10 >= area * 3,
             qPrintable(QStringLiteral("%1 of %2 visible").arg(visible).arg(area)));
    QVERIFY2(colours.size() >= 8, qPrintable(QStringLiteral("%1 colours").arg(colours.size())));
}

void PicturesTest::familyMembersDistinct_data() {
    QTest::addColumn<QList<QImage>>("members");
    QList<QImage> tiles, smilies, buttons;
    for (int code = 0; code <= 26; ++code) tiles.append(imageOf(pics::tile(code)));
    for (int i = 0; i < pics::kSmileyCount; ++i) smilies.append(imageOf(pics::smiley(i)));
    for (int n = 0; n <= 9; ++n) buttons.append(imageOf(pics::phraseButton(n)));
    buttons.append(imageOf(pics::soundButton()));
    QTest::newRow("tiles") << tiles;
    QTest::newRow("smilies") << smilies;
    QTest::newRow("phrase and sound buttons") << buttons;
}

// Members must differ clearly, not in a stray pixel: at least 4% of their pixels.
void PicturesTest::familyMembersDistinct() {
    QFETCH(QList<QImage>, members);
    for (int a = 0; a < members.size(); ++a) {
        for (int b = a + 1; b < members.size(); ++b) {
            QCOMPARE(members[a].size(), members[b].size());
            int differing = 0;
            for (int y = 0; y < members[a].height(); ++y)
                for (int x = 0; x < members[a].width(); ++x)
                    if (members[a].pixel(x, y) != members[b].pixel(x, y)) ++differing;
            const int area = members[a].width() * members[a].height();
            QVERIFY2(differing * 25 >= area,
                     qPrintable(QStringLiteral("members %1 and %2 differ in %3 pixels")
                                    .arg(a)
                                    .arg(b)
                                    .arg(differing)));
        }
    }
}

void PicturesTest::lettersReadableAndCentred_data() {
    QTest::addColumn<int>("code");
    for (int code = 1; code <= 26; ++code) QTest::newRow(qPrintable(letterName(code))) << code;
}

// The letter is dark ink on a light face, large, and in the middle of the tile.
void PicturesTest::lettersReadableAndCentred() {
    QFETCH(int, code);
    const QImage image = imageOf(pics::tile(code));
    int ink = 0;
    QRect box;
    double face = 0;
    int faceCount = 0;
    // Stay clear of the tile's dark edge.
    for (int y = 4; y < 40; ++y) {
        for (int x = 4; x < 40; ++x) {
            const QRgb pixel = image.pixel(x, y);
            QCOMPARE(qAlpha(pixel), 255);
            if (grey(pixel) < 90) {
                ++ink;
                box |= QRect(x, y, 1, 1);
            } else if (grey(pixel) > 180) {
                face += luminance(pixel);
                ++faceCount;
            }
        }
    }
    QVERIFY2(ink >= 60, qPrintable(QStringLiteral("%1 ink pixels").arg(ink)));
    QVERIFY(faceCount > 0);
    QVERIFY2(box.height() >= 18, qPrintable(QStringLiteral("letter %1 px tall").arg(box.height())));
    QVERIFY2(std::abs(box.center().x() + 0.5 - 22) <= 2.5 &&
                 std::abs(box.center().y() + 0.5 - 22) <= 2.5,
             qPrintable(QStringLiteral("letter box %1,%2 %3x%4")
                            .arg(box.x())
                            .arg(box.y())
                            .arg(box.width())
                            .arg(box.height())));
    // Ink against the face: the contrast ratio of body text in good print.
    const double contrast = (face / faceCount + 0.05) / (luminance(qRgb(0x3A, 0x24, 0x16)) + 0.05);
    QVERIFY2(contrast >= 7.0, qPrintable(QString::number(contrast)));
}

void PicturesTest::blankTileHasNoLetter() {
    const QImage blank = imageOf(pics::tile(0));
    const QImage letter = imageOf(pics::tile(1));
    int blankInk = 0;
    for (int y = 6; y < 38; ++y)
        for (int x = 6; x < 38; ++x)
            if (grey(blank.pixel(x, y)) < 90) ++blankInk;
    QCOMPARE(blankInk, 0);
    // An empty slot is sunk into the board: darker than a tile's face.
    QVERIFY(grey(blank.pixel(22, 8)) + 30 < grey(letter.pixel(22, 8)));
}

// Smilies sit inline in the chat's text: their corners show the chat's own background.
void PicturesTest::smiliesBlendIntoChat() {
    for (int i = 0; i < pics::kSmileyCount; ++i) {
        const QImage image = imageOf(pics::smiley(i));
        QCOMPARE(qAlpha(image.pixel(0, 15)), 0);
        QCOMPARE(qAlpha(image.pixel(16, 15)), 0);
        QCOMPARE(qAlpha(image.pixel(8, 9)), 255);
    }
}

void PicturesTest::turnMarkerPointsRight() {
    const QImage image = imageOf(pics::turnMarker());
    QList<int> height(image.width());
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qAlpha(image.pixel(x, y)) >= 200) ++height[x];
    const auto tallest = std::max_element(height.begin(), height.end()) - height.begin();
    int last = image.width() - 1;
    while (last > 0 && height[last] == 0) --last;
    QVERIFY2(tallest > image.width() / 2, qPrintable(QString::number(tallest)));
    QVERIFY2(last >= image.width() - 6, qPrintable(QString::number(last)));
    QVERIFY2(height[last] <= 3, qPrintable(QString::number(height[last])));
    // The shaft, left of the head, is clearly narrower than the head.
    QVERIFY(height[10] > 0 && height[10] * 2 <= height[tallest]);
}

void PicturesTest::ruleLineIsAGroove() {
    const QImage image = imageOf(pics::ruleLine(200));
    const QRgb shadow = image.pixel(100, 0);
    const QRgb light = image.pixel(100, 1);
    QVERIFY(qAlpha(shadow) > 0 && qAlpha(light) > 0);
    QVERIFY(grey(shadow) + 60 < grey(light));
    QVERIFY(qAlpha(image.pixel(0, 0)) < qAlpha(shadow));
    QVERIFY(qAlpha(image.pixel(199, 1)) < qAlpha(light));
}

void PicturesTest::backgroundKeepsTextReadable() {
    const QImage image = imageOf(pics::background());
    double darkest = 1, lightest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QCOMPARE(qAlpha(image.pixel(x, y)), 255);
            darkest = std::min(darkest, luminance(image.pixel(x, y)));
            lightest = std::max(lightest, luminance(image.pixel(x, y)));
        }
    }
    // Black text against the darkest spot keeps a contrast ratio of at least 10:1, and
    // the texture stays faint (WCAG contrast between its extremes below 1.25).
    QVERIFY2((darkest + 0.05) / 0.05 >= 10, qPrintable(QString::number(darkest)));
    QVERIFY2((lightest + 0.05) / (darkest + 0.05) < 1.25,
             qPrintable(QStringLiteral("%1..%2").arg(darkest).arg(lightest)));
}

// Tiled, the last column meets the first and the last row the first: those seams must
// differ no more than the texture's own neighbouring threads do.
void PicturesTest::backgroundIsSeamless() {
    const QImage image = imageOf(pics::background());
    const int n = image.width();
    const auto columnGap = [&](int a, int b) {
        double sum = 0;
        for (int y = 0; y < n; ++y)
            sum += std::abs(grey(image.pixel(a, y)) - grey(image.pixel(b, y)));
        return sum / n;
    };
    const auto rowGap = [&](int a, int b) {
        double sum = 0;
        for (int x = 0; x < n; ++x)
            sum += std::abs(grey(image.pixel(x, a)) - grey(image.pixel(x, b)));
        return sum / n;
    };
    double widestColumnGap = 0, widestRowGap = 0;
    for (int i = 0; i + 1 < n; ++i) {
        widestColumnGap = std::max(widestColumnGap, columnGap(i, i + 1));
        widestRowGap = std::max(widestRowGap, rowGap(i, i + 1));
    }
    QVERIFY(columnGap(n - 1, 0) <= widestColumnGap);
    QVERIFY(rowGap(n - 1, 0) <= widestRowGap);
}

// Served from the cache while it holds them; drawn identically once it has let them go.
void PicturesTest::cachedAndRedrawnAlike() {
    const QPixmap first = pics::tile(7);
    QCOMPARE(pics::tile(7).cacheKey(), first.cacheKey());
    const QList<QImage> before{imageOf(first), imageOf(pics::smiley(3)),
                               imageOf(pics::background())};
    QPixmapCache::clear();
    const QList<QImage> after{imageOf(pics::tile(7)), imageOf(pics::smiley(3)),
                              imageOf(pics::background())};
    QCOMPARE(after, before);
}

// A grown board or a dense screen asks for more (or fewer) pixels of the same picture.
void PicturesTest::samePictureAtAnyRatio_data() {
    QTest::addColumn<QPixmap>("designed");
    QTest::addColumn<QPixmap>("drawn");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("tile A at 2.5") << pics::tile(1) << pics::tile(1, 2.5) << 2.5;
    QTest::newRow("turn marker at 2") << pics::turnMarker() << pics::turnMarker(2) << 2.0;
    QTest::newRow("logo at 0.5") << pics::logo() << pics::logo(0.5) << 0.5;
}

void PicturesTest::samePictureAtAnyRatio() {
    QFETCH(QPixmap, designed);
    QFETCH(QPixmap, drawn);
    QFETCH(qreal, ratio);
    QCOMPARE(drawn.devicePixelRatio(), ratio);
    QCOMPARE(drawn.size(), (QSizeF(designed.size()) * ratio).toSize());
    // At the smaller of the two sizes, it is the designed picture give or take smoothing.
    const QSize smaller = ratio > 1 ? designed.size() : drawn.size();
    const QImage back =
        imageOf(drawn).scaled(smaller, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage original =
        imageOf(designed).scaled(smaller, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double difference = 0;
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x)
            difference += std::abs(qGray(back.pixel(x, y)) - qGray(original.pixel(x, y))) +
                          std::abs(qAlpha(back.pixel(x, y)) - qAlpha(original.pixel(x, y)));
    difference /= original.width() * original.height();
    QVERIFY2(difference < 20, qPrintable(QString::number(difference)));
}

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
