#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "downloadform.h"
#include "httpstub.h"
#include "privatemounts.h"

using tessarin::forms::Tdownload;
using tessarin::testing::HttpStub;

namespace {

struct Launch {
    QString program;
    QStringList arguments;
};

// A download window writing into a private directory, with the installer's start and the
// end of the game recorded instead of done.
struct Harness {
    explicit Harness(const QUrl& url) : window(QPixmap()) {
        window.setdownloadurl(url);
        window.setinstalldir(dir.path());
        window.setlobbypath(dir.filePath(QStringLiteral("no-lobby-here")));
        window.setlauncher([this](const QString& program, const QStringList& arguments) {
            launches.push_back({program, arguments});
            return launchsucceeds;
        });
        window.setexitgame([this] { ++exits; });
        window.setconfirmer([this](const QString& question, std::function<void(bool)> answer) {
            questions << question;
            answer(confirms);
        });
    }

    QString installer() const { return dir.filePath(QStringLiteral("zorviklobby-setup.run")); }
    QByteArray written() const {
        QFile file(installer());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Texts of the message boxes the window has opened.
    QStringList told() const {
        QStringList texts;
        for (const QMessageBox* box : window.findChildren<QMessageBox*>()) texts << box->text();
        return texts;
    }
    bool idle() const { return window.getbutton->isEnabled() && !window.abortbutton->isEnabled(); }

    QTemporaryDir dir;
    Tdownload window;
    std::vector<Launch> launches;
    bool launchsucceeds = true;
    int exits = 0;
    QStringList questions;
    bool confirms = true;
};

const QString kPath = QStringLiteral("/lobby/zorviklobby-setup.run");

QByteArray body(int size, char fill) {
    return QByteArray(size, fill);
}

}  // namespace

class DownloadFormTest : public QObject {
    Q_OBJECT
  private slots:
    void downloadShowsProgressThenInstalls();
    void abortInstallsNothingAndNextDownloadStartsEmpty();
    void failedAnswerIsAborted_data();
    void failedAnswerIsAborted();
    void incompleteOrUnsafeDownloadRunsNothing_data();
    void incompleteOrUnsafeDownloadRunsNothing();
    void redirectsShowTheFinalDownload();
    void plainHttpRunsOnlyWhenConfirmed_data();
    void plainHttpRunsOnlyWhenConfirmed();
    void installerThatDoesNotStartKeepsTheGame();
    void uncreatableFileDownloadsNothing();
    void fullDiskFailsTheDownload();
    void playWithOthers_data();
    void playWithOthers();
    void lobbyProgramIsFoundOnPath();
};

void DownloadFormTest::downloadShowsProgressThenInstalls() {
    HttpStub server;
    Harness h(server.url(kPath));
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QCOMPARE(h.window.state(), int(Tdownload::kStarted));
    QVERIFY(!h.window.getbutton->isEnabled());
    QVERIFY(h.window.abortbutton->isEnabled());
    QCOMPARE(h.window.infolabel->text(), QStringLiteral("Loading"));
    QCOMPARE(h.window.infolabel2->text(), QStringLiteral("zorviklobby-setup.run"));

    QTRY_VERIFY(server.holding());
    const QByteArray request = server.lastrequest();
    QVERIFY2(request.startsWith("GET " + kPath.toLatin1() + " HTTP/1."), request);
    QVERIFY2(request.contains("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n"), request);
    QVERIFY2(request.contains("\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, "
                              "image/pjpeg, */*\r\n"),
             request);

    const QByteArray document = body(1000, 'a') + body(1500, 'b') + body(500, 'c');
    server.send(HttpStub::head("200 OK", document.size()));
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("Loading..."));
    QCOMPARE(h.window.infolabel3->text(), QStringLiteral("Downloading: zorviklobby-setup.run"));
    server.send(document.left(1000));
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("1000 bytes"));
    server.send(document.mid(1000, 1500));
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("2500 bytes"));
    QVERIFY(h.launches.empty());
    server.send(document.mid(2500));
    server.finish();

    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("Received 3000 bytes"));
    QCOMPARE(h.window.infolabel3->text(), QStringLiteral("Installing"));
    QVERIFY(h.idle());
    QCOMPARE(h.written(), document);
    QVERIFY(QFileInfo(h.installer()).isExecutable());
    QCOMPARE(h.questions.size(), 1);  // the stub speaks plain HTTP
    QCOMPARE(h.launches.size(), size_t(1));
    QCOMPARE(h.launches[0].program, h.installer());
    QCOMPARE(h.launches[0].arguments,
             QStringList(
                 {QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")}));
    QCOMPARE(h.exits, 1);
}

void DownloadFormTest::abortInstallsNothingAndNextDownloadStartsEmpty() {
    HttpStub server;
    Harness h(server.url(kPath));
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QTRY_VERIFY(server.holding());
    server.send(HttpStub::head("200 OK", 10000) + body(4000, 'x'));
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("4000 bytes"));

    QTest::mouseClick(h.window.abortbutton, Qt::LeftButton);
    QCOMPARE(h.window.infolabel->text(), QStringLiteral("Download has been aborted."));
    QCOMPARE(h.window.infolabel3->text(), QStringLiteral("Download Aborted"));
    QCOMPARE(h.window.state(), int(Tdownload::kFailed));
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("Download Aborted"));
    QVERIFY(!h.window.downloading());
    QVERIFY(h.idle());
    QCOMPARE(h.window.state(), int(Tdownload::kFailed));
    QVERIFY(!QFileInfo::exists(h.installer()));
    QVERIFY(h.launches.empty());
    QCOMPARE(h.exits, 0);

    // Shorter than what the aborted download left behind, so leftovers would show.
    const QByteArray document = body(100, 'y');
    server.setanswer(HttpStub::head("200 OK", document.size()) + document);
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QCOMPARE(h.window.state(), int(Tdownload::kStarted));
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("Received 100 bytes"));
    QCOMPARE(h.written(), document);
    QCOMPARE(h.launches.size(), size_t(1));
    QCOMPARE(h.exits, 1);
}

