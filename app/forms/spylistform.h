// The spy list: one line "seat: name" per spectator (seats 4..9), and for the host a context
// menu item that removes the spectator under the pointer. Created once at start-up, shown
// without blocking the main window and hidden again by "Done".
#pragma once

#include <QDialog>
#include <QPixmap>
#include <functional>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;

namespace tessarin::forms {

class Tspylist : public QDialog {
    Q_OBJECT
  public:
    explicit Tspylist(const QPixmap& background, QWidget* parent = nullptr);

    // Called with the seat the host chose to remove; the main window's `kicking`.
    void setkicking(std::function<void(int seat)> kicking) { kicking_ = std::move(kicking); }

    // The client's player handling keeps the list: a spectator arrives, leaves, is looked up.
    // A seat has one line at most: a second arrival in a seat replaces its line.
    void addspy(int seat, const QString& name);
    // Index of the line "seat: name", -1 when there is none.
    int findspy(int seat, const QString& name) const;
    // Removes the line "seat: name"; false when there was none.
    bool removespy(int seat, const QString& name);

    // "Remove From Game" is offered only in the copy that hosts the game, and only while a
    // spectator is selected: the line the menu was opened on.
    void enablekick(bool enabled);

    // Index of the line under the pointer, -1 when the pointer is over no line.
    int listtag() const { return listtag_; }

    void listbox_spysMouseMove(const QPoint& position);
    void popup_kickhimClick();
    void button_doneClick();

    QListWidget* listbox_spys;
    QAction* popup_kickhim;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static QString spyline(int seat, const QString& name);
    void updatekick();

    QLabel* label_spylist;
    QPushButton* button_done;
    QMenu* popup_spys;
    int listtag_ = -1;
    bool kickallowed_ = false;
    std::function<void(int)> kicking_;
};

}  // namespace tessarin::forms
