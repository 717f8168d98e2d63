// The quick instructions: a panel the size of the board, shown in front of it on the first
// connection and from the Help menu, hidden again by its "Done" button.
#pragma once

#include <QWidget>

class QPushButton;

namespace tessarin::board {

class HelpPanel : public QWidget {
    Q_OBJECT

  public:
    explicit HelpPanel(QWidget* parent);
    QPushButton* donebutton() const { return done_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPushButton* done_;
};

}  // namespace tessarin::board