void DownloadFormTest::failedAnswerIsAborted_data() {
    QTest::addColumn<QByteArray>("status");
    QTest::newRow("not found") << QByteArray("404 Not Found");
    QTest::newRow("forbidden") << QByteArray("403 Forbidden");
    QTest::newRow("server error") << QByteArray("500 Internal Server Error");
    QTest::newRow("nobody listening") << QByteArray();
}

void DownloadFormTest::failedAnswerIsAborted() {
    QFETCH(QByteArray, status);
    auto server = std::make_unique<HttpStub>();
    const QUrl url = server->url(kPath);
    const QByteArray page = "<html><body>No such file</body></html>";
    if (status.isEmpty())
        server.reset();  // the port is closed again
    else
        server->setanswer(HttpStub::head(status, page.size()) + page);

    Harness h(url);
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("Download Aborted"));
    QCOMPARE(h.window.state(), int(Tdownload::kFailed));
    QVERIFY(h.idle());
    QVERIFY(h.window.infolabel3->text().isEmpty());
    QVERIFY(h.written().isEmpty());
    QVERIFY(h.launches.empty());
    QCOMPARE(h.exits, 0);
}

void DownloadFormTest::incompleteOrUnsafeDownloadRunsNothing_data() {
    QTest::addColumn<QString>("address");  // "/rN": N - 1 redirects before the answer
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<qint64>("limit");
    const qint64 unlimited = Tdownload::kMaxInstallerBytes;
    const QByteArray whole = HttpStub::head("200 OK", 10) + body(10, 'p');
    QTest::newRow("cut off without a Content-Length")
        << "http:" + kPath << HttpStub::head("200 OK", -1) + body(3000, 's') << unlimited;
    QTest::newRow("shorter than its Content-Length")
        << "http:" + kPath << HttpStub::head("200 OK", 5000) + body(3000, 's') << unlimited;
    QTest::newRow("announced over the limit")
        << "http:" + kPath << HttpStub::head("200 OK", 5000) + body(5000, 'b') << qint64(4000);
    QTest::newRow("over the limit without a Content-Length")
        << "http:" + kPath << HttpStub::head("200 OK", -1) + body(5000, 'b') << qint64(4000);
    QTest::newRow("six redirects") << "http:/r1" << whole << unlimited;
    QTest::newRow("redirect to another scheme")
        << "http:" + kPath << HttpStub::redirect("ftp://127.0.0.1/zorviklobby-setup.run")
        << unlimited;
    // HTTPS is never given up for plain HTTP, not even to a server that speaks only that.
    QTest::newRow("HTTPS to a plain server") << "https:" + kPath << whole << unlimited;
}

