// Records what the board asks of the main window.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "boardhost.h"

namespace tessarin::board::testing {

class FakeBoardHost : public BoardHost {
  public:
    int myseat() const override { return seat; }
    bool isconnected() const override { return connected; }
    bool ishost() const override { return host; }
    QString playername() const override { return name; }
    bool turnsoundnew() const override { return newturnsound; }

    void send(const std::string& message) override { sent.push_back(message); }
    void playsounds(const QString& sound) override { sounds << sound; }
    void addlinetochat(const QString& line, Colour colour) override {
        chat << line;
        colours.push_back(colour);
    }
    void addgame(const QString& winner) override { games << winner; }
    void saveinifile() override { ++saves; }
    void uncheckjustwatch() override { ++justwatchunchecked; }
    void turnstarted() override { ++turns; }
    void showmessage(const QString& text) override { messages << text; }

    int seat = 1;
    bool connected = true;
    bool host = true;
    QString name = QStringLiteral("Ann");
    bool newturnsound = false;

    std::vector<std::string> sent;  // with their 0xFF
    QStringList sounds;
    QStringList chat;
    std::vector<Colour> colours;
    QStringList games;
    QStringList messages;
    int saves = 0;
    int justwatchunchecked = 0;
    int turns = 0;
};

}  // namespace tessarin::board::testing
