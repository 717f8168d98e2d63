// The main window's creation: its state, its panels and its menus.
#include "tchat.h"

#include <QApplication>
#include <QEvent>
#include <QMenuBar>

#include "boardlayout.h"
#include "boardscale.h"
#include "chatentry.h"
#include "chatpanel.h"
#include "optionsmenu.h"
#include "pictures.h"
#include "sound_resources.h"
#include "soundplayer.h"
#include "tboard.h"
#include "tessarinsettings.h"
#include "ttallylist.h"

namespace tessarin {

Tchat::Tchat(QString settingsPath, QWidget* parent)
    : QMainWindow(parent), settings_(new TessarinSettings(std::move(settingsPath))) {
    setWindowTitle(QStringLiteral("Tessarin by Zorvik Software"));
    setGeometry(kDefaultBounds);

    // The window may grow but never hides the board: its client area stays at least the
    // board panel plus a 2-pixel margin all round. The board grows with it (fitboard).
    auto* client = new QWidget(this);
    client->setMinimumSize(board::layout::kPanelWidth + 4, board::layout::kPanelHeight + 4);
    client->installEventFilter(this);
    board_ = new board::TBoard(*this, client);
    board_->move(2, 2);
    setCentralWidget(client);
    chat_ = new chat::ChatPanel(board_);
    chat_->setGeometry(board_->chatarea());
    chat_->setSender([this](const std::string& message) { send(message); });
    chat_->setSmileyProvider([](int index) { return pictures::smiley(index); });
    for (int button = 1; button <= chat::ChatPanel::kPhraseButtons; ++button)
        chat_->setPhraseButtonFace(button, pictures::phraseButton(button));
    chat_->setPhraseButtonFace(10, pictures::soundButton());
    chat_->setSmileyButtonFace(pictures::smileyButton());
    connect(chat_, &chat::ChatPanel::entryEscaped, this, &Tchat::keystoboard);
    connect(chat_, &chat::ChatPanel::phrasesEdited, this, [this](const QStringList& phrases) {
        std::array<QString, 9> saved;
        for (int i = 0; i < 9 && i < phrases.size(); ++i) saved[i] = phrases[i];
        reportsave(settings_->savephrases(saved));
    });
    initSoundResources();
    sounds_ = new SoundPlayer(QStringLiteral(":/sounds/"), this);

    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, QBrush(pictures::background()));
    setPalette(palette);

    buildmenus();
    connect(board_, &board::TBoard::seatmenurequested, this, &Tchat::label_playername1ContextPopup);
    connect(board_, &board::TBoard::logoclicked, this, [this] {
        if (hooks_.openwebpage) hooks_.openwebpage();
    });

    link_.dispatchLine = [this](std::string_view line) { processsocktimer(line); };
    link_.tickHook = [this] { chat_->phraseTick(); };
    link_.keepTicking = [this] { return !chat_->phraseready(); };
    link_.onClosed = [this] { connectionclosed(); };
    connect(&redial_, &QTimer::timeout, this, &Tchat::redial);

    board_->clearall();
}

Tchat::~Tchat() {
    delete settings_;
}

void Tchat::attach(board::Tgamestart* gamestart, Ttallylist* tally) {
    gamestart_ = gamestart;
    tally_ = tally;
    board_->setgamestartwindow(gamestart);
}

bool Tchat::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) fitboard();
    return QMainWindow::eventFilter(watched, event);
}

void Tchat::fitboard() {
    QWidget* client = centralWidget();
    // The client area this window has at its default size: the same menu bar above it.
    const QSize defaultClient = kDefaultBounds.size() - (size() - client->size());
    const board::BoardFit fit = board::fitboard(client->size(), defaultClient);
    board_->fit(fit.scale, fit.panel);
    chat_->setGeometry(board_->chatarea());
    chat_->setScale(fit.scale);
}

void Tchat::keystoboard() {
    board_->setFocus(Qt::OtherFocusReason);
}

void Tchat::setPorts(int gamePort, int lobbyPort) {
    gamePort_ = gamePort;
    lobbyPort_ = lobbyPort;
}

void Tchat::buildmenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    StartGame1 = file->addAction(QStringLiteral("Start Game"), QKeySequence(Qt::Key_F2), board_,
                                 &board::TBoard::button_startClick);
    StartGame1->setEnabled(false);
    file->addSeparator();
    file->addAction(QStringLiteral("Exit"), this, &QWidget::close);

    QMenu* optionsMenu = menuBar()->addMenu(QStringLiteral("&Options"));
    options_ = new OptionsMenu(optionsMenu);
    connect(options_, &OptionsMenu::changed, this,
            [this](OptionsMenu::Option option) { applyoption(static_cast<int>(option)); });
    optionsMenu->addSeparator();
    optionsMenu->addAction(chat_->scrollChatOffAction());
    optionsMenu->addAction(chat_->clearMainChatAction());
    optionsMenu->addAction(QStringLiteral("Reset Screen Location"), this,
                           &Tchat::ResetScreenLocation1Click);
    JustWatch1 = optionsMenu->addAction(QStringLiteral("Just Watch"));
    JustWatch1->setCheckable(true);
    // The check mark follows the server's answer, not the click.
    connect(JustWatch1, &QAction::triggered, this, [this] {
        JustWatch1->setChecked(justwatch_);
        JustWatch1Click();
    });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->addAction(QStringLiteral("Spy List"), this, [this] {
        if (hooks_.showspylist) hooks_.showspylist();
    });
    view->addAction(QStringLiteral("View Tally"), this, &Tchat::ViewTally1Click);
    view->addAction(QStringLiteral("Phrase List"), chat_, &chat::ChatPanel::PrhaseList1Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("Content"), QKeySequence(Qt::Key_F1), this, [this] {
        if (hooks_.showhelp) hooks_.showhelp();
    });
    help->addAction(QStringLiteral("Quick Instructions"), QKeySequence(Qt::CTRL | Qt::Key_I),
                    board_, &board::TBoard::showhelp);
    help->addAction(QStringLiteral("About"), this, [this] {
        if (hooks_.showabout) hooks_.showabout();
    });

    popup_kick = new QMenu(this);
    RemoveFromGame1 = popup_kick->addAction(QStringLiteral("Remove From Game"), this,
                                            &Tchat::RemoveFromGame1Click);
    SettoJustWatch1 = popup_kick->addAction(QStringLiteral("Set to Just Watch"), this,
                                            &Tchat::SettoJustWatch1Click);
    UnsetJustWatch1 = popup_kick->addAction(QStringLiteral("Unset Just Watch"), this,
                                            &Tchat::UnsetJustWatch1Click);
}

}  // namespace tessarin
