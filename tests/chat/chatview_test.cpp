// What the chat view shows: lines, smilies, styles and their colours, links and what a
// click on one opens, hostile payloads, scrolling, copying and clearing.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <memory>

#include "chatdoc.h"
#include "chatentry.h"
#include "chatpanel.h"

using namespace tessarin::chat;
using namespace tessarin::chat::testing;

class ChatViewTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ChatPanel> panel;
    QStringList opened;
    QStringList notices;
    const QTextDocument& doc() const { return *panel->mainchat()->document(); }
    void addLinks(int count, const QString& prefix);

  private slots:
    void init();
    void cleanup() { panel.reset(); }

    void showsLine_data();
    void showsLine();
    void receivedColour_data();
    void receivedColour();
    void newColourRecoloursEarlierLinesOfThatSeatOnly();
    void textSizeAppliesToAllStylesClamped();
    void hostilePayloadShownAsOneParagraph_data();
    void hostilePayloadShownAsOneParagraph();
    void clickingALinkOpensItsTextWithoutTrailingBlank();
    void everyLinkOpensItsOwnTextAfter150Links();
    void linksAfterClearOpenTheirNewTexts();
    void aLinkWithoutABrowserIsToldInTheChat();
    void oldestParagraphsAndTheirLinksGoAtTheLimit();
    void longLinesKeepTheDocumentBounded();
    void scrollChatOffHoldsThePosition();
    void copyGivesPlainTextWithoutPictures();
};

void ChatViewTest::init() {
    panel = std::make_unique<ChatPanel>();
    opened.clear();
    notices.clear();
    panel->setUrlOpener([this](const QString& text) { opened << text; });
    panel->setNotifier([this](const QString& text) { notices << text; });
}

void ChatViewTest::addLinks(int count, const QString& prefix) {
    for (int i = 0; i < count; ++i)
        panel->addlinetochat(QStringLiteral("2+Ann chats: see www.%1%2.com").arg(prefix).arg(i), 0);
}

void ChatViewTest::showsLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shown");
    QTest::newRow("hi, smiley 12, there") << "2+Ann chats: hi :)#12 there"
                                          << "[7]Ann chats:  hi  <smiley:2>[7] there ";
    QTest::newRow("smiley 99") << "2+Ann chats: :)#99"
                               << "[7]Ann chats:   <smiley:0>";
    QTest::newRow("smiley of letters") << "2+Ann chats: :)#ab"
                                       << "[7]Ann chats:   <smiley:0>";
    QTest::newRow("own line") << "0+You are Connected."
                              << "[0] You are Connected. ";
    QTest::newRow("action") << "4+Di waves"
                            << "[9] Di waves ";
    QTest::newRow("link") << "3+Bo chats: go WWW.x.com now"
                          << "[8]Bo chats:  go {0:WWW.x.com }[8]now ";
    QTest::newRow("seat 12") << "12+Zed chats: x"
                             << "[1]Zed chats:  x ";
}

void ChatViewTest::showsLine() {
    QFETCH(QString, line);
    QFETCH(QString, shown);
    panel->addlinetochat(line, 0x008000);
    QCOMPARE(describeLastParagraph(doc()), shown);
    QCOMPARE(doc().blockCount(), 1);
}

void ChatViewTest::receivedColour_data() {
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("name") << QByteArray("2+Ann chats: hi|clBlue") << "[7]Ann chats:  hi "
                          << QColor(0, 0, 255);
    QTest::newRow("name any case")
        << QByteArray("2+A: hi|CLLIME") << "[7]A:  hi " << QColor(0, 255, 0);
    QTest::newRow("hex") << QByteArray("2+A: hi|$00123456") << "[7]A:  hi "
                         << QColor(0x56, 0x34, 0x12);
    QTest::newRow("decimal") << QByteArray("2+A: hi|16711680") << "[7]A:  hi " << QColor(0, 0, 255);
    QTest::newRow("typed bar") << QByteArray("2+A: hi|there|clBlack") << "[7]A:  hi "
                               << QColor(255, 0, 0);
    QTest::newRow("no bar") << QByteArray("2+A: hi") << "[7]A:  hi " << QColor(255, 0, 0);
    QTest::newRow("empty colour") << QByteArray("2+A: hi|") << "[7]A:  hi " << QColor(255, 0, 0);
    QTest::newRow("latin-1") << QByteArray("2+A: caf\xE9|clBlack") << "[7]A:  caf\u00E9 "
                             << QColor(0, 0, 0);
}

