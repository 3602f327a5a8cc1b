#include "GuiTestSupport.h"

#include "serial/FakeSerialLibrary.h"
#include "serial/LinkState.h"
#include "serial/Receiver.h"
#include "serial/TerminalScreen.h"
#include "ui/CommScreenTerminal.h"
#include "ui/TerminalForm.h"

#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>

#include <random>

namespace rtu::test {
namespace {

using TerminalTest = GuiTest;

QString boxText(const QPlainTextEdit& box) {
    return box.toPlainText();
}

TEST_F(TerminalTest, TypedKeysGoOutAndShowWhileTheUnitsEchoLandsAtTheEnd) {
    RtuForm& rtu = startProgram();
    auto* box = control<QPlainTextEdit>("CommScreen");
    const QString start = screenText();
    com1.readFor(50);

    QTest::keyClick(box, 'A');
    EXPECT_EQ(com1.readFor(2000, 1), "A");
    EXPECT_EQ(screenText(), start + "A");

    // The caret goes back into the old text; the echo still arrives at the end.
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(0);
    box->setTextCursor(cursor);
    ASSERT_TRUE(com1.write("A"));
    ASSERT_TRUE(waitUntil([&] { return screenText().endsWith("AA"); }));

    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(com1.readFor(2000, 1), "\r");
    EXPECT_EQ(screenText(), start + "AA\r\n");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(com1.readFor(2000, 1), "\b");
    EXPECT_EQ(screenText(), start + "AA");

    // Characters beyond one byte go out as '?'.
    for (const QString& text : {QStringLiteral("\u00e9"), QStringLiteral("\u20ac")})
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text, Qt::NoModifier);
    EXPECT_EQ(com1.readFor(2000, 2), "\xe9?");
    EXPECT_EQ(boxText(*box), CommScreenTerminal::shownForm(screenText()));
    EXPECT_EQ(rtu.session().link.CurrentPort, RawPort);
}

TEST_F(TerminalTest, ClearScreenEmptiesTheLogAndTheNextLineStartsAtTheTop) {
    RtuForm& rtu = startProgram();
    rtu.terminal().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rtu.terminal()));
    ASSERT_FALSE(screenText().isEmpty());

    clickTerminal("Command5");
    EXPECT_EQ(screenText(), "");
    EXPECT_TRUE(control<QPlainTextEdit>("CommScreen")->hasFocus());

    ASSERT_TRUE(com1.write("RTC\r\n"));
    ASSERT_TRUE(waitUntil([&] { return !screenText().isEmpty(); }));
    EXPECT_TRUE(waitUntil([&] { return screenText() == "RTC\r\n"; }));
    EXPECT_EQ(boxText(*control<QPlainTextEdit>("CommScreen")), "RTC\n");
}

TEST_F(TerminalTest, RtsButtonsPaintTheIndicator) {
    RtuForm& rtu = startProgram();
    clickTerminal("Command8");
    EXPECT_EQ(rtu.terminal().rtsLed().colour(), BatchUi::RtsLedRed);
    clickTerminal("Command9");
    EXPECT_EQ(rtu.terminal().rtsLed().colour(), BatchUi::RtsLedWhite);
    // Without a port the indicator still follows the buttons.
    action("ComPortSet_3")->trigger();
    clickTerminal("Command8");
    EXPECT_EQ(rtu.terminal().rtsLed().colour(), BatchUi::RtsLedRed);
}

// The box-backed screen must hold exactly what the plain string screen holds for the same
// writes, with the box showing one line break per CR LF.
class CommScreenTest : public ApplicationTest {
protected:
    void expectSame() {
        ASSERT_EQ(screen.text(), plain.text());
        ASSERT_EQ(screen.length(), plain.length());
        ASSERT_EQ(box.toPlainText(), CommScreenTerminal::shownForm(plain.text()));
    }

    QPlainTextEdit box;
    CommScreenTerminal screen{box};
    TextTerminalScreen plain;
};

TEST_F(CommScreenTest, ReceivedTrafficMatchesThePlainScreenThroughCutsAndBackspaces) {
    FakeSerialLibrary library;
    LinkState boxLink;
    LinkState plainLink;
    boxLink.CurrentPort = plainLink.CurrentPort = 0;
    Receiver toBox(library, boxLink, screen);
    Receiver toPlain(library, plainLink, plain);

    std::mt19937 random(7350);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> burst(1, 400);
    for (int tick = 0; tick < 300; ++tick) {
        QByteArray bytes;
        for (int n = burst(random); n > 0; --n) {
            switch (kind(random)) {
            case 0:
                bytes += '\r';
                break;
            case 1:
                bytes += '\n';
                break;
            case 2:
                bytes += '\b';
                break;
            default:
                bytes += char(byte(random));
            }
        }
        library.queueIncoming(bytes);
        toBox.PollReceiver();
        library.queueIncoming(bytes);
        toPlain.PollReceiver();
        expectSame();
        if (tick % 37 == 0) { // the exchange and the port routines write too
            screen.appendLine("GPP");
            plain.appendLine("GPP");
            expectSame();
        }
    }
    EXPECT_LE(screen.length(), Receiver::ScreenLimit);
}

TEST_F(CommScreenTest, LoneLineEndsPairUpAsOnThePlainScreen) {
    for (const QString& piece : {QString("AB\r"), QString("\nC"), QString("\r"), QString("\r\n")}) {
        screen.insertAtEnd(piece);
        plain.insertAtEnd(piece);
        expectSame();
    }
    for (int i = 0; i < 4; ++i) {
        screen.removeLastCharacter();
        plain.removeLastCharacter();
        expectSame();
    }
    screen.setText("X\r\nY");
    plain.setText("X\r\nY");
    expectSame();
}

TEST_F(CommScreenTest, OperatorEditsReachTheScreenTextWithCrLf) {
    screen.appendLine("Initialize Port Status = OK");
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, "AT");
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(screen.text(), "Initialize Port Status = OK\r\nAT\r\n");

    // A backspace over a line break takes the whole CR LF.
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_EQ(screen.text(), "Initialize Port Status = OK\r\nAT");

    // A selection across a line break, replaced by a pasted text with a line break.
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(25);
    cursor.setPosition(29, QTextCursor::KeepAnchor); // "OK", the break, "A"
    box.setTextCursor(cursor);
    QGuiApplication::clipboard()->setText("ok\nB");
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(screen.text(), "Initialize Port Status = ok\r\nBT");
    EXPECT_EQ(box.toPlainText(), CommScreenTerminal::shownForm(screen.text()));

    // Received text still goes to the end, whatever the caret.
    screen.insertAtEnd("\r\nX");
    EXPECT_EQ(screen.text(), "Initialize Port Status = ok\r\nBT\r\nX");
    EXPECT_EQ(box.toPlainText(), "Initialize Port Status = ok\nBT\nX");
}

} // namespace
} // namespace rtu::test
