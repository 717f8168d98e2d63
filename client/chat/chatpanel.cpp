#include "chatpanel.h"

#include <algorithm>

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "chatentry.h"
#include "chatline.h"
#include "pictures.h"
#include "tphrases.h"

namespace tessarin::chat {

namespace {

// Designed sizes at scale 1, in pixels and points.
constexpr QSize kButtonSize(26, 22);
constexpr QSize kSmileyButtonSize(24, 22);
constexpr qreal kPanelFontSize = 9;
// Where a button keeps its face as designed, to be drawn larger as the window grows (an
// icon is never drawn larger than its picture).
constexpr char kFace[] = "designedFace";

}  // namespace

ChatPanel::ChatPanel(QWidget* parent, PhraseThrottle::Clock clock)
    : QWidget(parent), throttle_(std::move(clock)) {
    setFont(
        QFont(QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")}, kPanelFontSize));

    auto* phraseRow = new QHBoxLayout;
    phraseRow->setSpacing(2);
    const QStringList defaults = defaultPhrases();
    for (int i = 1; i <= kPhraseButtons; ++i) {
        QToolButton* button =
            pictureButton(QStringLiteral("b_phrase%1").arg(i), QStringLiteral("P%1").arg(i));
        connect(button, &QToolButton::clicked, this, [this, i] { b_phrase1Click(i); });
        b_phrase[static_cast<std::size_t>(i - 1)] = button;
        phraseRow->addWidget(button);
        setPhrase(i, defaults.value(i - 1));
    }
    QToolButton* sounds = pictureButton(QStringLiteral("b_phrase10"), QStringLiteral("\u266A"));
    sounds->setToolTip(QStringLiteral("Chatter Sounds"));
    sounds->setAccessibleName(QStringLiteral("Chatter Sounds"));
    b_phrase[kPhraseButtons] = sounds;
    phraseRow->addWidget(sounds);
    phraseRow->addStretch();

    mainchat_ = new ChatView(this);
    mainchat_->setAccessibleName(QStringLiteral("Chat"));
    mainchat_->verticalScrollBar()->setAccessibleName(QStringLiteral("Chat scroll bar"));
    mainchat_->horizontalScrollBar()->setAccessibleName(
        QStringLiteral("Chat scroll bar, left to right"));
    connect(mainchat_, &ChatView::linkClicked, this, &ChatPanel::mainchatJump);

    mychat_ = new ChatEntry(this);
    mychat_->setAccessibleName(QStringLiteral("Chat entry"));
    QPalette entryLook = mychat_->palette();
    entryLook.setColor(QPalette::Base, toQColor(ChatView::kBackground));
    mychat_->setPalette(entryLook);
    connect(mychat_, &ChatEntry::enterPressed, this, &ChatPanel::sendit);
    connect(mychat_, &ChatEntry::escapePressed, this, &ChatPanel::entryEscaped);

    button_smilies = pictureButton(QStringLiteral("button_smilies"), QStringLiteral(":)"));
    button_smilies->setFixedSize(kSmileyButtonSize);
    button_smilies->setAccessibleName(QStringLiteral("Smilies"));

    auto* entryRow = new QHBoxLayout;
    entryRow->setSpacing(2);
    entryRow->addWidget(mychat_);
    entryRow->addWidget(button_smilies);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(phraseRow);
    layout->addWidget(mainchat_, 1);
    layout->addLayout(entryRow);

    phrasesform_ = new Tphrases(this);
    connect(phrasesform_, &Tphrases::phrasesDone, this, [this](const QStringList& edited) {
        for (int i = 1; i <= kPhraseButtons; ++i) setPhrase(i, edited.value(i - 1));
        emit phrasesEdited(phrases());
    });

    buildMenus();
    open_ = [this](const QString& text) {
        if (const auto url = webAddress(text)) openinbrowser(*url);
    };
    browser_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    notify_ = [this](const QString& text) {
        QMessageBox::information(window(), QStringLiteral("Tessarin"), text);
    };
    setChatColour(chatColour_);

    setSmileyProvider(&pictures::smiley);
    for (int i = 1; i <= kPhraseButtons; ++i) setPhraseButtonFace(i, pictures::phraseButton(i));
    setPhraseButtonFace(kPhraseButtons + 1, pictures::soundButton());
    setSmileyButtonFace(pictures::smileyButton());
    phrasesform_->setBackgroundPicture(pictures::background());
}

QStringList ChatPanel::defaultPhrases() {
    return {QStringLiteral("Way To Go!"),
            QStringLiteral("Good One!"),
            QStringLiteral("Nice Try!"),
            QStringLiteral("Excellent!"),
            QStringLiteral("Brilliant!"),
            QStringLiteral("Wow, WTG!"),
            QStringLiteral("Thanks!"),
            QStringLiteral("Way To Go Teamie!"),
            QStringLiteral("Good Game Everyone!")};
}

QToolButton* ChatPanel::pictureButton(const QString& name, const QString& text) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    button->setFixedSize(kButtonSize);
    // Clicking a button must leave the keyboard in the entry field; Tab still reaches it.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

void ChatPanel::setSmileyProvider(SmileyProvider provider) {
    smilies_ = std::move(provider);
    mainchat_->setSmileyProvider(smilies_);
    for (QAction* item : popup_smilies->actions()) {
        const int picture = item->data().toInt() - kFirstSmileyTag;
        item->setIcon(smilies_ ? QIcon(smilies_(picture)) : QIcon());
    }
}

void ChatPanel::setPhraseButtonFace(int button, const QPixmap& face) {
    if (button < 1 || button > kPhraseButtons + 1) return;
    QToolButton* target = b_phrase[static_cast<std::size_t>(button - 1)];
    target->setProperty(kFace, face);
    fitButton(target, kButtonSize);
    target->setToolButtonStyle(face.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
}

void ChatPanel::fitButton(QToolButton* button, QSize designed) {
    button->setFixedSize(designed * scale_);
    const QPixmap face = button->property(kFace).value<QPixmap>();
    if (face.isNull()) {
        button->setIcon(QIcon());
        return;
    }
    QPixmap shown = scale_ == 1.0 ? face
                                  : face.scaled(face.size() * scale_, Qt::KeepAspectRatio,
                                                Qt::SmoothTransformation);
    shown.setDevicePixelRatio(face.devicePixelRatio());
    button->setIcon(QIcon(shown));
    button->setIconSize(shown.deviceIndependentSize().toSize());
}

void ChatPanel::setScale(qreal scale) {
    scale_ = scale;
    for (QToolButton* button : b_phrase) fitButton(button, kButtonSize);
    fitButton(button_smilies, kSmileyButtonSize);
    QFont look = font();
    look.setPointSizeF(kPanelFontSize * scale);
    setFont(look);
    setTextSize(textSize_);
}

void ChatPanel::setSmileyButtonFace(const QPixmap& face) {
    button_smilies->setProperty(kFace, face);
    fitButton(button_smilies, kSmileyButtonSize);
    button_smilies->setToolButtonStyle(face.isNull() ? Qt::ToolButtonTextOnly
                                                     : Qt::ToolButtonIconOnly);
}

void ChatPanel::setChatColour(Colour colour) {
    chatColour_ = colour;
    QPalette look = mychat_->palette();
    look.setColor(QPalette::Text, toQColor(colour));
    mychat_->setPalette(look);
}

void ChatPanel::setTextSize(int points) {
    textSize_ = std::clamp(points, kMinTextSize, kMaxTextSize);
    mainchat_->setTextSize(qRound(textSize_ * scale_));
}

void ChatPanel::setPhrase(int button, const QString& phrase) {
    if (button < 1 || button > kPhraseButtons) return;
    const auto index = static_cast<std::size_t>(button - 1);
    phrase_[index] = phrase;
    // As rich text, so that a phrase holding '<' or '&' shows as typed.
    b_phrase[index]->setToolTip(Qt::convertFromPlainText(phrase, Qt::WhiteSpaceNormal));
    b_phrase[index]->setAccessibleName(
        QStringLiteral("Phrase button %1: %2").arg(button).arg(phrase));
    // A screen reader would otherwise read the tooltip's markup.
    b_phrase[index]->setAccessibleDescription(phrase);
}

QStringList ChatPanel::phrases() const {
    return QStringList(phrase_.begin(), phrase_.end());
}

void ChatPanel::addlinetochat(const QString& line, Colour colour) {
    const ChatLine parsed = parseChatLine(line);
    mainchat_->setStyleLook(parsed.style, toQColor(colour), true);
    mainchat_->addLine(parsed);
    if (!ScrollChatOff1->isChecked()) mainchat_->scrollToEnd();
}

void ChatPanel::chatrecieved(std::string_view payload) {
    // Latin-1 keeps one character per byte, so the '|' is found at the same index.
    const QString text =
        QString::fromLatin1(payload.data(), static_cast<qsizetype>(payload.size()));
    const auto bar = payload.find('|');
    if (bar == std::string_view::npos) {
        addlinetochat(text, kFallbackColour);
        return;
    }
    const Colour colour = colourFromText(payload.substr(bar + 1)).value_or(kFallbackColour);
    addlinetochat(text.left(static_cast<qsizetype>(bar)), colour);
}

void ChatPanel::mainchatJump(int linkNumber) {
    QString text = mainchat_->linkText(linkNumber).value_or(QString());
    while (text.endsWith(u' ')) text.chop(1);
    if (text.isEmpty()) {
        notify_(QStringLiteral("Cannot open Webpage"));
        return;
    }
    open_(text);
}

bool ChatPanel::openinbrowser(const QUrl& url) {
    if (browser_(url)) return true;
    // The host only: a colon would split the line into a name and a text.
    addlinetochat(QStringLiteral("0+No web browser could be started to open ") + url.host() +
                      QStringLiteral(" (is one installed?)"),
                  kSystemColour);
    return false;
}

void ChatPanel::SelectAll1Click() {
    mainchat_->selectAll();
    mainchat_->viewport()->update();
}

void ChatPanel::Copy1Click() {
    if (mainchat_->textCursor().hasSelection())
        QGuiApplication::clipboard()->setText(mainchat_->selectedPlainText());
}

void ChatPanel::ClearMainChat1Click() {
    mainchat_->clearAll();
    mychat_->setFocus();
}

void ChatPanel::PrhaseList1Click() {
    phrasesform_->showPhrases(phrases());
}

}  // namespace tessarin::chat
