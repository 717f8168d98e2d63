// The one-line chat entry field `mychat`. While empty it shows the prompt "<Enter Chat Here>"
// as its placeholder, which is never part of its text; Enter and Escape are reported instead
// of being typed; pasting (its menu's "Paste" or Ctrl+V) always appends at the end.
#pragma once

#include <QLineEdit>

class QMenu;

namespace tessarin::chat {

class ChatEntry : public QLineEdit {
    Q_OBJECT
  public:
    static QString prompt() { return QStringLiteral("<Enter Chat Here>"); }

    explicit ChatEntry(QWidget* parent = nullptr);

    // Nothing typed.
    bool isBlank() const { return text().isEmpty(); }
    // Appends at the end and leaves the caret there with nothing selected.
    void appendText(const QString& text);
    // Appends the clipboard's text, its line breaks made blanks (the field has one line).
    void Paste1Click();

  signals:
    void enterPressed();
    // The player leaves the field.
    void escapePressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QMenu* popup_mychat;
};

}  // namespace tessarin::chat
