#include "ttallylist.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include <cstdio>
#include <exception>

namespace tessarin {

namespace {

constexpr int kOwnShown = 2;      // "Total Games:" and "Your Wins"; columns 3, 4 are hidden
constexpr int kOwnLabels = 4;     // mylabel_1..4
constexpr int kPlayerLabels = 8;  // label_1..8

QListWidgetItem* checkableItem(const QString& text, bool checked) {
    auto* item = new QListWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& at) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(at);
    return l;
}

}  // namespace

TallyPrompts messageBoxPrompts() {
    return {
        [](QWidget* parent, const QString& question) {
            return QMessageBox::question(parent, QStringLiteral("Confirm"), question,
                                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        },
        [](QWidget* parent, const QString& message) {
            // Not exec(): a box that waited here would hold up the windows behind it.
            auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Tessarin"), message,
                                        QMessageBox::Ok, parent);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(Qt::NonModal);
            box->show();
        },
        [](const QString& message) { std::fprintf(stderr, "tessarin: %s\n", qPrintable(message)); },
    };
}

Ttallylist::Ttallylist(QWidget* mainWindow, TallyPaths paths, TallyPrompts prompts)
    : QDialog(mainWindow), paths_(std::move(paths)), prompts_(std::move(prompts)) {
    setWindowTitle(QStringLiteral("Tessarin - Tally List"));
    setFixedSize(475, 347);
    buildControls();
    try {
        loadTallyFile(paths_.load, tally_);
    } catch (const std::exception& e) {
        // The figures stay empty; the unreadable file is kept aside when saving (see below).
        loadFailed_ = true;
        prompts_.inform(mainWindow,
                        QStringLiteral("The tally file could not be read:\n") +
                            QString::fromStdString(e.what()) +
                            QStringLiteral("\n\nThe tally starts afresh. The file is kept as "
                                           "%1.bad when the game ends.")
                                .arg(paths_.load));
    }
    loadtally();
}

Ttallylist::~Ttallylist() {
    if (const QString failed = save(); !failed.isEmpty()) prompts_.informAtEnd(failed);
}

QString Ttallylist::save() {
    // Saving over a file this run could not read would lose whatever it holds.
    if (loadFailed_ && paths_.load == paths_.save) {
        if (!keepUnreadable(paths_.save))
            return QStringLiteral(
                       "The tally was not saved: %1 could not be read, nor kept "
                       "aside as %1.bad.")
                .arg(paths_.save);
        loadFailed_ = false;
    }
    try {
        saveTallyFile(paths_.save, tally_);
    } catch (const std::exception& e) {
        // The earlier file is still in place.
        return QStringLiteral("The tally was not saved: ") + QString::fromStdString(e.what());
    }
    return {};
}

void Ttallylist::buildControls() {
    label(this, QStringLiteral("Players In Current Game"), {8, 8, 150, 16});
    checklist_ = new QListWidget(this);
    checklist_->setObjectName(QStringLiteral("checklist"));
    checklist_->setAccessibleName(QStringLiteral("Players In Current Game"));
    checklist_->setGeometry(8, 26, 150, 140);

    label(this, QStringLiteral("Players Being Tallied"), {317, 8, 150, 16});
    listbox_tally_ = new QListWidget(this);
    listbox_tally_->setObjectName(QStringLiteral("listbox_tally"));
    listbox_tally_->setAccessibleName(QStringLiteral("Players Being Tallied"));
    listbox_tally_->setGeometry(317, 26, 150, 140);

    auto* own = new QGroupBox(QStringLiteral("Your Total Tally"), this);
    own->setGeometry(166, 20, 143, 80);
    label(own, QStringLiteral("Total Games:"), {10, 26, 80, 16});
    label(own, QStringLiteral("Your Wins"), {10, 50, 80, 16});
    for (int col = 1; col <= kOwnLabels; ++col) {
        mylabel_[col] = label(own, QStringLiteral("0"), {94, 2 + 24 * col, 44, 16});
        mylabel_[col]->setObjectName(QStringLiteral("mylabel_%1").arg(col));
        mylabel_[col]->setVisible(col <= kOwnShown);
    }

    auto* detail = new QGroupBox(this);
    detail->setGeometry(8, 176, 459, 126);
    label_hisnametop_ = label(detail, QString(), {10, 6, 439, 18});
    label_hisnametop_->setObjectName(QStringLiteral("label_hisnametop"));
    label_hisnametop_->setAlignment(Qt::AlignHCenter);
    label(detail, QStringLiteral("Total"), {240, 28, 80, 16});
    label(detail, QStringLiteral("Session"), {340, 28, 80, 16});
    label(detail, QStringLiteral("Number of Games"), {10, 48, 220, 16});
    // Until a player is chosen: no name of anyone.
    label_hisname_ = label(detail, QStringLiteral("Their Wins:"), {10, 66, 220, 16});
    label_hisname_->setObjectName(QStringLiteral("label_hisname"));
    label(detail, QStringLiteral("Your Wins:"), {10, 84, 220, 16});
    label(detail, QStringLiteral("Neither Won:"), {10, 102, 220, 16});
    for (int col = 1; col <= kPlayerLabels; ++col) {
        const int line = (col - 1) % 4;
        const int x = col <= 4 ? 240 : 340;
        label_[col] = label(detail, QStringLiteral("0"), {x, 48 + 18 * line, 80, 16});
        label_[col]->setObjectName(QStringLiteral("label_%1").arg(col));
    }

    button_reset_ = new QPushButton(QStringLiteral("Reset Tally"), this);
    button_reset_->setObjectName(QStringLiteral("button_reset"));
    button_reset_->setGeometry(8, 312, 100, 27);
    button_done_ = new QPushButton(QStringLiteral("Done"), this);
    button_done_->setObjectName(QStringLiteral("button_done"));
    button_done_->setDefault(true);
    button_done_->setGeometry(367, 312, 100, 27);

    connect(checklist_, &QListWidget::itemChanged, this, &Ttallylist::checklistClickCheck);
    connect(listbox_tally_, &QListWidget::itemChanged, this, &Ttallylist::listbox_tallyClickCheck);
    connect(listbox_tally_, &QListWidget::currentRowChanged, this, &Ttallylist::listbox_tallyClick);
    connect(listbox_tally_, &QListWidget::itemClicked, this, &Ttallylist::listbox_tallyClick);
    connect(button_reset_, &QPushButton::clicked, this, &Ttallylist::button_resetClick);
    connect(button_done_, &QPushButton::clicked, this, &Ttallylist::button_doneClick);
}