void DownloadFormTest::incompleteOrUnsafeDownloadRunsNothing() {
    QFETCH(QString, address);
    QFETCH(QByteArray, answer);
    QFETCH(qint64, limit);
    HttpStub server;
    server.setanswer(answer);
    for (int hop = 1; hop <= 6; ++hop)
        server.setanswer("/r" + QByteArray::number(hop),
                         HttpStub::redirect("/r" + QByteArray::number(hop + 1)));
    QUrl url = server.url(address.section(u':', 1));
    url.setScheme(address.section(u':', 0, 0));
    Harness h(url);
    h.window.setinstalldir(h.dir.path());
    h.window.setsizelimit(limit);
    // An installer from an earlier download, which the failed one must leave as it was.
    QFile earlier(h.installer());
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("Download Aborted"));
    QCOMPARE(h.window.state(), int(Tdownload::kFailed));
    QVERIFY(h.idle());
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("zorviklobby-setup.run")});
    QCOMPARE(h.written(), QByteArray("earlier"));
    QVERIFY(h.questions.isEmpty());
    QVERIFY(h.launches.empty());
    QCOMPARE(h.exits, 0);
}

void DownloadFormTest::redirectsShowTheFinalDownload() {
    HttpStub server;
    for (int hop = 1; hop <= Tdownload::kMaxRedirects; ++hop) {
        const QByteArray next =
            hop == Tdownload::kMaxRedirects ? kPath.toLatin1() : "/r" + QByteArray::number(hop + 1);
        server.setanswer("/r" + QByteArray::number(hop), HttpStub::redirect(next));
    }
    Harness h(server.url(QStringLiteral("/r1")));
    h.window.setinstalldir(h.dir.path());
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QTRY_VERIFY(server.holding());  // the installer's own address, five redirects on
    QVERIFY(h.window.infolabel3->text().isEmpty());
    server.send(HttpStub::head("200 OK", 10));
    QTRY_COMPARE(h.window.infolabel3->text(), QStringLiteral("Downloading: r1"));
    server.send(body(10, 'r'));
    server.finish();
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("Received 10 bytes"));
    QCOMPARE(h.launches.size(), size_t(1));
}

void DownloadFormTest::plainHttpRunsOnlyWhenConfirmed_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void DownloadFormTest::plainHttpRunsOnlyWhenConfirmed() {
    QFETCH(bool, yes);
    QCOMPARE(Tdownload(QPixmap()).downloadurl().scheme(), QStringLiteral("https"));
    HttpStub server;
    server.setanswer(HttpStub::head("200 OK", 10) + body(10, 'q'));
    Harness h(server.url(kPath));
    h.confirms = yes;
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QTRY_COMPARE(h.questions.size(), 1);
    QVERIFY2(h.questions[0].contains("plain HTTP"), qPrintable(h.questions[0]));
    QCOMPARE(int(h.launches.size()), yes ? 1 : 0);
    QCOMPARE(h.exits, yes ? 1 : 0);
    QCOMPARE(QFileInfo::exists(h.installer()), yes);
    QCOMPARE(h.window.state(), int(yes ? Tdownload::kStarted : Tdownload::kFailed));
    QCOMPARE(h.window.infolabel3->text(),
             yes ? QStringLiteral("Installing") : QStringLiteral("Download Aborted"));
}

