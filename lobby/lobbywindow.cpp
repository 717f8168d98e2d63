#include "lobbywindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "hostport.h"
#include "inifile.h"
#include "lobbyurl.h"
#include "protocol.h"
#include "tablelist.h"

namespace tessarin::lobby {

namespace {

const QString kNameKey = QStringLiteral("Name");
const QString kGameProgram = QStringLiteral("tessarin");

QPushButton* button(const QString& text, const QString& accessible, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAccessibleName(accessible);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

LobbyWindow::LobbyWindow(TableList& tables, QString settingsPath, QWidget* parent)
    : QMainWindow(parent),
      tables_(tables),
      settingsPath_(std::move(settingsPath)),
      gamepath_(findgame()),
      launcher_([](const QString& program, const QStringList& arguments) {
          return QProcess::startDetached(program, arguments);
      }) {
    setWindowTitle(QStringLiteral("Tessarin Lobby"));
    auto* central = new QWidget(this);
    setCentralWidget(central);

    auto* nameLabel = new QLabel(QStringLiteral("Your &name:"), central);
    edit_name = new QLineEdit(central);
    edit_name->setAccessibleName(QStringLiteral("Your name"));
    edit_name->setMaxLength(int(proto::kMaxNameLength));
    // No '+': names travel in '+'-separated fields.
    edit_name->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^+]*")), edit_name));
    edit_name->setText(
        IniFile(settingsPath_).readSection(kSection).value(kNameKey).value_or(QString()));
    nameLabel->setBuddy(edit_name);

    auto* tablesLabel = new QLabel(QStringLiteral("&Tables:"), central);
    view_tables = new QTableView(central);
    view_tables->setModel(&tables_);
    view_tables->setAccessibleName(QStringLiteral("Tables"));
    view_tables->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_tables->setSelectionMode(QAbstractItemView::SingleSelection);
    view_tables->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_tables->setTabKeyNavigation(false);
    view_tables->verticalHeader()->hide();
    view_tables->setWordWrap(false);
    // Every column as wide as its text; the last takes what the window has to spare.
    view_tables->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view_tables->horizontalHeader()->setStretchLastSection(true);
    view_tables->installEventFilter(this);
    tablesLabel->setBuddy(view_tables);
    connect(view_tables, &QTableView::doubleClicked, this, [this] { joinClick(); });
    // The first table heard of is selected, so that Enter joins it at once.
    connect(&tables_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (!view_tables->currentIndex().isValid()) view_tables->selectRow(0);
        showstatus();
    });
    connect(&tables_, &QAbstractItemModel::rowsRemoved, this, [this] { showstatus(); });

    label_status = new QLabel(central);
    label_status->setAccessibleName(QStringLiteral("Status"));
    label_status->setWordWrap(true);

