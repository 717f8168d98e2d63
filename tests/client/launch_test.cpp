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
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("watch");
        const int host = LaunchMode::Host, join = LaunchMode::Join;
        const int incomplete = LaunchMode::Incomplete, bad = LaunchMode::BadAddress;
        QTest::newRow("no parameters") << QStringList{} << int(LaunchMode::Solo) << "You"
                                       << "127.0.0.1"
                                       << "127.0.0.1" << 0 << false;
        QTest::newRow("host") << QStringList{"Ann", "10.0.0.5", "true"} << host << "Ann"
                              << "10.0.0.5"
                              << "" << 0 << false;
        QTest::newRow("True joins") << QStringList{"Ann", "10.0.0.5", "True"} << join << "Ann"
                                    << "10.0.0.5"
                                    << "10.0.0.5" << 0 << false;
        QTest::newRow("false joins") << QStringList{"Bob", "host.example", "false"} << join << "Bob"
                                     << "host.example"
                                     << "host.example" << 0 << false;
        QTest::newRow("extra ignored") << QStringList{"Cy", "1.2.3.4", "true", "x"} << host << "Cy"
                                       << "1.2.3.4"
                                       << "" << 0 << false;
        QTest::newRow("port") << QStringList{"Di", "10.0.0.5:7780", "false"} << join << "Di"
                              << "10.0.0.5:7780"
                              << "10.0.0.5" << 7780 << false;
        QTest::newRow("IPv6 and port")
            << QStringList{"Ed", "[::1]:7781", "false", "watch"} << join << "Ed"
            << "[::1]:7781"
            << "::1" << 7781 << true;
        QTest::newRow("port out of range")
            << QStringList{"Fi", "10.0.0.5:70000", "false"} << bad << "Fi"
            << "10.0.0.5:70000"
            << "" << 0 << false;
        QTest::newRow("no host") << QStringList{"Gu", ":7772", "false"} << bad << "Gu"
                                 << ":7772"
                                 << "" << 0 << false;
        QTest::newRow("two only") << QStringList{"Ann", "10.0.0.5"} << incomplete << ""
                                  << ""
                                  << "" << 0 << false;
        QTest::newRow("one only") << QStringList{"Ann"} << incomplete << ""
                                  << ""
                                  << "" << 0 << false;
    }
    void readparams() {
        QFETCH(QStringList, args);
        const LaunchMode mode = tessarin::readparams(args);
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(bool, watch);
        QCOMPARE(int(mode.kind), kind);
        QCOMPARE(mode.playername, name);
        QCOMPARE(mode.hostaddress, address);
        QCOMPARE(mode.host, host);
        QCOMPARE(mode.port, port);
        QCOMPARE(mode.watch, watch);
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
