#include "downloadform.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "background.h"
#include "endpoints.h"
#include "jpegdecode.h"
#include "picture_resources.h"

namespace tessarin::forms {
namespace {

constexpr char kPicture[] = ":/pictures/download.jpg";
constexpr QSize kPictureSize(300, 150);

bool succeeded(const QNetworkReply* reply) {
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status < 300;
}

bool plain(const QUrl& url) {
    return url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0;
}

// A message box with Yes and No that does not block the event loop.
void askInABox(QWidget* parent, const QString& question, std::function<void(bool)> answer) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Tessarin"), question,
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, parent, [box, answer = std::move(answer)] {
        answer(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    box->open();
}

// The banner; a missing or damaged picture leaves the space empty.
QPixmap banner() {
    initPictureResources();
    QFile file(QString::fromLatin1(kPicture));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QPixmap::fromImage(decodejpeg(file.readAll()).image);
}

QLabel* wrapped(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QFrame* panel(const QString& name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setStyleSheet(QStringLiteral("QFrame#%1 { background: rgba(255, 255, 255, 120);"
                                        " border: 1px solid #7c8a6c; border-radius: 6px; }")
                             .arg(name));
    return frame;
}

}  // namespace

Tdownload::Tdownload(const QPixmap& background, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      downloadurl_(QString::fromLatin1(kDefaultInstallerUrl)),
#ifdef Q_OS_WIN
      lobbypath_(QString::fromLatin1(kDefaultLobbyPath)),
#else
      lobbypath_(findprogram(QString::fromLatin1(kLobbyProgram))),
#endif
      installdir_(defaultinstalldir()) {
    setWindowTitle(QStringLiteral("Download The Zorvik Lobby"));
    setbackground(this, background);

    auto* picture = new QLabel(this);
    picture->setFixedSize(kPictureSize);
    picture->setPixmap(banner());
    picture->setFrameShape(QFrame::Box);
    auto* closed = new QLabel(QStringLiteral("IS CLOSED"), picture);
    closed->setStyleSheet(QStringLiteral(
        "color: #fff7e0; background: #b5452a; border: 2px solid #fff7e0; padding: 0px 6px;"
        " font-weight: bold; font-size: 11px;"));
    closed->adjustSize();
    // The banner's top right corner is clear of its title.
    closed->move(kPictureSize.width() - closed->width() - 5, 4);

    auto* invitation = wrapped(
        QStringLiteral("Download The Zorvik Lobby Now to play this  and other exciting games "
                       "online with other players! "),
        this);
    QFont bold = invitation->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    invitation->setFont(bold);

    getbutton = new QPushButton(QStringLiteral("Download And Install The Zorvik Lobby Now"), this);
    getbutton->setObjectName(QStringLiteral("getbutton"));
    abortbutton = new QPushButton(QStringLiteral("Stop Download"), this);
    abortbutton->setObjectName(QStringLiteral("abortbutton"));
    abortbutton->setEnabled(false);
    connect(getbutton, &QPushButton::clicked, this, [this] { getbuttonClick(); });
    connect(abortbutton, &QPushButton::clicked, this, [this] { abortbuttonClick(); });
    auto* downloadRow = new QHBoxLayout;
    downloadRow->addStretch();
    downloadRow->addWidget(getbutton);
    downloadRow->addWidget(abortbutton);
    downloadRow->addStretch();

    infolabel = wrapped(QString(), this);
    infolabel->setObjectName(QStringLiteral("infolabel"));
    infolabel2 = new QLabel(this);
    infolabel2->setObjectName(QStringLiteral("infolabel2"));
    infolabel2->hide();
    infolabel3 = wrapped(QString(), this);
    infolabel3->setObjectName(QStringLiteral("infolabel3"));
    for (QLabel* line : {infolabel, infolabel3}) line->setMinimumHeight(line->sizeHint().height());

    QFrame* solo = panel(QStringLiteral("solopanel"), this);
    Button1 = new QPushButton(QStringLiteral("Play Solo Game"), solo);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    auto* soloLayout = new QVBoxLayout(solo);
    soloLayout->addWidget(wrapped(
        QStringLiteral("To proceed to the game without the ability to play against others click "
                       "the button below."),
        solo));
    soloLayout->addWidget(Button1, 0, Qt::AlignHCenter);
    soloLayout->addWidget(wrapped(
        QStringLiteral("Note: Even if you are playing offline, you will need to configure your "
                       "FIREWALL to allow the game to access the internet components."),
        solo));

    QFrame* lobby = panel(QStringLiteral("lobbypanel"), this);
    Button2 = new QPushButton(QStringLiteral("Play with Others"), lobby);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    auto* lobbyLayout = new QVBoxLayout(lobby);
    lobbyLayout->addWidget(wrapped(
        QStringLiteral("If you already have The Zorvik Lobby and you wish to play with others "
                       "then click the button below to close this game and open The Zorvik "
                       "Lobby."),
        lobby));
    lobbyLayout->addWidget(Button2, 0, Qt::AlignHCenter);
    lobbyLayout->addStretch();

    auto* panels = new QHBoxLayout;
    panels->setSpacing(14);
    panels->addWidget(solo, 1);
    panels->addWidget(lobby, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(10);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(invitation);
    layout->addLayout(downloadRow);
    layout->addWidget(infolabel);
    layout->addWidget(infolabel3);
    layout->addStretch();
    layout->addLayout(panels);
    setFixedSize(724, 500);

    HttpCli1 = new QNetworkAccessManager(this);
    HttpCli1->setProxy(QNetworkProxy::NoProxy);
    confirmer_ = [this](const QString& question, std::function<void(bool)> answer) {
        askInABox(this, question, std::move(answer));
    };
}

QString Tdownload::defaultinstalldir() {
    // An installed copy's own folder is not the user's to write, nor the place for it.
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QFileInfo(downloads).isDir()) return downloads;
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}

Tdownload::~Tdownload() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void Tdownload::showEvent(QShowEvent* event) {
    if (!centred_) {
        centred_ = true;
        if (const QScreen* desktop = screen())
            move(desktop->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void Tdownload::getbuttonClick() {
    if (reply_) return;
    state_ = kStarted;
    const QString name = downloadurl_.fileName();
    infolabel2->setText(name);
    file_ = std::make_unique<QSaveFile>(QDir(installdir_).filePath(name));
    // Unbuffered, so a full disk shows at the write that fails and not after the download.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        state_ = kFailed;
        tell(file_->errorString());
        file_.reset();
        return;
    }
    getbutton->setEnabled(false);
    abortbutton->setEnabled(true);
    infolabel->setText(QStringLiteral("Loading"));

    received_ = 0;
    headersseen_ = false;
    plainhttp_ = plain(downloadurl_);
    toolarge_ = false;
    writeerror_.clear();
    QNetworkRequest request(downloadurl_);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Mozilla/3.0 (compatible)"));
    request.setRawHeader("Accept", "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // HTTP to HTTP(S) and HTTPS to HTTPS only.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    reply_ = HttpCli1->get(request);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &Tdownload::HttpCli1HeaderData);
    connect(reply_, &QNetworkReply::redirected, this, &Tdownload::HttpCli1Redirected);
    connect(reply_, &QNetworkReply::readyRead, this, &Tdownload::HttpCli1DocData);
    // Queued, so that "Stop Download" has finished its texts before the end is handled,
    // whether or not the reply reports the abort at once.
    connect(reply_, &QNetworkReply::finished, this, &Tdownload::HttpCli1RequestDone,
            Qt::QueuedConnection);
}

void Tdownload::HttpCli1HeaderData() {
    if (headersseen_) return;
    headersseen_ = true;
    infolabel->setText(infolabel->text() +
                       QString(reply_->rawHeaderPairs().size(), QLatin1Char('.')));
    if (!succeeded(reply_)) return;
    infolabel3->setText(QStringLiteral("Downloading: ") + infolabel2->text());
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > sizelimit_) {
        toolarge_ = true;
        reply_->abort();
    }
}

void Tdownload::HttpCli1Redirected(const QUrl& to) {
    // Another response follows, whose headers are read afresh. The policy has already
    // refused any scheme but HTTP(S), and HTTPS to HTTP.
    headersseen_ = false;
    plainhttp_ = plainhttp_ || plain(to);
}

void Tdownload::HttpCli1DocData() {
    const QByteArray data = reply_->readAll();
    // The body of an error answer is a page about the error, not the installer.
    if (!succeeded(reply_)) return;
    if (received_ + data.size() > sizelimit_) {
        toolarge_ = true;
        reply_->abort();
        return;
    }
    if (file_->write(data) != data.size()) {
        writeerror_ = file_->errorString();
        reply_->abort();
        return;
    }
    received_ += data.size();
    infolabel->setText(QString::number(received_) + QStringLiteral(" bytes"));
}

bool Tdownload::complete(const QNetworkReply* reply) const {
    if (reply->error() != QNetworkReply::NoError || !succeeded(reply) || toolarge_ ||
        !writeerror_.isEmpty())
        return false;
    // A chunked body ends with a last chunk of its own, which the reply checks; any other
    // body is whole only when as long as announced, as a closed connection proves nothing.
    if (reply->rawHeader("Transfer-Encoding").toLower().contains("chunked")) return true;
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    return length.isValid() && length.toLongLong() == received_;
}

void Tdownload::HttpCli1RequestDone() {
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->deleteLater();
    if (complete(reply)) {
        infolabel->setText(QStringLiteral("Received ") + QString::number(received_) +
                           QStringLiteral(" bytes"));
    } else {
        infolabel->setText(QStringLiteral("Download Aborted"));
        state_ = kFailed;
    }
    getbutton->setEnabled(true);
    abortbutton->setEnabled(false);
    if (!writeerror_.isEmpty()) tell(writeerror_);
    if (state_ == kFailed) {
        file_.reset();  // the temporary file goes; an earlier installer stays as it was
        return;
    }
    if (plainhttp_)
        confirmthenInstall();
    else
        install();
}

void Tdownload::confirmthenInstall() {
    getbutton->setEnabled(false);
    const QString question =
        QStringLiteral(
            "The installer %1 came over plain HTTP, so anyone on the way could have "
            "changed it. Run it anyway?")
            .arg(infolabel2->text());
    confirmer_(question, [this](bool yes) {
        getbutton->setEnabled(true);
        if (yes) {
            install();
            return;
        }
        file_.reset();
        state_ = kFailed;
        infolabel3->setText(QStringLiteral("Download Aborted"));
    });
}

void Tdownload::install() {
    const QString installer = file_->fileName();
    const bool renamed = file_->commit();
    const QString error = file_->errorString();
    file_.reset();
    if (!renamed) {
        state_ = kFailed;
        infolabel3->setText(QStringLiteral("Download Aborted"));
        tell(error);
        return;
    }
    infolabel3->setText(QStringLiteral("Installing"));
    // A downloaded file is not executable until it is made so.
    QFile::setPermissions(
        installer, QFile::permissions(installer) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    const QStringList arguments = {QStringLiteral("/SP-"), QStringLiteral("/silent"),
                                   QStringLiteral("/noicons")};
    if (!launcher_(installer, arguments)) {
        tell(QStringLiteral("An Error has Occurred."));
        return;
    }
    if (exitgame_) exitgame_();
}

void Tdownload::abortbuttonClick() {
    if (reply_) reply_->abort();
    infolabel->setText(QStringLiteral("Download has been aborted."));
    state_ = kFailed;
    infolabel3->setText(QStringLiteral("Download Aborted"));
}

void Tdownload::Button1Click() {
    hide();
}

void Tdownload::Button2Click() {
    if (lobbypath_.isEmpty() || !QFileInfo(lobbypath_).isFile()) {
        tell(
            QStringLiteral("Please close the game and open the Zorvik Lobby using the icon on "
                           "your desktop or using the your Window's start-up menu."));
        return;
    }
    // The game ends only when the lobby that replaces it has started.
    if (!launcher_(lobbypath_, {})) {
        tell(QStringLiteral("An Error has Occurred."));
        return;
    }
    if (exitgame_) exitgame_();
}

void Tdownload::tell(const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Tessarin"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace tessarin::forms
