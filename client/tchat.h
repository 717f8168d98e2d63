// Tchat: the main window and the client of every game, the host's included. It connects to
// the server (its own in-process server when hosting), hands each server message to its
// handler one per dispatch tick, keeps the seats and spectators, and frames the board, the
// chat panel, the Options menu, the sounds and the settings. UI thread only.
//
// The host's controls (start a game, remove a seat, set a seat to watch) belong to whoever
// the server seats in seat 1, whether this copy runs the server or joined one. A connection
// lost after login is tried again (tchat_reconnect.cpp); a refusal, a removal or the end of
// those tries is told in one message box, and the window closes once it is dismissed.
//
// Windows created after it at start-up reach it through attach(); everything the main
// window asks of the program around it (start listening, the auxiliary windows) goes
// through Hooks, so the window can be tested without them.
#pragma once

#include <QDeadlineTimer>
#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "boardhost.h"
#include "clientlink.h"
#include "filestatus.h"

class QAction;
class QMenu;

namespace tessarin {

namespace board {
class TBoard;
class Tgamestart;
}  // namespace board
namespace chat {
class ChatPanel;
}
class OptionsMenu;
class SoundPlayer;
class TessarinSettings;
class Ttallylist;

class Tchat : public QMainWindow, public board::BoardHost {
    Q_OBJECT
  public:
    static constexpr int kLastSeat = 9;  // a game has nine seats at most
    static constexpr int kGamePort = 7772;
    static constexpr int kLobbyPort = 9001;
    static constexpr QRect kDefaultBounds{3, 3, 768, 470};
    // After a lost connection: one try every kRedialMs, for up to kReconnectMs.
    static constexpr int kRedialMs = 3000;
    static constexpr int kReconnectMs = 60000;

    struct Hooks {
        // Starts the in-process server listening and returns its port; throws
        // ESockException when it cannot. A solo game's server is for this machine alone.
        std::function<int(bool solo)> startserver;
        // The host's Bot Speed and Time Speed changed (also when the settings are read).
        std::function<void(int botSpeedMs, int timeSpeedMs)> speedschanged;
        // The host's Computer Strength changed (also when the settings are read).
        std::function<void(int strength)> strengthchanged;
        // The spy list.
        std::function<void(int seat, const QString& name)> addspy;
        std::function<bool(int seat, const QString& name)> removespy;
        std::function<void(bool)> enablekick;
        // Auxiliary windows.
        std::function<void()> showdownload, showspylist, showhelp, showabout, openwebpage;
        // Tells the user something; unset, a modal message box does.
        std::function<void(const QString&)> messagebox;
    };

    // FormCreate. `settingsPath` is the settings file (normally settingsFilePath()).
    explicit Tchat(QString settingsPath, QWidget* parent = nullptr);
    ~Tchat() override;

    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }
    // Windows created later at start-up; not owned.
    void attach(board::Tgamestart* gamestart, Ttallylist* tally);
    // Ports for joining a game and for the lobby link (tests use free ones).
    void setPorts(int gamePort, int lobbyPort);
    void setReconnectTiming(int redialMs, int reconnectMs);

    // Start-up from the command line (the parameters after the program name); FormShow
    // calls it with the real ones, once.
    void processparams(const QStringList& args);
    void hostpress(bool solo = false);
    void joinpress();

    // One received server message (without its 0xFF): command word, '+', payload.
    void processsocktimer(std::string_view line);
    void sendloginfo(std::string_view payload);
    // "CMD_secret": the key back to this seat after a drop, kept in memory only.
    void keepsecret(std::string_view payload);
    void newplayerinfo(std::string_view payload);
    void playerdisconnected(std::string_view payload);
    void justwatching(std::string_view payload);
    void playasound(std::string_view payload);
    void kicking(int seat);
    // One message box that ends the session: the window closes once it is dismissed, and
    // nothing (a close of the connection meanwhile included) closes it earlier.
    void finish(const QString& text);

    // Menus and the seat popup.
    void JustWatch1Click();
    void SettoJustWatch1Click();
    void UnsetJustWatch1Click();
    void RemoveFromGame1Click();
    void label_playername1ContextPopup(int seat, const QPoint& globalPos);
    void ResetScreenLocation1Click();
    void ViewTally1Click();

