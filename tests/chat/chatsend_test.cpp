// What the panel sends and how its entry field, buttons, menus and phrase list behave.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "chatdoc.h"
#include "chatentry.h"
#include "chatpanel.h"
#include "tphrases.h"

using namespace tessarin::chat;
using namespace tessarin::chat::testing;

namespace {

// The composed message as it goes on the wire.
QByteArray wire(const char* text) {
    return QByteArray(text) + '\xFF';
}

}  // namespace

class ChatSendTest : public QObject {
    Q_OBJECT

  private:
    std::int64_t now = 1'000'000;
    std::unique_ptr<ChatPanel> panel;
    QList<QByteArray> sent;

  private slots:
    void init();
    void cleanup() { panel.reset(); }

    void sendit_data();
    void sendit();
    void barInTypedTextShowsRedOnEveryReceiver();
    void keysInTheEntryField();
    void pasteAppendsAtTheEnd();
    void phraseButtonsSendOnceEveryTwoSeconds();
    void phraseWithMeIsAnAction();
    void chatterSounds_data();
    void chatterSounds();
    void chatterSoundMenu();
    void smileyCodesGoIntoTheField_data();
    void smileyCodesGoIntoTheField();
    void chatViewMenuSharesItsActions();
    void phraseListDoneReportsTheNinePhrases();
    void phraseListClosedWithoutDoneDropsEdits();
};

void ChatSendTest::init() {
    sent.clear();
    panel = std::make_unique<ChatPanel>(nullptr, [this] { return now; });
    panel->setSender([this](const std::string& message) {
        sent << QByteArray(message.data(), static_cast<qsizetype>(message.size()));
    });
    panel->setMySeat(2);
    panel->setConnected(true);
}

void ChatSendTest::sendit_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("left");
    QTest::newRow("chat") << true << "hello" << wire("CMD_chat+2+hello|clBlack") << "";
    QTest::newRow("plus") << true << "a+b" << wire("CMD_chat+2+a+b|clBlack") << "";
    QTest::newRow("bar") << true << "x|y" << wire("CMD_chat+2+x|y|clBlack") << "";
    QTest::newRow("/me waves") << true << "/me waves" << wire("CMD_action+2+waves|clBlack") << "";
    QTest::newRow("/mewaves") << true << "/mewaves" << wire("CMD_action+2+aves|clBlack") << "";
    QTest::newRow("/me") << true << "/me" << wire("CMD_action+2+|clBlack") << "";
    QTest::newRow("/Me is no action") << true << "/Me x" << QByteArray() << "";
    QTest::newRow("other slash") << true << "/quit" << QByteArray() << "";
    QTest::newRow("empty") << true << "" << QByteArray() << "";
    QTest::newRow("latin-1, 0xFF dropped, '?' for the rest")
        << true << QStringLiteral("caf\u00E9 \u00FF\u65E5") << wire("CMD_chat+2+caf\xE9 ?|clBlack")
        << "";
    QTest::newRow("disconnected") << false << "hello" << QByteArray() << "hello";
}

void ChatSendTest::sendit() {
    QFETCH(bool, connected);
    QFETCH(QString, typed);
    QFETCH(QByteArray, message);
    QFETCH(QString, left);
    panel->setConnected(connected);
    panel->mychat()->setText(typed);
    panel->sendit();
    QCOMPARE(sent, message.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{message});
    QCOMPARE(panel->mychat()->text(), left);
}

void ChatSendTest::barInTypedTextShowsRedOnEveryReceiver() {
    panel->setChatColour(0x123456);
    QCOMPARE(panel->mychat()->palette().color(QPalette::Text), QColor(0x56, 0x34, 0x12));
    panel->mychat()->setText(QStringLiteral("hi|there"));
    panel->sendit();
    QCOMPARE(sent, QList<QByteArray>{wire("CMD_chat+2+hi|there|$00123456")});
    // The server puts the name in front; every receiver then shows the line.
    panel->chatrecieved("2+Ann chats: hi|there|$00123456");
    const QTextDocument& doc = *panel->mainchat()->document();
    QCOMPARE(describeLastParagraph(doc), QStringLiteral("[7]Ann chats:  hi "));
    QCOMPARE(coloursOfStyle(doc, 7), QSet<QRgb>{qRgb(255, 0, 0)});
}

void ChatSendTest::keysInTheEntryField() {
    ChatEntry* field = panel->mychat();
    // The prompt is a placeholder, never text to send or to type after.
    QCOMPARE(field->placeholderText(), QStringLiteral("<Enter Chat Here>"));
    QCOMPARE(field->text(), QString());
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(sent.isEmpty());
    QCOMPARE(field->text(), QString());

    QTest::keyClick(field, Qt::Key_H);
    QCOMPARE(field->text(), QStringLiteral("h"));
    QTest::keyClicks(field, "i!");
    QTest::keyClick(field, Qt::Key_Enter);
    QCOMPARE(sent, QList<QByteArray>{wire("CMD_chat+2+hi!|clBlack")});
    QCOMPARE(field->text(), QString());
}

