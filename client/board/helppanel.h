// The quick instructions: a panel the size of the board, shown in front of it on the first
// connection and from the Help menu, hidden again by its "Done" button.
#pragma once

#include <QFont>
#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace tessarin::board {

class PictureView;

class HelpPanel : public QWidget {
    Q_OBJECT

  public:
    explicit HelpPanel(QWidget* parent);
    QPushButton* donebutton() const { return done_; }

    // Sizes the text, the picture and the margins for a board `scale` times its design.
    void setscale(qreal scale);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QVBoxLayout* layout_;
    QLabel* heading_;
    PictureView* picture_;
    QList<QLabel*> lines_;
    QPushButton* done_;
    QFont donefont_;  // as designed
};

}  // namespace tessarin::board
