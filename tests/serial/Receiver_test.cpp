#include "serial/Receiver.h"

#include "serial/LinkState.h"
#include "serial/TerminalScreen.h"
#include "support/FakeSerialLibrary.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// Counts the insertions and notes whether the caret was last left at the end.
class CountingScreen : public TextTerminalScreen {
public:
    void insertAtEnd(const QString& text) override {
        ++inserts;
        caretAtEnd = false;
        TextTerminalScreen::insertAtEnd(text);
    }
    void removeLastCharacter() override {
        caretAtEnd = false;
        TextTerminalScreen::removeLastCharacter();
    }
    void moveCaretToEnd() override { caretAtEnd = true; }

    int inserts = 0;
    bool caretAtEnd = true;
};

class ReceiverTest : public ::testing::Test {
protected:
    void receive(const QByteArray& bytes) {
        library.queueIncoming(bytes);
        receiver.PollReceiver();
    }

    void SetUp() override { link.CurrentPort = 0; }

    FakeSerialLibrary library;
    LinkState link;
    CountingScreen screen;
    Receiver receiver{library, link, screen};
};

// One tick over the bytes received, from a screen and reply buffer as given: the screen
// and the reply buffer after it, '|' between them.
TEST_F(ReceiverTest, TickShowsTheBytesCollectsTheReplyKeepsTheLast60AndCutsTheScreenPast4096) {
    const auto tick = [&](const char* screenBefore, const char* bufferBefore, QByteArray bytes) {
        screen.setText(QString::fromLatin1(screenBefore));
        screen.inserts = 0;
        screen.caretAtEnd = false;
        link.ReplyBuffer = QString::fromLatin1(bufferBefore);
        receive(bytes);
        EXPECT_LE(screen.inserts, 1) << "a tick's line goes in one piece";
        EXPECT_EQ(screen.caretAtEnd, screen.text() != QString::fromLatin1(screenBefore))
            << "the caret follows every change";
        EXPECT_EQ(library.GetByte(0), -1) << "everything waiting is taken";
        return screen.text() + u'|' + link.ReplyBuffer;
    };
    EXPECT_EQ(tick("GRTCT\r\n", "old", "RTC\r\n"), "GRTCT\r\nRTC\r\n|oldRTC\r\n");
    // CR breaks the screen line; LF goes to the reply buffer only.
    EXPECT_EQ(tick("", "", "A\rB\nC"), "A\r\nBC|A\rB\nC");
    EXPECT_EQ(tick("", "", QByteArray("\x00\x07\x7f\xc8", 4)), "....|....");
    // Backspace removes from this tick's line first, then from the screen; never from the
    // reply buffer. After a CR it takes away the LF of the line break.
    EXPECT_EQ(tick("prompt>", "", "AB\b"), "prompt>A|AB");
    EXPECT_EQ(tick("prompt>", "", "C\r\b"), "prompt>C\r|C\r");
    EXPECT_EQ(tick("abc", "", "\b"), "ab|");
    EXPECT_EQ(tick("", "", "\b\b"), "|");
    EXPECT_EQ(tick("", "", "\bZ"), "Z|Z");

    screen.inserts = 0;
    receive(QByteArray(100 * 1024 - 1, '\0') + 'E');
    EXPECT_EQ(library.GetByte(0), -1);
    EXPECT_EQ(std::pair(screen.inserts, screen.length()), std::pair(1, 2048));
    EXPECT_TRUE(screen.text().endsWith("..E"));
    EXPECT_EQ(link.ReplyBuffer, QString(59, '.') + "E");

    // Line breaks do not count against the 60, but the next character cuts them too.
    link.ReplyBuffer.clear();
    receive(QByteArray(60, 'x') + "\r\n");
    EXPECT_EQ(link.ReplyBuffer, QString(60, 'x') + "\r\n");
    receive("y");
    EXPECT_EQ(link.ReplyBuffer, QString(57, 'x') + "\r\ny");
    // A flood of line ends alone is bounded all the same.
    receive(QByteArray("\r\n").repeated(1000000));
    EXPECT_EQ(link.ReplyBuffer.size(), Receiver::ReplyBufferLimit);

    screen.setText(QString(4086, 'a'));
    receive("0123456789");
    EXPECT_EQ(screen.length(), 4096) << "exactly 4096 is kept";
    receive("!");
    EXPECT_EQ(screen.length(), 2048);
    EXPECT_TRUE(screen.text().endsWith("a0123456789!"));

    // With no port open the tick changes nothing.
    link.CurrentPort = NoPort;
    screen.setText("kept");
    link.ReplyBuffer.clear();
    receive("data");
    EXPECT_EQ(screen.text() + link.ReplyBuffer, "kept");
}

} // namespace
} // namespace rtu