    button_join =
        button(QStringLiteral("&Join"), QStringLiteral("Join the selected table"), central);
    button_watch =
        button(QStringLiteral("&Watch"), QStringLiteral("Watch the selected table"), central);
    button_host = button(QStringLiteral("&Host a Table"),
                         QStringLiteral("Host a table on this computer"), central);
    button_address = button(QStringLiteral("&Enter an Address..."),
                            QStringLiteral("Join a table at an address you enter"), central);
    connect(button_join, &QPushButton::clicked, this, [this] { joinClick(false); });
    connect(button_watch, &QPushButton::clicked, this, [this] { joinClick(true); });
    connect(button_host, &QPushButton::clicked, this, [this] { hostClick(); });
    button_public = button(QStringLiteral("&Public Lobby..."),
                           QStringLiteral("Set the public lobby whose tables are listed"), central);
    connect(button_address, &QPushButton::clicked, this, [this] { addressClick(); });
    connect(button_public, &QPushButton::clicked, this, [this] { publicClick(); });

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(edit_name, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {button_join, button_watch, button_host, button_address, button_public})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(nameRow);
    layout->addWidget(tablesLabel);
    layout->addWidget(view_tables, 1);
    layout->addWidget(label_status);
    layout->addLayout(buttons);
    setTabOrder(edit_name, view_tables);
    setTabOrder(view_tables, button_join);
    resize(980, 440);
    showstatus();
    view_tables->setFocus();
}

QString LobbyWindow::findgame() {
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(kGameProgram);
    const QFileInfo info(beside);
    if (info.isFile() && info.isExecutable()) return beside;
    return QStandardPaths::findExecutable(kGameProgram);
}

void LobbyWindow::gamerunning(bool running) {
    running_ = running;
    starting_ = false;
    showstatus();
    if (running) return;
    // The game has ended: back to the front for the next one.
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void LobbyWindow::setproblem(const QString& text) {
    problem_ = text;
    showstatus();
}

void LobbyWindow::setpublicproblem(const QString& text) {
    publicProblem_ = text;
    showstatus();
}

void LobbyWindow::showstatus() {
    QString text;
    if (running_)
        text = QStringLiteral("A game is running. The lobby comes back when it ends.");
    else if (starting_)
        text = QStringLiteral("Starting the game...");
    else if (!problem_.isEmpty() || !publicProblem_.isEmpty())
        text = QStringList{problem_, publicProblem_}.join(' ').trimmed();
    else if (tables_.rowCount() == 0)
        text = QStringLiteral("Looking for tables on the local network...");
    else
        text =
            (tables_.rowCount() == 1 ? QStringLiteral("1 table found.")
                                     : QStringLiteral("%1 tables found.").arg(tables_.rowCount())) +
            QStringLiteral(" Choose one and press Enter to join it.");
    label_status->setText(text);
}

QString LobbyWindow::playername() {
    const QString name = edit_name->text().trimmed();
    if (name.isEmpty()) {
        tell(QStringLiteral("Type your name first: the other players see it."));
        edit_name->setFocus();
        return {};
    }
    IniFile(settingsPath_).write(kSection, kNameKey, name);
    return name;
}

bool LobbyWindow::startgame(const QStringList& arguments) {
    if (gamepath_.isEmpty()) {
        tell(
            QStringLiteral("The game program \"tessarin\" was found neither beside the lobby nor "
                           "on PATH."));
        return false;
    }
    if (!launcher_(gamepath_, arguments)) {
        tell(QStringLiteral("The game could not be started (%1).").arg(gamepath_));
        return false;
    }
    starting_ = true;
    showstatus();
    // A game that never opens the link (it could not reach the table) leaves the lobby as it was.
    QTimer::singleShot(kStartingMs, this, [this] {
        starting_ = false;
        showstatus();
    });
    return true;
}

void LobbyWindow::joinClick(bool watch) {
    const QModelIndex current = view_tables->currentIndex();
    if (!current.isValid()) {
        tell(QStringLiteral("Choose a table first, or host one."));
        return;
    }
    const QString name = playername();
    if (name.isEmpty()) return;
    QStringList arguments{name, tables_.table(current.row()).address, QStringLiteral("false")};
    if (watch) arguments << QStringLiteral("watch");
    startgame(arguments);
}

void LobbyWindow::hostClick() {
    const QString name = playername();
    if (!name.isEmpty()) startgame({name, QStringLiteral("127.0.0.1"), QStringLiteral("true")});
}

void LobbyWindow::addressClick() {
    auto* dialog = new QInputDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Enter an Address"));
    dialog->setLabelText(QStringLiteral("The table's address: HOST, HOST:PORT or [IPv6]:PORT"));
    dialog->setAccessibleName(QStringLiteral("Address of the table"));
    connect(dialog, &QInputDialog::textValueSelected, this,
            [this](const QString& address) { joinaddress(address); });
    dialog->open();  // no nested event loop: the list goes on updating
}

void LobbyWindow::publicClick() {
    auto* dialog = new QInputDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Public Lobby"));
    dialog->setLabelText(
        QStringLiteral("The public lobby's address, such as http://lobby.example.org:%1 "
                       "(empty: none)")
            .arg(kLobbyPort));
    dialog->setAccessibleName(QStringLiteral("Address of the public lobby"));
    dialog->setTextValue(publiclobby());
    connect(dialog, &QInputDialog::textValueSelected, this,
            [this](const QString& address) { setpubliclobby(address); });
    dialog->open();
}

QString LobbyWindow::publiclobby() const {
    return IniFile(settingsPath_).readSection(kSection).value(kPublicLobbyKey).value_or(QString());
}

bool LobbyWindow::setpubliclobby(const QString& address) {
    const QString typed = address.trimmed();
    if (!typed.isEmpty() && !lobbyUrl(typed)) {
        tell(QStringLiteral("\"%1\" is not a lobby's address: type http:// and its host name or "
                            "address, and a colon and its port where it is not on port %2.")
                 .arg(typed)
                 .arg(kLobbyPort));
        return false;
    }
    IniFile(settingsPath_).write(kSection, kPublicLobbyKey, typed);
    emit publicLobbyChanged(typed);
    return true;
}

bool LobbyWindow::joinaddress(const QString& address) {
    const QString typed = address.trimmed();
    if (!proto::parseHostPort(typed.toStdString(), proto::kPort)) {
        tell(QStringLiteral("\"%1\" is not an address: type a host name or address, and a port "
                            "after a colon where the table is not on port %2 (HOST, HOST:PORT or "
                            "[IPv6]:PORT).")
                 .arg(typed)
                 .arg(proto::kPort));
        return false;
    }
    const QString name = playername();
    return !name.isEmpty() && startgame({name, typed, QStringLiteral("false")});
}

bool LobbyWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_tables && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            joinClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void LobbyWindow::closeEvent(QCloseEvent* event) {
    const QString name = edit_name->text().trimmed();
    if (!name.isEmpty()) IniFile(settingsPath_).write(kSection, kNameKey, name);
    QMainWindow::closeEvent(event);
}

void LobbyWindow::tell(const QString& text) {
    if (teller_) {
        teller_(text);
        return;
    }
    auto* box =
        new QMessageBox(QMessageBox::Information, windowTitle(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace tessarin::lobby
