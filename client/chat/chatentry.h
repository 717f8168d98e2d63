// The one-line chat entry field `mychat`. It starts with the prompt "<Enter Chat Here>",
// which the first key pressed in it removes; Enter and Escape are reported instead of being
// typed; pasting (its menu's "Paste" or Ctrl+V) always appends at the end.
#pragma once

#include <QLineEdit>

class QMenu;

namespace tessarin::chat {

class ChatEntry : public QLineEdit {
    Q_OBJECT
  public:
    static QString prompt() { return QStringLiteral("<Enter Chat Here>"); }

    explicit ChatEntry(QWidget* parent = nullptr);

    bool showsPrompt() const { return text() == prompt(); }
    // Nothing typed: empty or the prompt.
    bool isBlank() const { return text().isEmpty() || showsPrompt(); }
    // Appends at the end and leaves the caret there with nothing selected.
    void appendText(const QString& text);
    // Appends the clipboard's text, its line breaks made blanks (the field has one line);
    // the prompt is not removed first.
    void Paste1Click();

  signals:
    void enterPressed();
    // The player leaves the field; the prompt, if shown, stays.
    void escapePressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QMenu* popup_mychat;
};

}  // namespace tessarin::chat
