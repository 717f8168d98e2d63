// What the panel sends: typed lines, "/me" actions, phrases and chatter sounds.
#include <QAction>

#include "chatentry.h"
#include "chatline.h"
#include "chatpanel.h"
#include "chattersounds.h"
#include "protocol.h"

namespace tessarin::chat {

std::string ChatPanel::withColour(const QString& text) const {
    std::string out = proto::stripUnsafe(text.toLatin1().toStdString());
    out += '|';
    out += colourToText(chatColour_);
    return out;
}

void ChatPanel::send(std::string message) {
    if (send_) send_(message);
}

void ChatPanel::sendit() {
    // While disconnected the line stays in the field to be sent later.
    if (!isconnected_) return;
    const QString text = mychat_->text();
    if (!text.isEmpty()) {
        if (!text.startsWith(u'/'))
            send(proto::request::chat(myseat_, withColour(text)));
        else if (text.startsWith(u"/me"))
            send(proto::request::action(myseat_, withColour(text.mid(4))));
    }
    mychat_->clear();
}

void ChatPanel::b_phrase1Click(int button) {
    if (button < 1 || button > kPhraseButtons || !throttle_.ready()) return;
    const QString& phrase = phrase_[static_cast<std::size_t>(button - 1)];
    const QString action =
        phrase.startsWith(u"/me ") ? phrase.mid(4) : QStringLiteral("says: ") + phrase;
    send(proto::request::action(myseat_, withColour(action)));
    throttle_.used();
}

void ChatPanel::wave4Click(int tag) {
    if (tag < 1 || tag > kChatterSoundCount || !isconnected_) return;
    send(proto::request::playasound(myseat_, chatterSoundName(tag)));
}

void ChatPanel::N271Click(int tag) {
    if (tag < kFirstSmileyTag || tag >= kFirstSmileyTag + kSmileyCount) return;
    mychat_->appendText(kSmileyCode.toString() + QString::number(tag));
    // The player goes on typing after the smiley.
    mychat_->setFocus(Qt::PopupFocusReason);
}

}  // namespace tessarin::chat
