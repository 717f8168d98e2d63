// The chat panel of the main window: the phrase buttons and the chatter sound button, the
// chat view `mainchat`, the entry field `mychat` and the smiley button, with their menus.
//
// The main window wires it up: it tells the panel the seat and the connection state,
// gives it a function that sends a complete message, passes received chat payloads to
// chatrecieved(), calls phraseTick() on each dispatch tick, applies the settings (text
// size, chat colour, phrases) and writes the phrases when phrasesEdited() is emitted.
// Everything runs on the UI thread.
//
// Text crosses the wire as single-byte Latin-1: received payloads are decoded as such;
// typed text is encoded as such ('?' for characters it lacks) and loses the bytes that
// would break the framing (0xFF, CR, LF) before it is sent.
#pragma once

#include <QPixmap>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "chatview.h"
#include "colourtext.h"
#include "phrasethrottle.h"
#include "textsize.h"

class QAction;
class QMenu;
class QToolButton;

namespace tessarin::chat {

class ChatEntry;
class Tphrases;

class ChatPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kPhraseButtons = 9;
    // Receives each complete message, terminator included.
    using Sender = std::function<void(const std::string& message)>;
    // Opens a clicked link's text (trailing blanks removed). The default hands http and
    // https addresses (see webAddress()) to QDesktopServices and drops anything else.
    using UrlOpener = std::function<void(const QString& text)>;
    // Hands a web address to the desktop; false when nothing could open it. The default is
    // QDesktopServices.
    using Browser = std::function<bool(const QUrl& url)>;
    // Shows a message to the user; the default is a message box.
    using Notifier = std::function<void(const QString& text)>;

    explicit ChatPanel(QWidget* parent = nullptr, PhraseThrottle::Clock clock = {});

    // The phrases the buttons start with, "Way To Go!" to "Good Game Everyone!".
    static QStringList defaultPhrases();

    // Wiring.
    void setSender(Sender send) { send_ = std::move(send); }
    void setUrlOpener(UrlOpener open) { open_ = std::move(open); }
    void setNotifier(Notifier notify) { notify_ = std::move(notify); }
    void setBrowser(Browser browser) { browser_ = std::move(browser); }
    void setMySeat(int seat) { myseat_ = seat; }
    int myseat() const { return myseat_; }
    void setConnected(bool connected) { isconnected_ = connected; }
    bool isconnected() const { return isconnected_; }

    // Pictures: smilies 0..17 for the view and the smiley menu; button faces 1..9 for the
    // phrase buttons and 10 for "Chatter Sounds". The game's own pictures are set at
    // construction; a null face makes a button show its text ("P1", a note, ":)").
    void setSmileyProvider(SmileyProvider provider);
    void setPhraseButtonFace(int button, const QPixmap& face);
    void setSmileyButtonFace(const QPixmap& face);

    // Settings.
    void setChatColour(Colour colour);
    Colour chatColour() const { return chatColour_; }
    // The player's text size (clamped to kMinTextSize..kMaxTextSize); the chat shows it
    // scaled as the window is (setScale), and textSize() stays the size chosen.
    void setTextSize(int points);
    int textSize() const { return textSize_; }
    // The window's scale, 1 at its designed size: the text, the buttons and the entry field
    // grow with it.
    void setScale(qreal scale);
    // Phrase of button 1..9 (its tooltip); other numbers are ignored.
    void setPhrase(int button, const QString& phrase);
    QStringList phrases() const;

    // The Options menu shows these same actions, so the check mark is always shared.
    QAction* scrollChatOffAction() const { return ScrollChatOff1; }
    QAction* clearMainChatAction() const { return ClearMainChat1; }

    ChatView* mainchat() const { return mainchat_; }
    ChatEntry* mychat() const { return mychat_; }
    Tphrases* phrasesWindow() const { return phrasesform_; }
    QMenu* popupSounds() const { return popup_sounds; }
    QMenu* popupSmilies() const { return popup_smilies; }

    // Shows "seat+text" in the colour 0x00BBGGRR. Seat 0 is the program's own style 0,
    // seats 1..9 styles 6..14; any other seat (negative, above 9, not a number) the
    // otherwise unused style 1, so such a line cannot recolour anybody else's.
    void addlinetochat(const QString& line, Colour colour);
    // A received "CMD_chat" or "CMD_action" payload: seat, '+', line, '|', colour text.
    void chatrecieved(std::string_view payload);
    // Sends the entry field's text (Enter in mychat).
    void sendit();
    // Phrase button 1..9.
    void b_phrase1Click(int button);
    // Chatter sound menu tag 0..20 (0 is "<Cancel>").
    void wave4Click(int tag);
    // Smiley menu tag 10..27: its code goes into the field, which takes the keyboard.
    void N271Click(int tag);
    // A click on link `linkNumber` of the view.
    void mainchatJump(int linkNumber);
    // Opens `url` in the browser; when none can, says so in the chat and returns false.
    bool openinbrowser(const QUrl& url);
    void SelectAll1Click();
    void Copy1Click();
    void ClearMainChat1Click();
    // Menu View, "Phrase List".
    void PrhaseList1Click();

    // One tick of the main window's dispatch timer.
    void phraseTick() { throttle_.tick(); }
    bool phraseready() { return throttle_.ready(); }

  signals:
    // "Done" in the phrase list window: the nine phrases, for the settings file.
    void phrasesEdited(const QStringList& phrases);
    // Escape in the entry field: the player wants the keys back in the game.
    void entryEscaped();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QToolButton* pictureButton(const QString& name, const QString& text);
    // Sizes a button and its face `scale_` times as designed.
    void fitButton(QToolButton* button, QSize designed);
    void buildMenus();
    void send(std::string message);
    // Encodes text for the wire and appends '|' and the chat colour's text.
    std::string withColour(const QString& text) const;

    std::array<QToolButton*, kPhraseButtons + 1> b_phrase{};
    // The phrases; the buttons' tooltips show them.
    std::array<QString, kPhraseButtons> phrase_;
    QToolButton* button_smilies;
    ChatView* mainchat_;
    ChatEntry* mychat_;
    Tphrases* phrasesform_;
    QMenu* popup_mainchat;
    QMenu* popup_smilies;
    QMenu* popup_sounds;
    QAction* ScrollChatOff1;
    QAction* ClearMainChat1;

    Sender send_;
    UrlOpener open_;
    Browser browser_;
    Notifier notify_;
    SmileyProvider smilies_;
    PhraseThrottle throttle_;
    Colour chatColour_ = 0x000000;
    int textSize_ = kStartupTextSize;
    qreal scale_ = 1.0;
    int myseat_ = 0;
    bool isconnected_ = false;
};

}  // namespace tessarin::chat
