// A main window wired to its own in-process server on a free port, and a raw protocol
// client standing in for another player's program.
#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chatpanel.h"
#include "chatview.h"
#include "protocol.h"
#include "serverconnections.h"
#include "tchat.h"
#include "tdictn.h"
#include "tempdir.h"
#include "trandom.h"

namespace tessarin::testing {

// The main window with its outgoing messages recorded as well as sent.
class RecordingChat : public Tchat {
  public:
    using Tchat::Tchat;
    void send(const std::string& message) override {
        sent.push_back(message.substr(0, message.size() - 1));
        Tchat::send(message);
    }
    std::vector<std::string> sent;
};

// A raw client speaking the protocol, standing in for another player's program.
class RawClient {
  public:
    explicit RawClient(int port) {
        socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { buffer += socket.readAll(); });
    }
    bool waitFor(const QByteArray& text) {
        return QTest::qWaitFor([&] { return buffer.contains(text); }, 5000);
    }
    void send(const std::string& message) {
        socket.write(message.data(), static_cast<qint64>(message.size()));
        socket.flush();
    }
    // Logs in with the seat the server offered.
    int login(const std::string& name) {
        if (!waitFor("CMD_sendlogininfo+")) return 0;
        const int at = buffer.indexOf("CMD_sendlogininfo+") + 18;
        const int seat = buffer.mid(at, buffer.indexOf('\xFF', at) - at).toInt();
        send(proto::request::logininfo(seat, proto::kVersion, name));
        return seat;
    }
    QTcpSocket socket;
    QByteArray buffer;
};

// A relay between windows and a server on this machine, standing in for the network: it
// can cut the windows' side of every connection, telling the server or not (a drop the
// server does not notice), and turn newcomers away for a while.
class Relay {
  public:
    explicit Relay(int serverPort) {
        listener.listen(QHostAddress::LocalHost);
        QObject::connect(&listener, &QTcpServer::newConnection, [this, serverPort] {
            while (QTcpSocket* near = listener.nextPendingConnection()) {
                if (refusing) {
                    near->abort();
                    near->deleteLater();
                    continue;
                }
                auto* far = new QTcpSocket(near);
                far->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(serverPort));
                QObject::connect(near, &QTcpSocket::readyRead,
                                 [near, far] { far->write(near->readAll()); });
                QObject::connect(far, &QTcpSocket::readyRead,
                                 [near, far] { near->write(far->readAll()); });
                pairs.push_back({near, far});
            }
        });
    }
    int port() const { return listener.serverPort(); }
    // Ends the windows' side of every connection; the server's side only if told.
    void cut(bool tellServer) {
        for (auto& [near, far] : pairs) {
            QObject::disconnect(near, nullptr, nullptr, nullptr);
            QObject::disconnect(far, nullptr, nullptr, nullptr);
            if (tellServer)
                far->abort();
            else
                far->setParent(nullptr);  // left open: the server sees nothing
            near->abort();
            near->deleteLater();
            if (!tellServer) kept.emplace_back(far);
        }
        pairs.clear();
    }
    bool refusing = false;

  private:
    QTcpServer listener;
    std::vector<std::pair<QTcpSocket*, QTcpSocket*>> pairs;
    std::vector<std::unique_ptr<QTcpSocket>> kept;
};

struct Rig {
    Rig() : spell(dir.path()), server(random, spell) {
        server.setPortName("0");
        server.setBotSpeedMs(20);
        server.setTimeSpeedMs(20);
        chat = std::make_unique<RecordingChat>(
            QString::fromStdString((dir.path() / "zorvlobby.ini").string()));
        Tchat::Hooks hooks;
        hooks.startserver = [this](bool solo) {
            if (solo)
                server.listenLocal();
            else
                server.listen();
            return server.port();
        };
        hooks.addspy = [this](int seat, const QString& name) {
            spies << QString::number(seat) + ": " + name;
        };
        hooks.removespy = [this](int seat, const QString& name) {
            return spies.removeOne(QString::number(seat) + ": " + name);
        };
        hooks.strengthchanged = [this](int strength) {
            server.setBotStrength(static_cast<BotStrength>(strength));
        };
        hooks.showdownload = [this] { ++downloadsShown; };
        hooks.messagebox = [this](const QString& text) {
            boxes << text;
            if (whileBoxShown) whileBoxShown();
        };
        chat->setHooks(std::move(hooks));
        chat->setPorts(0, 1);  // nothing listens on port 1: the lobby link just fails
    }
    // The chat as a person reads it: lines start with their head and a blank, and words
    // keep their blanks, so runs of blanks are folded.
    QString chatText() const { return chat->chatpanel().mainchat()->toPlainText().simplified(); }
    bool waitForChat(const QString& text) {
        return QTest::qWaitFor([&] { return chatText().contains(text); }, 5000);
    }
    QString settingsPath() const {
        return QString::fromStdString((dir.path() / "zorvlobby.ini").string());
    }

    testing::TempDir dir;
    TRandom random{7};
    TDictn spell;
    ServerConnections server;
    std::unique_ptr<RecordingChat> chat;
    QStringList spies;
    QStringList boxes;
    std::function<void()> whileBoxShown;  // runs while a message box would be up
    int downloadsShown = 0;
};

}  // namespace tessarin::testing
