#include "tphrases.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessarin::chat {

Tphrases::Tphrases(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("phrasesform"));
    setWindowTitle(QStringLiteral("Tessarin - Phrase Buttons "));

    auto* form = new QFormLayout;
    for (int i = 0; i < kPhraseCount; ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("phrase%1").arg(i + 1));
        edit->setAccessibleName(QStringLiteral("Phrase Button %1").arg(i + 1));
        edit->setMaxLength(kMaxPhraseLength);
        edit->setMinimumWidth(260);
        form->addRow(QStringLiteral("Phrase Button %1:").arg(i + 1), edit);
        phrase_[static_cast<std::size_t>(i)] = edit;
    }

    auto* note = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &Tphrases::button_doneClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(done, 0, Qt::AlignHCenter);
    // A fixed dialog border: the window keeps the size its contents need.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tphrases::showPhrases(const QStringList& phrases) {
    for (int i = 0; i < kPhraseCount; ++i)
        phrase_[static_cast<std::size_t>(i)]->setText(phrases.value(i));
    show();
    raise();
    activateWindow();
}

QStringList Tphrases::editedPhrases() const {
    QStringList phrases;
    for (const QLineEdit* edit : phrase_) phrases << edit->text();
    return phrases;
}

void Tphrases::setBackgroundPicture(const QPixmap& picture) {
    QPalette look = palette();
    look.setBrush(QPalette::Window, QBrush(picture));
    setPalette(look);
    setAutoFillBackground(true);
}

void Tphrases::button_doneClick() {
    emit phrasesDone(editedPhrases());
    accept();
}

}  // namespace tessarin::chat
