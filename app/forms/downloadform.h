// The window a solo start shows: go on with the solo game, start an installed Zorvik Lobby,
// or download the lobby's installer, run it and end the game.
//
// The download runs asynchronously on the UI thread; the window shows the same states as a
// blocking download would ("Loading", a dot per response header, the growing byte count,
// "Received N bytes"), and "Stop Download" stays usable throughout. All response headers
// arrive together, so their dots are added together when they arrive.
//
// Only a whole installer is run: at most 5 redirects, to HTTP(S) addresses only and never
// from HTTPS down to HTTP; a body larger than the size limit, shorter than its
// Content-Length, or ended by a closed connection without a Content-Length is "Download
// Aborted". The download goes to a temporary file beside the installer's name, renamed to
// that name only once it is whole (and, over plain HTTP, the player has said Yes to running
// it), so that a failed or refused download leaves an earlier installer as it was.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QUrl>
#include <functional>
#include <memory>

#include "shell.h"

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QSaveFile;

namespace tessarin::forms {

class Tdownload : public QDialog {
    Q_OBJECT
  public:
    // The download's state: none yet, started, or aborted / failed. Only a finished download
    // whose state is not kFailed is installed.
    enum State { kIdle = 0, kStarted = 1, kFailed = 2 };

    // The most the window downloads; installers are a few MiB.
    static constexpr qint64 kMaxInstallerBytes = 256 * 1024 * 1024;
    static constexpr int kMaxRedirects = 5;
    // Asks a Yes/No question without waiting for the answer; `answer` is called with it.
    using Confirmer =
        std::function<void(const QString& question, std::function<void(bool yes)> answer)>;

    explicit Tdownload(const QPixmap& background, QWidget* parent = nullptr);
    ~Tdownload() override;

    // The installer's address; the part after its last "/" names the file written.
    void setdownloadurl(const QUrl& url) { downloadurl_ = url; }
    QUrl downloadurl() const { return downloadurl_; }
    // Where the lobby program is started from: tessarin-lobby beside the game or on PATH
    // unless set; empty when there is none.
    void setlobbypath(const QString& path) { lobbypath_ = path; }
    QString lobbypath() const { return lobbypath_; }
    // Where the installer is written: unless set, the user's download folder when there is
    // one, else the user's cache folder (defaultinstalldir()).
    void setinstalldir(const QString& dir) { installdir_ = dir; }
    QString installdir() const { return installdir_; }
    // Starts the installer and the lobby; QProcess::startDetached unless replaced.
    void setlauncher(Launcher launcher) { launcher_ = std::move(launcher); }
    // Ends the game as File, "Exit" does; called once the installer or the lobby has started.
    void setexitgame(std::function<void()> exitgame) { exitgame_ = std::move(exitgame); }
    // Asks before running an installer fetched over plain HTTP; a message box unless replaced.
    void setconfirmer(Confirmer confirmer) { confirmer_ = std::move(confirmer); }
    // kMaxInstallerBytes unless set.
    void setsizelimit(qint64 bytes) { sizelimit_ = bytes; }

    static QString defaultinstalldir();

    int state() const { return state_; }
    bool downloading() const { return reply_ != nullptr; }

    void getbuttonClick();
    void abortbuttonClick();
    void Button1Click();
    void Button2Click();

    QPushButton* getbutton;
    QPushButton* abortbutton;
    QLabel* infolabel;   // progress line
    QLabel* infolabel2;  // hidden: the installer's file name
    QLabel* infolabel3;  // status line
    QPushButton* Button1;
    QPushButton* Button2;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void HttpCli1HeaderData();
    void HttpCli1Redirected(const QUrl& to);
    void HttpCli1DocData();
    void HttpCli1RequestDone();
    // Whether the finished reply delivered the whole body it announced.
    bool complete(const QNetworkReply* reply) const;
    void confirmthenInstall();
    // Renames the whole download into place and runs it.
    void install();
    // A message box that does not block the event loop, so a running download goes on.
    void tell(const QString& text);

    QNetworkAccessManager* HttpCli1;
    QNetworkReply* reply_ = nullptr;
    std::unique_ptr<QSaveFile> file_;  // the download while it is not yet in place
    qint64 received_ = 0;
    bool headersseen_ = false;
    bool plainhttp_ = false;  // some response came over plain HTTP
    bool toolarge_ = false;
    QString writeerror_;
    int state_ = kIdle;
    bool centred_ = false;

    QUrl downloadurl_;
    QString lobbypath_;
    QString installdir_;
    Launcher launcher_ = startdetached;
    std::function<void()> exitgame_;
    Confirmer confirmer_;
    qint64 sizelimit_ = kMaxInstallerBytes;
};

}  // namespace tessarin::forms