void DownloadFormTest::installerThatDoesNotStartKeepsTheGame() {
    HttpStub server;
    server.setanswer(HttpStub::head("200 OK", 10) + body(10, 'z'));
    Harness h(server.url(kPath));
    h.launchsucceeds = false;
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QTRY_COMPARE(h.told(), QStringList{QStringLiteral("An Error has Occurred.")});
    QCOMPARE(h.launches.size(), size_t(1));
    QCOMPARE(h.exits, 0);
    QVERIFY(h.idle());
}

void DownloadFormTest::uncreatableFileDownloadsNothing() {
    HttpStub server;
    Harness h(server.url(kPath));
    h.window.setinstalldir(h.dir.filePath(QStringLiteral("missing/folder")));
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QCOMPARE(h.told().size(), 1);
    QVERIFY(!h.told().constFirst().isEmpty());
    QVERIFY(h.idle());
    QVERIFY(!h.window.downloading());
    QCOMPARE(h.window.state(), int(Tdownload::kFailed));
    QTest::qWait(50);
    QCOMPARE(server.requests(), 0);
}

void DownloadFormTest::fullDiskFailsTheDownload() {
    HttpStub server;
    server.setanswer(HttpStub::head("200 OK", 200000) + body(200000, 'f'));
    Harness h(server.url(kPath));
    tessarin::testing::FullDisk disk(h.dir.path().toStdString(), 64 * 1024);
    if (!disk.ok()) QSKIP(disk.why().c_str());
    QTest::mouseClick(h.window.getbutton, Qt::LeftButton);
    QTRY_COMPARE(h.window.infolabel->text(), QStringLiteral("Download Aborted"));
    QCOMPARE(h.window.state(), int(Tdownload::kFailed));
    QCOMPARE(h.told().size(), 1);
    QVERIFY(!QFileInfo::exists(h.installer()));
    QVERIFY(h.launches.empty());
    QCOMPARE(h.exits, 0);
}

void DownloadFormTest::playWithOthers_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<int>("launches");
    QTest::addColumn<int>("exits");
    QTest::addColumn<QString>("told");
    QTest::newRow("installed") << true << true << 1 << 1 << QString();
    QTest::newRow("installed but does not start")
        << true << false << 1 << 0 << QStringLiteral("An Error has Occurred.");
    QTest::newRow("not installed")
        << false << true << 0 << 0
        << QStringLiteral(
               "Please close the game and open the Zorvik Lobby using the icon on "
               "your desktop or using the your Window's start-up menu.");
}

void DownloadFormTest::playWithOthers() {
    QFETCH(bool, installed);
    QFETCH(bool, starts);
    QFETCH(int, launches);
    QFETCH(int, exits);
    QFETCH(QString, told);
    Harness h(QUrl(QStringLiteral("http://127.0.0.1:9/unused")));
    const QString lobby = h.dir.filePath(QStringLiteral("zorviklobby"));
    if (installed) {
        QFile file(lobby);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    h.window.setlobbypath(lobby);
    h.launchsucceeds = starts;
    QTest::mouseClick(h.window.Button2, Qt::LeftButton);
    QCOMPARE(int(h.launches.size()), launches);
    if (launches) {
        QCOMPARE(h.launches[0].program, lobby);
        QVERIFY(h.launches[0].arguments.isEmpty());
    }
    QCOMPARE(h.exits, exits);
    QCOMPARE(h.told(), told.isEmpty() ? QStringList() : QStringList{told});
}

// Not beside this test program: "Play with Others" starts the tessarin-lobby PATH finds, and
// says how to start the lobby where there is none.
void DownloadFormTest::lobbyProgramIsFoundOnPath() {
    QTemporaryDir bin;
    const QString lobby = bin.filePath(QStringLiteral("tessarin-lobby"));
    QFile file(lobby);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()));
    const QString found = tessarin::forms::Tdownload(QPixmap()).lobbypath();
    qputenv("PATH", QByteArray("/nonexistent"));
    const QString none = tessarin::forms::Tdownload(QPixmap()).lobbypath();
    qputenv("PATH", path);
    QCOMPARE(found, lobby);
    QCOMPARE(none, QString());
}

QTEST_MAIN(DownloadFormTest)
#include "downloadform_test.moc"
