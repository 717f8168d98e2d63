// Any messages from a server, handed to the main window's dispatcher one at a time as its
// connection would (the input cut at each 0xFF). The window is not connected, so nothing
// leaves it; what it would send must still be well-formed messages. At the end the window
// is drawn, so hostile names and chat lines pass through painting too.
//
// Every input gets a fresh window, game start window and tally window, and an empty
// settings folder, so that a crash replays from its input alone.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "protocol.h"
#include "tchat.h"
#include "tgamestart.h"
#include "ttallylist.h"

namespace {

using namespace tessarin;

class CheckedChat : public Tchat {
  public:
    using Tchat::Tchat;
    void send(const std::string& message) override {
        bool wellFormed = !message.empty() && message.back() == proto::kTerminator;
        for (std::size_t i = 0; i + 1 < message.size(); ++i) {
            const char c = message[i];
            wellFormed &= c != proto::kTerminator && c != '\r' && c != '\n';
        }
        if (!wellFormed) {
            std::fprintf(stderr, "the window would send a broken message\n");
            std::abort();
        }
        Tchat::send(message);
    }
};

QTemporaryDir* folder = nullptr;

// One window's life: created, fed the messages, drawn, destroyed.
void play(std::string_view messages) {
    const QString settings = folder->filePath(QStringLiteral("zorvlobby.ini"));
    const QString tallyFile = folder->filePath(QStringLiteral("Tessarintally.tld"));
    QFile::remove(settings);
    QFile::remove(tallyFile);

    CheckedChat chat(settings);
    Tchat::Hooks hooks;
    hooks.messagebox = [](const QString&) {};
    // The spy list, as the program's spy window keeps it.
    QStringList spies;
    hooks.addspy = [&spies](int seat, const QString& name) {
        spies << QString::number(seat) + ' ' + name;
    };
    hooks.removespy = [&spies](int seat, const QString& name) {
        return spies.removeOne(QString::number(seat) + ' ' + name);
    };
    chat.setHooks(std::move(hooks));
    board::Tgamestart gamestart(chat, &chat);
    TallyPrompts prompts{[](QWidget*, const QString&) { return false; },
                         [](QWidget*, const QString&) {}};
    Ttallylist tally(&chat, TallyPaths{tallyFile, tallyFile}, prompts);
    chat.attach(&gamestart, &tally);

    while (!messages.empty()) {
        const std::size_t end = messages.find(proto::kTerminator);
        chat.processsocktimer(messages.substr(0, end));
        messages = end == std::string_view::npos ? std::string_view() : messages.substr(end + 1);
    }
    QApplication::processEvents();
    chat.grab();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "fuzz_client";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's font caches stay reachable from it until the process ends.
    static const auto* app = new QApplication(argc, argv);
    (void)app;
    static QTemporaryDir dir;
    folder = &dir;
    // Fonts, pictures and sounds load once per process and stay; loading them here keeps
    // them out of the leak check of the first input.
    play(
        "CMD_sendlogininfo+1\xFF"
        "CMD_newplayerinfo+1+Ann+0\xFF"
        "CMD_chat+1+Ann chats: :) hi|clRed\xFF"
        "CMD_winner+Ann+\xFF");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    play(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
