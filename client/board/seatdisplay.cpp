// The seats as the connection side changes them: arrivals, departures and "just watch".
#include <QLabel>

#include "boardtext.h"
#include "pictureview.h"
#include "tboard.h"

namespace tessarin::board {

void TBoard::setseatname(int seat, const QString& name) {
    if (!isplayingseat(seat)) return;
    parts_.label_playername[seat]->setText(name);
    parts_.label_playername[seat]->show();
    parts_.label_score[seat]->show();
    describe();
}

QString TBoard::seatname(int seat) const {
    return isplayingseat(seat) ? parts_.label_playername[seat]->text() : QString();
}

QString TBoard::seathint(int seat) const {
    return isplayingseat(seat) ? parts_.label_playername[seat]->property("hint").toString()
                               : QString();
}

void TBoard::showeyes(int seat, bool shown) {
    if (isplayingseat(seat)) parts_.image_eyes[seat]->setVisible(shown);
}

void TBoard::resetseat(int seat) {
    if (!isplayingseat(seat)) return;
    parts_.label_playername[seat]->setText(kWaiting);
    parts_.image_eyes[seat]->hide();
    describe();
}

}  // namespace tessarin::board
