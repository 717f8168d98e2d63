// A headless game against the computer that prints every message the server sends, until
// the window exists. Seat 1 watches, so the computer plays both seats.
#include <QCoreApplication>

#include <cstdio>
#include <ctime>

#include "protocol.h"
#include "qtticker.h"
#include "tdictn.h"
#include "tserver.h"

namespace {

class PrintingHost : public tessarin::ServerHost {
  public:
    void sendToSeat(int seat, const std::string& message) override {
        std::printf("to %d: %.*s\n", seat, static_cast<int>(message.size() - 1), message.data());
        if (message.rfind(tessarin::proto::kWinner, 0) == 0) QCoreApplication::quit();
    }
    void showHostError(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    void closeSeat(int) override {}
    int botSpeedMs() const override { return 100; }
    int timeSpeedMs() const override { return 50; }
};

std::string line(std::string message) {
    message.pop_back();
    return message;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tessarin::TDictn spell;
    if (!spell.opened()) std::fprintf(stderr, "%s\n", tessarin::kDictionaryNotFound.data());
    tessarin::TRandom random(static_cast<std::uint32_t>(std::time(nullptr)));
    PrintingHost host;
    tessarin::TServer* server = nullptr;
    tessarin::QtTicker timer1([&] { server->timer1Timer(); });
    tessarin::QtTicker computertimer([&] { server->computertimerTimer(); });
    tessarin::TServer game(host, random, spell, timer1, computertimer);
    server = &game;

    namespace request = tessarin::proto::request;
    game.seattaken(game.chooseseat());
    game.dispatch(1, line(request::logininfo(1, tessarin::proto::kVersion, "You")));
    game.dispatch(1, line(request::startgame("You", "1")));
    game.dispatch(1, line(request::justwatch(1, true)));
    return app.exec();
}
