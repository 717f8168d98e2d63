#include <QDate>
#include <QLabel>
#include <QTest>
#include <vector>

#include "aboutform.h"
#include "protocol.h"

using tessarin::forms::Tabout;

class AboutFormTest : public QObject {
    Q_OBJECT
  private slots:
    void versionIsWhatLoginSends();
    void opensMakersPage_data();
    void opensMakersPage();
};

void AboutFormTest::versionIsWhatLoginSends() {
    Tabout window{QPixmap()};
    const QString login = QString::fromLatin1(tessarin::proto::kVersion.data(),
                                              qsizetype(tessarin::proto::kVersion.size()));
    QCOMPARE(window.versiontext(), login);
    QCOMPARE(window.versiontext(), QStringLiteral("1.0.1"));
    // One label, read as one line.
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("version"))->text(),
             QStringLiteral("Version ") + login + QStringLiteral(".0"));
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("label_year"))->text(),
             QString::number(QDate::currentDate().year()));
    QCOMPARE(window.size(), QSize(304, 174));
}

void AboutFormTest::opensMakersPage_data() {
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<Qt::MouseButton>("mousebutton");
    QTest::addColumn<int>("opened");
    QTest::newRow("address") << "label_url" << Qt::LeftButton << 1;
    QTest::newRow("logo") << "image_aboutlogo" << Qt::LeftButton << 1;
    QTest::newRow("right-click on the address") << "label_url" << Qt::RightButton << 0;
}

void AboutFormTest::opensMakersPage() {
    QFETCH(QString, clicked);
    QFETCH(Qt::MouseButton, mousebutton);
    QFETCH(int, opened);
    Tabout window{QPixmap()};
    std::vector<QUrl> urls;
    window.seturlopener([&](const QUrl& url) {
        urls.push_back(url);
        return false;  // a failure is not reported to the user
    });
    window.setwebaddress(QStringLiteral("games.example.org"));
    window.show();
    auto* target = window.findChild<QLabel*>(clicked);
    QVERIFY(target);
    QCOMPARE(target->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(target, mousebutton);
    QCOMPARE(int(urls.size()), opened);
    if (opened) QCOMPARE(urls[0], QUrl(QStringLiteral("http://games.example.org")));
    QVERIFY(window.isVisible());
}

QTEST_MAIN(AboutFormTest)
#include "aboutform_test.moc"
