// The panel's menus: the chat view's, the smilies' and the chatter sounds'.
#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

#include "chatline.h"
#include "chatpanel.h"
#include "chattersounds.h"

namespace tessarin::chat {
namespace {

// Menus of the picture buttons open at the button's lower right corner.
void popupBelow(QMenu* menu, QToolButton* button) {
    menu->popup(button->mapToGlobal(button->rect().bottomRight()));
}

}  // namespace

void ChatPanel::buildMenus() {
    popup_mainchat = new QMenu(this);
    popup_mainchat->setObjectName(QStringLiteral("popup_mainchat"));
    popup_mainchat->addAction(QStringLiteral("Select All"), this, &ChatPanel::SelectAll1Click);
    QAction* copy = popup_mainchat->addAction(QStringLiteral("Copy"), this, &ChatPanel::Copy1Click);
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    ClearMainChat1 = popup_mainchat->addAction(QStringLiteral("Clear Main Chat"), this,
                                               &ChatPanel::ClearMainChat1Click);
    popup_mainchat->addSeparator();
    ScrollChatOff1 = popup_mainchat->addAction(QStringLiteral("Scroll Chat Off"));
    ScrollChatOff1->setCheckable(true);
    ScrollChatOff1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(ScrollChatOff1, &QAction::toggled, this, [this](bool off) {
        if (off) mainchat_->holdPosition();
    });
    // Ctrl+S works wherever the panel's window is active, with or without the Options menu.
    addAction(ScrollChatOff1);
    mainchat_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mainchat_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popup_mainchat->popup(mainchat_->viewport()->mapToGlobal(at));
    });

    popup_smilies = new QMenu(this);
    popup_smilies->setObjectName(QStringLiteral("popup_smilies"));
    for (int tag = kFirstSmileyTag; tag < kFirstSmileyTag + kSmileyCount; ++tag)
        popup_smilies->addAction(QString())->setData(tag);
    connect(popup_smilies, &QMenu::triggered, this,
            [this](QAction* item) { N271Click(item->data().toInt()); });
    connect(button_smilies, &QToolButton::clicked, this,
            [this] { popupBelow(popup_smilies, button_smilies); });

    popup_sounds = new QMenu(this);
    popup_sounds->setObjectName(QStringLiteral("popup_sounds"));
    popup_sounds->addAction(QStringLiteral("<Cancel>"))->setData(0);
    for (int tag = 1; tag <= kChatterSoundCount; ++tag) {
        const std::string_view caption = chatterCaption(tag);
        QAction* item = popup_sounds->addAction(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
        item->setObjectName(QStringLiteral("wave%1").arg(tag));
        item->setData(tag);
    }
    connect(popup_sounds, &QMenu::triggered, this,
            [this](QAction* item) { wave4Click(item->data().toInt()); });
    // Any mouse button released over it opens the menu, not only a left click.
    b_phrase[kPhraseButtons]->installEventFilter(this);
}

bool ChatPanel::eventFilter(QObject* watched, QEvent* event) {
    QToolButton* sounds = b_phrase[kPhraseButtons];
    if (watched == sounds && event->type() == QEvent::MouseButtonRelease &&
        sounds->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        popupBelow(popup_sounds, sounds);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tessarin::chat