    // Settings. Stored window bounds are fitted into the desktop's work area (and to at
    // least the window's minimum size); the first save that fails is told, the others not.
    void loadinifile();
    void saveinifile() override;

    // board::BoardHost.
    int myseat() const override { return myseat_; }
    bool isconnected() const override { return isconnected_; }
    bool ishost() const override { return isconnected_ && myseat_ == 1; }
    QString playername() const override { return playername_; }
    bool turnsoundnew() const override;
    void send(const std::string& message) override;
    void playsounds(const QString& name) override;
    void addlinetochat(const QString& line, board::Colour colour) override;
    void addgame(const QString& winner) override;
    void uncheckjustwatch() override;
    void turnstarted() override;
    void showmessage(const QString& text) override;

    ClientLink& link() { return link_; }
    board::TBoard& board() { return *board_; }
    chat::ChatPanel& chatpanel() { return *chat_; }
    OptionsMenu& options() { return *options_; }
    SoundPlayer& sounds() { return *sounds_; }
    QMenu& seatmenu() { return *popup_kick; }
    QAction* justwatchaction() const { return JustWatch1; }
    QAction* startgameaction() const { return StartGame1; }
    const QString& loginname() const { return loginname_; }
    const QString& hostaddress() const { return hostaddress_; }
    const QRect& lastsavedbounds() const { return lastsaved_; }
    int popupseat() const { return popupseat_; }
    bool reconnecting() const { return reconnecting_; }
    // The window has begun to close (File › Exit, a stop signal, or after finish()).
    bool closing() const { return closing_; }

  protected:
    void showEvent(QShowEvent* event) override;    // FormShow
    void closeEvent(QCloseEvent* event) override;  // FormClose
    // The client area's size changes (FormResize): the board grows or shrinks with it.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildmenus();
    void fitboard();
    // The keys 1..6, the arrows and Enter go to the board again.
    void keystoboard();
    void applyoption(int option);
    // Shows the Computer Strength in the game start window and hands it to the server.
    void applystrength();
    void connectionclosed();
    void sethostcontrols(bool host);
    // Opens the game connection to host:port and remembers them for reconnecting.
    void opengame(const std::string& host, int port);
    // Started to watch (a fourth parameter "watch"): asks the server for Just Watch.
    void askToWatch();
    void startreconnecting();
    void redial();
    void reconnected();
    QString seatcaption(int seat) const;
    QRect fitbounds(const QRect& wanted) const;
    void reportsave(const FileStatus& status);
    QStringList seatnames() const;

    Hooks hooks_;
    ClientLink link_;
    TessarinSettings* settings_;
    board::TBoard* board_;
    chat::ChatPanel* chat_;
    OptionsMenu* options_ = nullptr;
    SoundPlayer* sounds_;
    board::Tgamestart* gamestart_ = nullptr;
    Ttallylist* tally_ = nullptr;

    QMenu* popup_kick = nullptr;
    QAction* RemoveFromGame1 = nullptr;
    QAction* SettoJustWatch1 = nullptr;
    QAction* UnsetJustWatch1 = nullptr;
    QAction* JustWatch1 = nullptr;
    QAction* StartGame1 = nullptr;

    const QString gamename_ = QStringLiteral("Tessarin");
    QString playername_;
    QString hostaddress_;
    QString loginname_;
    int myseat_ = 0;
    bool isconnected_ = false;
    bool justwatch_ = false;     // the server says this player watches
    bool wrongversion_ = false;  // the host runs another version: no reconnecting
    std::string joinhost_;       // the host and port joinpress connects to
    int joinport_ = kGamePort;
    bool watchonarrival_ = false;  // started to watch: Just Watch until the server agrees
    std::string secret_;         // from the server's last welcome; never written anywhere
    std::string gamehost_;
    int gameport_ = 0;
    bool reconnecting_ = false;
    bool ending_ = false;  // finish() has begun
    QTimer redial_;
    QDeadlineTimer giveup_;
    int redialMs_ = kRedialMs;
    int reconnectMs_ = kReconnectMs;
    int popupseat_ = 0;
    int gamePort_ = kGamePort;
    int lobbyPort_ = kLobbyPort;
    bool shown_ = false;
    bool closing_ = false;
    bool settingsread_ = false;  // loadinifile has run
    bool savefailuretold_ = false;
    QRect lastsaved_{0, 0, 0, 0};  // the bounds last read from or written to the settings
};

}  // namespace tessarin
