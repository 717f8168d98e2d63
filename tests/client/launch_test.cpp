#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

#include "launchmode.h"
#include "previnst.h"

namespace tessarin {

class LaunchTest : public QObject {
    Q_OBJECT
  private slots:
    // The markers go to the runtime folder; a private one for this test.
    void initTestCase() {
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
        QCOMPARE(SingleInstance::socketFolder(), runtime_.path());
    }

    void readparams_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::newRow("no parameters") << QStringList{} << int(LaunchMode::Solo) << "You"
                                       << "127.0.0.1";
        QTest::newRow("host") << QStringList{"Ann", "10.0.0.5", "true"} << int(LaunchMode::Host)
                              << "Ann"
                              << "10.0.0.5";
        QTest::newRow("True joins")
            << QStringList{"Ann", "10.0.0.5", "True"} << int(LaunchMode::Join) << "Ann"
            << "10.0.0.5";
        QTest::newRow("false joins")
            << QStringList{"Bob", "host.example", "false"} << int(LaunchMode::Join) << "Bob"
            << "host.example";
        QTest::newRow("extra ignored")
            << QStringList{"Cy", "1.2.3.4", "true", "x"} << int(LaunchMode::Host) << "Cy"
            << "1.2.3.4";
        QTest::newRow("two only") << QStringList{"Ann", "10.0.0.5"} << int(LaunchMode::Incomplete)
                                  << ""
                                  << "";
        QTest::newRow("one only") << QStringList{"Ann"} << int(LaunchMode::Incomplete) << ""
                                  << "";
    }
    void readparams() {
        QFETCH(QStringList, args);
        const LaunchMode mode = tessarin::readparams(args);
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QCOMPARE(int(mode.kind), kind);
        QCOMPARE(mode.playername, name);
        QCOMPARE(mode.hostaddress, address);
    }

    void secondCopyBringsTheFirstForward() {
        const QString name =
            QStringLiteral("tessarin-test-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name, name + "-running");
        int activations = 0;
        first.onActivate = [&] { ++activations; };
        QVERIFY(!first.CheckPreviousInstance(true));

        SingleInstance second(name, name + "-running");
        QVERIFY(second.CheckPreviousInstance(true));
        QTRY_COMPARE(activations, 1);

        SingleInstance quiet(name, name + "-running");
        QVERIFY(quiet.CheckPreviousInstance(false));
        QTest::qWait(50);
        QCOMPARE(activations, 1);
    }

    void markerLeftByACrashedCopyIsTakenOver() {
        const QString name =
            QStringLiteral("tessarin-stale-%1").arg(QCoreApplication::applicationPid());
        // A crashed copy leaves its socket file behind with nobody listening on it.
        QFile stale(SingleInstance::socketFolder() + "/" + name);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        SingleInstance next(name, name + "-running");
        QVERIFY(!next.CheckPreviousInstance(true));
        SingleInstance later(name, name + "-running");
        QVERIFY(later.CheckPreviousInstance(false));
    }

    // Another user's socket under the marker's name is no previous copy: it neither stops
    // this one from starting nor hears its request.
    void markersOfOtherUsersAreNotTrusted() {
        if (::geteuid() != 0) QSKIP("giving a socket file to another user takes root");
        const QString name =
            QStringLiteral("tessarin-foreign-%1").arg(QCoreApplication::applicationPid());
        QLocalServer foreign;
        QVERIFY(foreign.listen(SingleInstance::socketFolder() + "/" + name));
        QVERIFY(::chown(QFile::encodeName(foreign.fullServerName()).constData(), 65534, 65534) ==
                0);
        SingleInstance mine(name, name + "-running");
        QVERIFY(!mine.CheckPreviousInstance(true));
        QTest::qWait(50);
        QVERIFY(!foreign.hasPendingConnections());
    }

  private:
    QTemporaryDir runtime_;
};

}  // namespace tessarin

QTEST_MAIN(tessarin::LaunchTest)
#include "launch_test.moc"