void ChatViewTest::receivedColour() {
    QFETCH(QByteArray, payload);
    QFETCH(QString, shown);
    QFETCH(QColor, colour);
    panel->chatrecieved(std::string_view(payload.constData(), payload.size()));
    QCOMPARE(describeLastParagraph(doc()), shown);
    QCOMPARE(coloursOfStyle(doc(), 7), QSet<QRgb>{colour.rgb()});
    QVERIFY(styleAllBold(doc(), 7));
}

void ChatViewTest::newColourRecoloursEarlierLinesOfThatSeatOnly() {
    panel->addlinetochat(QStringLiteral("2+Ann chats: one www.a.com"), 0x0000FF);
    panel->addlinetochat(QStringLiteral("3+Bo chats: hello"), 0xFF0000);
    panel->addlinetochat(QStringLiteral("0+Bo is Connected."), kSystemColour);
    panel->addlinetochat(QStringLiteral("2+Ann chats: two"), 0x0000FF);
    QCOMPARE(coloursOfStyle(doc(), 7), QSet<QRgb>{qRgb(255, 0, 0)});

    panel->addlinetochat(QStringLiteral("2+Ann chats: three"), 0x008000);
    QCOMPARE(coloursOfStyle(doc(), 7), QSet<QRgb>{qRgb(0, 128, 0)});
    QCOMPARE(coloursOfStyle(doc(), 8), QSet<QRgb>{qRgb(0, 0, 255)});
    QCOMPARE(coloursOfStyle(doc(), 0), QSet<QRgb>{qRgb(0, 0, 255)});
    QCOMPARE(coloursOfStyle(doc(), kLinkStyle), QSet<QRgb>{qRgb(0, 128, 0)});
    QCOMPARE(describeParagraph(doc(), 0), QStringLiteral("[7]Ann chats:  one {0:www.a.com }"));
    QVERIFY(styleAllBold(doc(), 7));
    QVERIFY(!styleAllBold(doc(), kLinkStyle));
}

void ChatViewTest::textSizeAppliesToAllStylesClamped() {
    panel->addlinetochat(QStringLiteral("2+Ann chats: one www.a.com"), 0);
    panel->addlinetochat(QStringLiteral("0+Note"), kSystemColour);
    QCOMPARE(pointSizes(doc()), QSet<qreal>{10});
    const std::pair<int, qreal> table[] = {{14, 14}, {8, 8}, {0, 6}, {-5, 6}, {500, 72}};
    for (const auto& [asked, shown] : table) {
        panel->setTextSize(asked);
        QCOMPARE(pointSizes(doc()), QSet<qreal>{shown});
        QCOMPARE(panel->textSize(), static_cast<int>(shown));
    }
    panel->addlinetochat(QStringLiteral("3+Bo chats: new"), 0);
    QCOMPARE(pointSizes(doc()), QSet<qreal>{72});
    // A larger window shows the chosen size larger, and its buttons with it.
    panel->setTextSize(10);
    panel->setScale(2.0);
    QCOMPARE(pointSizes(doc()), QSet<qreal>{20});
    QCOMPARE(panel->textSize(), 10);
    QCOMPARE(panel->findChild<QToolButton*>(QStringLiteral("b_phrase1"))->size(), QSize(52, 44));
    panel->setScale(1.0);
}