void ChatSendTest::pasteAppendsAtTheEnd() {
    ChatEntry* field = panel->mychat();
    QGuiApplication::clipboard()->setText(QStringLiteral("abc\r\ndef\nx"));
    field->Paste1Click();
    QCOMPARE(field->text(), QStringLiteral("abc def x"));

    field->setText(QStringLiteral("one two"));
    field->setCursorPosition(1);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field->text(), QStringLiteral("one twoabc def x"));
    QCOMPARE(field->cursorPosition(), field->text().size());
    QVERIFY(!field->hasSelectedText());

    QGuiApplication::clipboard()->clear();
    field->Paste1Click();
    QCOMPARE(field->text(), QStringLiteral("one twoabc def x"));
}

void ChatSendTest::phraseButtonsSendOnceEveryTwoSeconds() {
    const QByteArray wayToGo = wire("CMD_action+2+says: Way To Go!|clBlack");
    auto* first = panel->findChild<QToolButton*>(QStringLiteral("b_phrase1"));
    QVERIFY(first);
    QTest::mouseClick(first, Qt::LeftButton);
    QTest::mouseClick(first, Qt::LeftButton);
    QCOMPARE(sent, QList<QByteArray>{wayToGo});
    QVERIFY(!panel->phraseready());

    // However many dispatch ticks pass, 2 seconds must.
    for (int tick = 0; tick < 500; ++tick) {
        now += 1;
        panel->phraseTick();
    }
    now += 1499;  // 1999 ms after the phrase was sent
    panel->b_phrase1Click(3);
    QCOMPARE(sent.size(), 1);
    now += 1;
    panel->phraseTick();
    QVERIFY(panel->phraseready());
    panel->b_phrase1Click(3);
    QCOMPARE(sent.last(), wire("CMD_action+2+says: Nice Try!|clBlack"));

    // Buttons do not wait for the connection.
    panel->setConnected(false);
    now += 2000;
    panel->b_phrase1Click(9);
    QCOMPARE(sent.last(), wire("CMD_action+2+says: Good Game Everyone!|clBlack"));
    for (int outside : {0, 10, -1}) {
        now += 2000;
        panel->b_phrase1Click(outside);
    }
    QCOMPARE(sent.size(), 3);
}

void ChatSendTest::phraseWithMeIsAnAction() {
    panel->setPhrase(4, QStringLiteral("/me dances"));
    panel->setPhrase(5, QStringLiteral("/medances"));
    panel->b_phrase1Click(4);
    now += 2000;
    panel->b_phrase1Click(5);
    QCOMPARE(sent, (QList<QByteArray>{wire("CMD_action+2+dances|clBlack"),
                                      wire("CMD_action+2+says: /medances|clBlack")}));
}

void ChatSendTest::chatterSounds_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("tag");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("cancel") << true << 0 << QByteArray();
    QTest::newRow("thank you") << true << 4 << wire("CMD_playasound+2+wave4+");
    QTest::newRow("crying") << true << 20 << wire("CMD_playasound+2+wave20+");
    QTest::newRow("no such tag") << true << 21 << QByteArray();
    QTest::newRow("disconnected") << false << 4 << QByteArray();
}

void ChatSendTest::chatterSounds() {
    QFETCH(bool, connected);
    QFETCH(int, tag);
    QFETCH(QByteArray, message);
    panel->setConnected(connected);
    panel->wave4Click(tag);
    QCOMPARE(sent, message.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{message});
}

void ChatSendTest::chatterSoundMenu() {
    const QList<QAction*> items = panel->popupSounds()->actions();
    QCOMPARE(items.size(), 21);
    QCOMPARE(items[0]->text(), QStringLiteral("<Cancel>"));
    QCOMPARE(items[0]->data().toInt(), 0);
    QCOMPARE(items[9]->objectName(), QStringLiteral("wave9"));
    QCOMPARE(items[9]->text(), QStringLiteral("Welcome"));
    items[0]->trigger();
    items[13]->trigger();
    QCOMPARE(sent, QList<QByteArray>{wire("CMD_playasound+2+wave13+")});
    auto* button = panel->findChild<QToolButton*>(QStringLiteral("b_phrase10"));
    QCOMPARE(button->toolTip(), QStringLiteral("Chatter Sounds"));
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    QTest::mouseClick(button, Qt::RightButton);
    QTRY_VERIFY(panel->popupSounds()->isVisible());
    QCOMPARE(panel->popupSounds()->pos(), button->mapToGlobal(button->rect().bottomRight()));
}

