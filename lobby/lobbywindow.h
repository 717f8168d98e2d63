// The lobby window: the player's name, the tables found (TableList, from the local network
// and any other source), and the ways into a game. Each starts the game program as the
// design's lobby does, "tessarin NAME HOST[:PORT] true|false": Join takes the selected
// table (a free playing seat, or a spectator's when none is free), Watch the same but just
// watching, Host a Table hosts on this machine, Enter an Address joins a table typed in.
//
// While a game it started holds the lobby link, the window says a game is running; when
// the link closes it comes back to the front. Keyboard throughout: the arrows choose a
// table and Enter joins it. The name is kept in the settings file, section "Tessarin Lobby",
// and so is the public lobby's address (Public Lobby..., none by default), whose tables are
// listed beside the local network's.
#pragma once

#include <QMainWindow>

#include <functional>

class QInputDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tessarin::lobby {

class TableList;

class LobbyWindow : public QMainWindow {
    Q_OBJECT
  public:
    inline static const QString kSection = QStringLiteral("Tessarin Lobby");
    inline static const QString kPublicLobbyKey = QStringLiteral("Publiclobby");
    // How long "Starting the game..." is shown when the game's link does not open.
    static constexpr int kStartingMs = 15000;
    // Starts `program` with `arguments`, detached; false when it did not start.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

    // `tables` must outlive the window; `settingsPath` is the settings file.
    LobbyWindow(TableList& tables, QString settingsPath, QWidget* parent = nullptr);

    // The game program; found beside the lobby, else on PATH, unless set.
    void setgamepath(const QString& path) { gamepath_ = path; }
    void setlauncher(Launcher launcher) { launcher_ = std::move(launcher); }
    // Tells the player something without waiting; a message box unless replaced.
    void setteller(std::function<void(const QString&)> teller) { teller_ = std::move(teller); }
    // The lobby link's news: a game started from here is running, or has ended.
    void gamerunning(bool running);
    // Why tables cannot be found, shown in the status line.
    void setproblem(const QString& text);
    // Why the public lobby's tables cannot be read, shown in the status line; empty: they can.
    void setpublicproblem(const QString& text);

    // The public lobby's address kept in the settings; empty: none.
    QString publiclobby() const;
    // Keeps the address (empty: none) and announces it; false (and says why) when it is no
    // lobby's address.
    bool setpubliclobby(const QString& address);

    // The game program found beside this program, else on PATH; empty when neither has one.
    static QString findgame();

    void joinClick(bool watch = false);
    void hostClick();
    void addressClick();
    void publicClick();
    // Starts the game for the address typed; false (and says why) when it is no address.
    bool joinaddress(const QString& address);

    QLineEdit* edit_name;
    QTableView* view_tables;
    QLabel* label_status;
    QPushButton* button_join;
    QPushButton* button_watch;
    QPushButton* button_host;
    QPushButton* button_address;
    QPushButton* button_public;

  signals:
    // The public lobby's address has changed; empty: none.
    void publicLobbyChanged(const QString& address);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The name typed, kept in the settings; empty (and said) when none is typed.
    QString playername();
    bool startgame(const QStringList& arguments);
    void showstatus();
    void tell(const QString& text);

    TableList& tables_;
    QString settingsPath_;
    QString gamepath_;
    Launcher launcher_;
    std::function<void(const QString&)> teller_;
    QString problem_;
    QString publicProblem_;
    bool running_ = false;
    bool starting_ = false;
};

}  // namespace tessarin::lobby
