#include "GuiTestSupport.h"

#include "support/FakeSerialLibrary.h"

#include <QClipboard>
#include <QPlainTextEdit>

namespace rtu::test {
namespace {

using TerminalTest = GuiTest;

// How the box shows typed and received text is CommScreenTest's, what goes out for a key
// MainWindowModel's.
// CLR SCREEN empties the log; the RTS buttons paint the indicator, with a port or without.
TEST_F(TerminalTest, TypedKeysGoOutAsTypedAndShowAndTheButtonsAct) {
    startProgram();
    auto* box = control<QPlainTextEdit>("CommScreen");
    const QString start = screenText();
    com1.readFor(50);

    QTest::keyClick(box, 'A');
    EXPECT_EQ(com1.readFor(2000, 1), "A");
    EXPECT_EQ(screenText(), start + "A");

    TerminalForm& terminal = form->terminal();
    terminal.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&terminal));

    click("Command5", &terminal); // CLR SCREEN
    EXPECT_EQ(screenText(), "");
    EXPECT_EQ(box->toPlainText(), "");
    EXPECT_TRUE(box->hasFocus());

    click("Command8", &terminal); // RTS ON
    EXPECT_EQ(terminal.rtsLed().colour(), RtsLedRed);
    click("Command9", &terminal); // RTS OFF
    EXPECT_EQ(terminal.rtsLed().colour(), RtsLedWhite);
    // Without a port the indicator still follows the buttons.
    action("ComPortSet_3")->trigger();
    click("Command8", &terminal);
    EXPECT_EQ(terminal.rtsLed().colour(), RtsLedRed);
}

// The view options change what the log shows, all off it is as before; "Save Log..." keeps
// the whole run, with times, not only what the screen still holds.
TEST_F(TerminalTest, ViewOptionsShowTheTrafficAndSaveLogKeepsTheWholeRun) {
    startProgram();
    const auto receive = [this](const QByteArray& bytes, const QString& shownEnd) {
        ASSERT_TRUE(com1.write(bytes));
        QTRY_VERIFY(screenText().endsWith(shownEnd));
    };
    const QString start = screenText();
    receive("AB\r\n", "AB\r\n");
    EXPECT_EQ(screenText(), start + "AB\r\n");
    action("Timestamps")->trigger();
    action("HexView")->trigger();
    receive("C\r\n", "C..\r\n");
    EXPECT_TRUE(QRegularExpression(R"(\n\d\d:\d\d:\d\d\.\d{3} 43 0D 0A +C\.\.\r\n$)")
                    .match(screenText())
                    .hasMatch());
    action("Timestamps")->trigger();
    action("HexView")->trigger();
    for (int chunk = 0; chunk < 8; ++chunk) {
        QByteArray lines;
        for (int line = chunk * 100; line < chunk * 100 + 100; ++line)
            lines += QByteArray::number(line).rightJustified(4, '0') + "\r\n";
        receive(lines, lines.right(6));
    }
    EXPECT_FALSE(screenText().contains("\n0000\r\n"));
    QTest::keyClicks(control<QPlainTextEdit>("CommScreen"), "GV\r");

    files.answer = workDir.filePath("terminal-log.txt");
    action("SaveLog")->trigger();
    const QString saved = QString::fromUtf8(readFile(files.answer));
    const QString time = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )";
    for (const char* line : {"< AB", "< 0000", "< 0799", "> GV"})
        EXPECT_TRUE(QRegularExpression("(^|\n)" + time + line + "\r\n").match(saved).hasMatch())
            << line;
}

// The box-backed screen must hold exactly what the plain string screen holds for the same
// writes, with the box showing one line break per CR LF.
class CommScreenTest : public ::testing::Test {
protected:
    // Applies the same write to both screens and compares them.
    template <typename Write> void onBoth(Write write) {
        write(static_cast<TerminalScreen&>(screen));
        write(static_cast<TerminalScreen&>(plain));
        ASSERT_EQ(screen.text(), plain.text());
        ASSERT_EQ(screen.length(), plain.length());
        ASSERT_EQ(box.toPlainText(), CommScreenTerminal::shownForm(plain.text()));
    }

    QPlainTextEdit box;
    CommScreenTerminal screen{box};
    TextTerminalScreen plain;
};

TEST_F(CommScreenTest, ReceivedTrafficMatchesThePlainScreenThroughCutsAndBackspaces) {
    for (const QString& piece : {QString("AB\r"), QString("\nC"), QString("\r"), QString("\r\n")})
        onBoth([&](TerminalScreen& to) { to.insertAtEnd(piece); });
    for (int i = 0; i < 4; ++i)
        onBoth([](TerminalScreen& to) { to.removeLastCharacter(); });
    onBoth([](TerminalScreen& to) { to.setText("X\r\nY"); });

    // Bursts past the screen limit, with line ends and backspaces, between lines written by
    // the exchange and the port routines.
    FakeSerialLibrary library;
    LinkState link;
    link.CurrentPort = 0;
    const QByteArray burst = QByteArray("ab\r\n\bcd\r\b\xe9").repeated(500);
    for (int tick = 0; tick < 3; ++tick) {
        onBoth([&](TerminalScreen& to) {
            library.queueIncoming(burst.mid(tick));
            Receiver(library, link, to).PollReceiver();
        });
        onBoth([](TerminalScreen& to) { to.appendLine("GPP"); });
    }
    EXPECT_LE(screen.length(), Receiver::ScreenLimit);
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
