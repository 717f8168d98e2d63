// The help window: section buttons on the left, the chosen section's page on the right.
// Created once at start-up, resizable, shown without blocking the main window.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <functional>

class QAbstractButton;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTextBrowser;

namespace tessarin::forms {

class Thelp : public QDialog {
    Q_OBJECT
  public:
    explicit Thelp(const QPixmap& background, QWidget* parent = nullptr);

    // What the "About" button does: the main window shows its about window.
    void setshowabout(std::function<void()> showabout) { showabout_ = std::move(showabout); }

    // The heading and the page in front.
    QString caption() const;
    QTextBrowser* currentpane() const;

    // Shared by the section buttons: brings the page "memo" + the button's section number to
    // the front and takes the button's caption as the heading.
    void SelButton1Click(QAbstractButton* button);
    void button_aboutClick();
    void button_doneClick();

  private:
    QLabel* label_caption;
    QLabel* label_year;
    QStackedWidget* panes_;
    QPushButton* button_about;
    QPushButton* button_done;
    std::function<void()> showabout_;
};

}  // namespace tessarin::forms
