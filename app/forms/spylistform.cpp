#include "spylistform.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "background.h"

namespace tessarin::forms {

Tspylist::Tspylist(const QPixmap& background, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Tessarin - Spys"));
    setbackground(this, background);

    label_spylist = new QLabel(QStringLiteral("Spy List"), this);
    QFont heading = label_spylist->font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 2);
    label_spylist->setFont(heading);
    label_spylist->setAlignment(Qt::AlignCenter);

    listbox_spys = new QListWidget(this);
    listbox_spys->setObjectName(QStringLiteral("listbox_spys"));
    listbox_spys->setAccessibleName(QStringLiteral("Spy List"));
    listbox_spys->setMouseTracking(true);
    listbox_spys->viewport()->installEventFilter(this);
    listbox_spys->setContextMenuPolicy(Qt::DefaultContextMenu);

    popup_spys = new QMenu(this);
    popup_kickhim = popup_spys->addAction(QStringLiteral("Remove From Game"));
    popup_kickhim->setObjectName(QStringLiteral("popup_kickhim"));
    popup_kickhim->setEnabled(false);
    connect(popup_kickhim, &QAction::triggered, this, [this] { popup_kickhimClick(); });

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setDefault(true);
    connect(button_done, &QPushButton::clicked, this, [this] { button_doneClick(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->addWidget(label_spylist);
    layout->addWidget(listbox_spys);
    layout->addWidget(button_done, 0, Qt::AlignHCenter);
    setFixedSize(220, 280);
}

QString Tspylist::spyline(int seat, const QString& name) {
    return QString::number(seat) + QStringLiteral(": ") + name;
}

void Tspylist::addspy(int seat, const QString& name) {
    const QString prefix = spyline(seat, {});
    for (int i = 0; i < listbox_spys->count(); ++i) {
        if (listbox_spys->item(i)->text().startsWith(prefix)) {
            listbox_spys->item(i)->setText(spyline(seat, name));
            return;
        }
    }
    listbox_spys->addItem(spyline(seat, name));
}

int Tspylist::findspy(int seat, const QString& name) const {
    const QString line = spyline(seat, name);
    for (int i = 0; i < listbox_spys->count(); ++i)
        if (listbox_spys->item(i)->text() == line) return i;
    return -1;
}

bool Tspylist::removespy(int seat, const QString& name) {
    const int index = findspy(seat, name);
    if (index < 0) return false;
    delete listbox_spys->takeItem(index);
    // Keep the tag on the line it pointed at, so an open menu cannot remove a neighbour.
    if (index == listtag_)
        listtag_ = -1;
    else if (index < listtag_)
        --listtag_;
    updatekick();
    return true;
}

void Tspylist::enablekick(bool enabled) {
    kickallowed_ = enabled;
    updatekick();
}

void Tspylist::updatekick() {
    popup_kickhim->setEnabled(kickallowed_ && listtag_ >= 0 && listtag_ < listbox_spys->count());
}

void Tspylist::listbox_spysMouseMove(const QPoint& position) {
    const QModelIndex index = listbox_spys->indexAt(position);
    listtag_ = index.isValid() ? index.row() : -1;
    updatekick();
}

void Tspylist::popup_kickhimClick() {
    if (listtag_ < 0 || listtag_ >= listbox_spys->count()) return;
    const QString line = listbox_spys->item(listtag_)->text();
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0) return;
    bool ok = false;
    const int seat = line.left(colon).toInt(&ok);
    if (ok && kicking_) kicking_(seat);
}

void Tspylist::button_doneClick() {
    hide();
}

bool Tspylist::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listbox_spys->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            listbox_spysMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        } else if (event->type() == QEvent::ContextMenu) {
            // The menu acts on the line where it was asked for, even if no move preceded it.
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            listbox_spysMouseMove(menuEvent->pos());
            // The spectator the menu acts on shows as selected; none on the empty part.
            listbox_spys->setCurrentRow(listtag_);
            popup_spys->popup(menuEvent->globalPos());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tessarin::forms