void ChatSendTest::smileyCodesGoIntoTheField_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("after");
    QTest::newRow("text") << "hi " << 0 << "hi :)#10";
    QTest::newRow("last") << "" << 17 << ":)#27";
}

void ChatSendTest::smileyCodesGoIntoTheField() {
    QFETCH(QString, before);
    QFETCH(int, item);
    QFETCH(QString, after);
    ChatEntry* field = panel->mychat();
    field->setText(before);
    field->setSelection(0, 1);
    panel->show();
    QApplication::setActiveWindow(panel.get());
    QVERIFY(QTest::qWaitForWindowActive(panel.get()));
    panel->mainchat()->setFocus();  // the keys are elsewhere when the menu opens
    QMenu* menu = panel->popupSmilies();
    const QList<QAction*> items = menu->actions();
    QCOMPARE(items.size(), 18);
    QCOMPARE(items[item]->data().toInt(), item + 10);
    QVERIFY(!items[item]->icon().isNull());
    QTest::mouseClick(panel->findChild<QToolButton*>(QStringLiteral("button_smilies")),
                      Qt::LeftButton);
    QTRY_VERIFY(menu->isVisible());
    for (int down = 0; down <= item; ++down) QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_VERIFY(!menu->isVisible());
    QCOMPARE(field->text(), after);
    QCOMPARE(field->cursorPosition(), after.size());
    QVERIFY(!field->hasSelectedText());
    // The player types on after the smiley.
    QTRY_VERIFY(field->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
    QCOMPARE(field->text(), after + "x");
    field->setText(after);
    for (int outside : {9, 28}) panel->N271Click(outside);
    QCOMPARE(field->text(), after);
}

void ChatSendTest::chatViewMenuSharesItsActions() {
    auto* menu = panel->findChild<QMenu*>(QStringLiteral("popup_mainchat"));
    QVERIFY(menu);
    QStringList captions;
    for (QAction* item : menu->actions()) captions << item->text();
    QCOMPARE(captions, (QStringList{QStringLiteral("Select All"), QStringLiteral("Copy"),
                                    QStringLiteral("Clear Main Chat"), QString(),
                                    QStringLiteral("Scroll Chat Off")}));
    QAction* scrollOff = panel->scrollChatOffAction();
    QVERIFY(menu->actions().contains(scrollOff));
    QVERIFY(menu->actions().contains(panel->clearMainChatAction()));
    QVERIFY(scrollOff->isCheckable());
    QVERIFY(!scrollOff->isChecked());
    QCOMPARE(scrollOff->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(menu->actions()[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
}

void ChatSendTest::phraseListDoneReportsTheNinePhrases() {
    QSignalSpy edited(panel.get(), &ChatPanel::phrasesEdited);
    panel->PrhaseList1Click();
    Tphrases* window = panel->phrasesWindow();
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Tessarin - Phrase Buttons "));
    auto* third = window->findChild<QLineEdit*>(QStringLiteral("phrase3"));
    QCOMPARE(third->text(), QStringLiteral("Nice Try!"));
    third->clear();
    QTest::keyClicks(third, QString(60, u'a'));
    QCOMPARE(third->text(), QString(50, u'a'));

    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("button_done")),
                      Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QStringList expected = ChatPanel::defaultPhrases();
    expected[2] = QString(50, u'a');
    QCOMPARE(edited.size(), 1);
    QCOMPARE(edited[0][0].toStringList(), expected);
    QCOMPARE(panel->phrases(), expected);
    panel->b_phrase1Click(3);
    QCOMPARE(sent, QList<QByteArray>{
                       wire(("CMD_action+2+says: " + std::string(50, 'a') + "|clBlack").c_str())});
}

void ChatSendTest::phraseListClosedWithoutDoneDropsEdits() {
    QSignalSpy edited(panel.get(), &ChatPanel::phrasesEdited);
    panel->PrhaseList1Click();
    Tphrases* window = panel->phrasesWindow();
    window->findChild<QLineEdit*>(QStringLiteral("phrase4"))->setText(QStringLiteral("gone"));
    window->close();
    QCOMPARE(edited.size(), 0);
    QCOMPARE(panel->phrases(), ChatPanel::defaultPhrases());
    panel->PrhaseList1Click();
    QCOMPARE(window->findChild<QLineEdit*>(QStringLiteral("phrase4"))->text(),
             QStringLiteral("Excellent!"));
}

QTEST_MAIN(ChatSendTest)
#include "chatsend_test.moc"