void Ttallylist::showEvent(QShowEvent* event) {
    if (QWidget* main = parentWidget()) move(main->frameGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void Ttallylist::loadtally() {
    showOwnFigures();
    const QSignalBlocker quiet(listbox_tally_);
    listbox_tally_->clear();
    for (const QString& name : tally_.tallied()) listbox_tally_->addItem(checkableItem(name, true));
}

void Ttallylist::showOwnFigures() {
    for (int col = 1; col <= kOwnLabels; ++col) mylabel_[col]->setText(tally_.cell(col, 0));
}

void Ttallylist::loadchecklist(const QStringList& seatNames, int myseat) {
    seatNames_ = seatNames;
    myseat_ = myseat;
    refillChecklist();
}

void Ttallylist::refillChecklist() {
    const QSignalBlocker quiet(checklist_);
    checklist_->clear();
    for (int seat = 1; seat <= kSeatCount && seat <= seatNames_.size(); ++seat) {
        const QString& name = seatNames_[seat - 1];
        if (seat == myseat_ || name == kWaiting) continue;
        checklist_->addItem(checkableItem(name, tally_.findTallied(name) >= 0));
    }
}

void Ttallylist::addgame(const QString& text) {
    if (myseat_ > kSeatCount) return;
    refillChecklist();
    QStringList opponents;
    for (int i = 0; i < checklist_->count(); ++i) opponents << checklist_->item(i)->text();
    tally_.addgame(text, opponents);
    showOwnFigures();
    if (listbox_tally_->currentRow() >= 0) listbox_tallyClick();
}

void Ttallylist::checklistClickCheck(QListWidgetItem* item) {
    const QString name = item->text();
    if (tally_.follow(name)) {
        // As the grid holds it, so that the list and the rows stay paired by name too.
        const QSignalBlocker quiet(listbox_tally_);
        listbox_tally_->addItem(checkableItem(TTally::cleanName(name), true));
    }
    // Unchecking here does not stop following (that is done in the tallied list), so the
    // mark goes back to what is true.
    const QSignalBlocker quiet(checklist_);
    item->setCheckState(Qt::Checked);
}

void Ttallylist::listbox_tallyClickCheck(QListWidgetItem* item) {
    if (item->checkState() == Qt::Checked) return;
    const int index = listbox_tally_->row(item);
    const QString question = QStringLiteral("This will delete ") + item->text() +
                             QStringLiteral("'s Tally, Are you want to delete it?");
    const QSignalBlocker quiet(listbox_tally_);
    if (prompts_.confirm(this, question)) {
        tally_.moverow(index + 1);
        delete listbox_tally_->takeItem(index);
        refillChecklist();
    } else {
        item->setCheckState(Qt::Checked);
    }
}

void Ttallylist::listbox_tallyClick() {
    const int row = listbox_tally_->currentRow() + 1;
    if (row < 1) return;
    for (int col = 1; col <= kPlayerLabels; ++col) label_[col]->setText(tally_.cell(col, row));
    const QString& name = tally_.cell(0, row);
    label_hisname_->setText(name + QStringLiteral(" Wins:"));
    label_hisnametop_->setText(name + QStringLiteral("'s Tally"));
}

void Ttallylist::button_resetClick() {
    if (!prompts_.confirm(this, QStringLiteral("Are you sure you want to reset the Tally?")))
        return;
    tally_.reset();
    for (int col = 1; col <= kOwnLabels; ++col) mylabel_[col]->setText(QStringLiteral("0"));
    {
        const QSignalBlocker quiet(listbox_tally_);
        listbox_tally_->clear();
    }
    for (int col = 1; col <= kPlayerLabels; ++col) label_[col]->setText(QStringLiteral("0"));
    refillChecklist();
}

void Ttallylist::button_doneClick() {
    hide();
}

}  // namespace tessarin