void ChatViewTest::hostilePayloadShownAsOneParagraph_data() {
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("style");
    QTest::newRow("no plus") << QByteArray("no plus at all|clLime") << kStrayStyle;
    QTest::newRow("huge seat") << QByteArray("99999999999+Eve chats: x|clLime") << kStrayStyle;
    QTest::newRow("negative seat") << QByteArray("-3+Eve chats: x|clLime") << kStrayStyle;
    QTest::newRow("seat 10") << QByteArray("10+Eve chats: x|clLime") << kStrayStyle;
    QTest::newRow("empty") << QByteArray() << kStrayStyle;
    QTest::newRow("bar only") << QByteArray("|") << kStrayStyle;
    QTest::newRow("100 KB line") << "4+Eve chats: " + QByteArray(100 * 1024, 'A') + "|clLime" << 9;
    QByteArray codes("4+Eve chats: ");
    for (int i = 0; i < 20000; ++i) codes += ":)#" + QByteArray::number(i % 30);
    QTest::newRow("20000 smiley codes") << codes + "|clLime" << 9;
    QByteArray allBytes("5+Eve chats: ");
    for (int b = 0; b < 256; ++b) allBytes += static_cast<char>(b);
    QTest::newRow("every byte") << allBytes << 10;
    QTest::newRow("20000 links") << "6+Eve chats: " + QByteArray("www.x ").repeated(20000) << 11;
}

void ChatViewTest::hostilePayloadShownAsOneParagraph() {
    QFETCH(QByteArray, payload);
    QFETCH(int, style);
    panel->addlinetochat(QStringLiteral("0+Welcome"), kSystemColour);
    panel->chatrecieved(std::string_view(payload.constData(), payload.size()));
    QCOMPARE(doc().blockCount(), 2);
    QVERIFY(describeLastParagraph(doc()).startsWith(QStringLiteral("[%1]").arg(style)));
    // The program's own lines keep their colour whatever the peer claims to be.
    QCOMPARE(coloursOfStyle(doc(), kSystemStyle), QSet<QRgb>{qRgb(0, 0, 255)});
}

void ChatViewTest::clickingALinkOpensItsTextWithoutTrailingBlank() {
    panel->resize(300, 200);
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    panel->addlinetochat(QStringLiteral("2+Ann chats: look http://example.com/a?b=1 here"), 0);
    ChatView* view = panel->mainchat();
    QTextCursor at(view->document());
    at.setPosition(linkPosition(doc(), 0) + 2);
    const QPoint point = view->cursorRect(at).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(opened, QStringList{QStringLiteral("http://example.com/a?b=1")});
    QVERIFY(notices.isEmpty());
}

void ChatViewTest::aLinkWithoutABrowserIsToldInTheChat() {
    panel = std::make_unique<ChatPanel>();  // the panel's own opener, not the recording one
    QList<QUrl> tried;
    panel->setBrowser([&](const QUrl& url) {
        tried << url;
        return false;
    });
    panel->addlinetochat(QStringLiteral("2+Ann chats: see www.example.com"), 0);
    panel->mainchatJump(0);
    QCOMPARE(tried, QList<QUrl>{QUrl(QStringLiteral("http://www.example.com"))});
    QCOMPARE(
        describeLastParagraph(doc()),
        QStringLiteral("[0] No web browser could be started to open {1:www.example.com }[0](is "
                       "one installed?) "));
}

void ChatViewTest::everyLinkOpensItsOwnTextAfter150Links() {
    addLinks(150, QStringLiteral("site"));
    const QList<Link> shown = links(doc());
    QCOMPARE(shown.size(), 150);
    for (const Link& link : shown) {
        opened.clear();
        panel->mainchatJump(link.number);
        QCOMPARE(opened, QStringList{link.text.trimmed()});
    }
    panel->mainchatJump(1);
    panel->mainchatJump(101);
    QCOMPARE(opened.mid(opened.size() - 2),
             (QStringList{QStringLiteral("www.site1.com"), QStringLiteral("www.site101.com")}));
    panel->mainchatJump(150);
    QCOMPARE(notices, QStringList{QStringLiteral("Cannot open Webpage")});
}

