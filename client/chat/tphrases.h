// The phrase list window: edits for the nine phrase buttons' phrases. "Done" hands the
// nine texts back; closing the window any other way drops the edits (they are refilled
// from the buttons each time the window is shown).
#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

class QLineEdit;

namespace tessarin::chat {

class Tphrases : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kPhraseCount = 9;
    static constexpr int kMaxPhraseLength = 50;

    explicit Tphrases(QWidget* parent = nullptr);

    // Fills phrase1..phrase9 from `phrases` (missing ones empty) and shows the window.
    void showPhrases(const QStringList& phrases);
    QStringList editedPhrases() const;
    // The main window's tiled background.
    void setBackgroundPicture(const QPixmap& picture);

    void button_doneClick();

  signals:
    // "Done": the nine phrases, in button order.
    void phrasesDone(const QStringList& phrases);

  private:
    std::array<QLineEdit*, kPhraseCount> phrase_{};
};

}  // namespace tessarin::chat
