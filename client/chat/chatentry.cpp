#include "chatentry.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

namespace tessarin::chat {

ChatEntry::ChatEntry(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("mychat"));
    setPlaceholderText(prompt());
    popup_mychat = new QMenu(this);
    popup_mychat->setObjectName(QStringLiteral("popup_mychat"));
    QAction* paste =
        popup_mychat->addAction(QStringLiteral("Paste"), this, &ChatEntry::Paste1Click);
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
}

void ChatEntry::appendText(const QString& text) {
    setText(this->text() + text);
    deselect();
    end(false);
}

void ChatEntry::Paste1Click() {
    QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) return;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    appendText(text);
}

void ChatEntry::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        emit escapePressed();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        Paste1Click();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ChatEntry::contextMenuEvent(QContextMenuEvent* event) {
    popup_mychat->popup(event->globalPos());
}

}  // namespace tessarin::chat