void ChatViewTest::linksAfterClearOpenTheirNewTexts() {
    addLinks(120, QStringLiteral("old"));
    panel->clearMainChatAction()->trigger();
    QVERIFY(doc().toPlainText().isEmpty());
    addLinks(3, QStringLiteral("new"));
    for (int i = 0; i < 3; ++i) panel->mainchatJump(i);
    QCOMPARE(opened, (QStringList{QStringLiteral("www.new0.com"), QStringLiteral("www.new1.com"),
                                  QStringLiteral("www.new2.com")}));
    for (int gone : {3, 50, 119, -1}) panel->mainchatJump(gone);
    QCOMPARE(opened.size(), 3);
    QCOMPARE(notices.size(), 4);
}

void ChatViewTest::oldestParagraphsAndTheirLinksGoAtTheLimit() {
    const int total = ChatView::kMaxParagraphs + 10;
    addLinks(total, QStringLiteral("n"));
    const int kept = doc().blockCount();
    QVERIFY(kept <= ChatView::kMaxParagraphs);
    QVERIFY(kept >= ChatView::kMaxParagraphs / 2);
    // One link per line, numbered in order: the first kept line holds link total - kept.
    const int first = total - kept;
    QCOMPARE(describeParagraph(doc(), 0),
             QStringLiteral("[7]Ann chats:  see {%1:www.n%1.com }").arg(first));
    panel->mainchatJump(first - 1);
    QCOMPARE(notices, QStringList{QStringLiteral("Cannot open Webpage")});
    panel->mainchatJump(first);
    panel->mainchatJump(total - 1);
    QCOMPARE(opened, (QStringList{QStringLiteral("www.n%1.com").arg(first),
                                  QStringLiteral("www.n%1.com").arg(total - 1)}));
}

void ChatViewTest::longLinesKeepTheDocumentBounded() {
    const QString line = QStringLiteral("3+Bo chats: ") + QString(10'000, u'w');
    for (int i = 0; i < 100; ++i) panel->addlinetochat(line, 0);
    QVERIFY(describeLastParagraph(doc()).size() <= kMaxLineLength + 4);
    QVERIFY(doc().characterCount() <= ChatView::kMaxCharacters + kMaxLineLength + 2);
    QVERIFY(doc().blockCount() < 100);
}

void ChatViewTest::scrollChatOffHoldsThePosition() {
    panel->resize(300, 200);
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    QScrollBar* bar = panel->mainchat()->verticalScrollBar();
    for (int i = 0; i < 60; ++i) panel->addlinetochat(QStringLiteral("1+A chats: %1").arg(i), 0);
    QTRY_VERIFY(bar->maximum() > 0);
    QTRY_COMPARE(bar->value(), bar->maximum());

    QAction* off = panel->scrollChatOffAction();
    off->trigger();
    QVERIFY(off->isChecked());
    bar->setValue(0);
    const int before = bar->maximum();
    for (int i = 0; i < 60; ++i) panel->addlinetochat(QStringLiteral("1+A chats: %1").arg(i), 0);
    QTRY_VERIFY(bar->maximum() > before);
    QCOMPARE(bar->value(), 0);

    off->trigger();
    QVERIFY(!off->isChecked());
    panel->addlinetochat(QStringLiteral("1+A chats: last"), 0);
    QTRY_COMPARE(bar->value(), bar->maximum());
}

void ChatViewTest::copyGivesPlainTextWithoutPictures() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    panel->addlinetochat(QStringLiteral("2+Ann chats: hi:)#12"), 0);
    panel->Copy1Click();
    QCOMPARE(clipboard->text(), QStringLiteral("before"));

    panel->addlinetochat(QStringLiteral("0+Bye"), kSystemColour);
    panel->SelectAll1Click();
    panel->Copy1Click();
    QCOMPARE(clipboard->text(), QStringLiteral("Ann chats:  hi \n Bye "));
    QVERIFY(!clipboard->mimeData()->hasHtml());
}

QTEST_MAIN(ChatViewTest)
#include "chatview_test.moc"
