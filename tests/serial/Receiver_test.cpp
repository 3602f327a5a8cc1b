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
    ReceiverTest() { link.CurrentPort = 0; }

    void receive(const QByteArray& bytes) {
        library.queueIncoming(bytes);
        receiver.PollReceiver();
    }

    FakeSerialLibrary library;
    LinkState link;
    CountingScreen screen;
    Receiver receiver{library, link, screen};
};

// One tick over the bytes received, from a screen and reply buffer as given.
TEST_F(ReceiverTest, TickShowsTheBytesAndCollectsTheReply) {
    const struct {
        const char* screenBefore;
        const char* bufferBefore;
        QByteArray bytes;
        const char* screenAfter;
        const char* bufferAfter;
    } cases[] = {
        {"GRTCT\r\n", "old", "RTC\r\n", "GRTCT\r\nRTC\r\n", "oldRTC\r\n"},
        // CR breaks the screen line; LF goes to the reply buffer only.
        {"", "", "A\rB\nC", "A\r\nBC", "A\rB\nC"},
        {"", "", QByteArray("\x00\x07\x7f\xc8", 4), "....", "...."},
        // Backspace removes from this tick's line first, then from the screen; never from
        // the reply buffer. After a CR it takes away the LF of the line break.
        {"prompt>", "", "AB\b", "prompt>A", "AB"},
        {"prompt>", "", "C\r\b", "prompt>C\r", "C\r"},
        {"abc", "", "\b", "ab", ""},
        {"", "", "\b\b", "", ""},
        {"", "", "\bZ", "Z", "Z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        screen.setText(QString::fromLatin1(c.screenBefore));
        screen.inserts = 0;
        screen.caretAtEnd = false;
        link.ReplyBuffer = QString::fromLatin1(c.bufferBefore);
        receive(c.bytes);
        EXPECT_EQ(screen.text(), QString::fromLatin1(c.screenAfter));
        EXPECT_EQ(link.ReplyBuffer, QString::fromLatin1(c.bufferAfter));
        EXPECT_LE(screen.inserts, 1) << "a tick's line goes in one piece";
        EXPECT_EQ(screen.caretAtEnd, screen.text() != QString::fromLatin1(c.screenBefore))
            << "the caret follows every change";
        EXPECT_EQ(library.GetByte(0), -1) << "everything waiting is taken";
    }
}

TEST_F(ReceiverTest, LongTrafficKeepsTheLast60ForTheReplyAndCutsTheScreenPast4096) {
    QByteArray burst(100 * 1024, '\0');
    burst[burst.size() - 1] = 'E';
    receive(burst);
    EXPECT_EQ(library.GetByte(0), -1);
    EXPECT_EQ(screen.inserts, 1);
    EXPECT_EQ(screen.length(), 2048);
    EXPECT_TRUE(screen.text().endsWith("..E"));
    EXPECT_EQ(link.ReplyBuffer, QString(59, '.') + "E");

    // Line breaks do not count against the 60, but the next character cuts them too.
    link.ReplyBuffer.clear();
    receive(QByteArray(60, 'x') + "\r\n");
    EXPECT_EQ(link.ReplyBuffer, QString(60, 'x') + "\r\n");
    receive("y");
    EXPECT_EQ(link.ReplyBuffer, QString(57, 'x') + "\r\ny");
    // A flood of line ends alone is bounded all the same.
    QByteArray lineEnds;
    for (int i = 0; i < 1000000; ++i)
        lineEnds += "\r\n";
    receive(lineEnds);
    EXPECT_EQ(link.ReplyBuffer.size(), Receiver::ReplyBufferLimit);

    screen.setText(QString(4086, 'a'));
    receive("0123456789");
    EXPECT_EQ(screen.length(), 4096) << "exactly 4096 is kept";
    receive("!");
    EXPECT_EQ(screen.length(), 2048);
    EXPECT_TRUE(screen.text().endsWith("a0123456789!"));
}

TEST_F(ReceiverTest, WithNoPortOpenTheTickChangesNothing) {
    link.CurrentPort = NoPort;
    screen.setText("kept");
    receive("data");
    EXPECT_EQ(screen.text(), "kept");
    EXPECT_EQ(link.ReplyBuffer, "");
}

} // namespace
} // namespace rtu
