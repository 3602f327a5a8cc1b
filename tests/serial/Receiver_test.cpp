#include "serial/Receiver.h"

#include "serial/LinkState.h"
#include "serial/SerialLibrary.h"
#include "serial/TerminalScreen.h"

#include <gtest/gtest.h>

#include <deque>

namespace rtu {
namespace {

// Hands out queued bytes on the open port 0; everything else is inert.
class QueueLibrary : public SerialLibrary {
public:
    void queue(const QByteArray& bytes) {
        for (char c : bytes)
            incoming.push_back(std::uint8_t(c));
    }

    std::int32_t GetByte(PortId port) override {
        portsAsked.push_back(port);
        if (port != 0 || incoming.empty())
            return -1;
        const int byte = incoming.front();
        incoming.pop_front();
        return byte;
    }
    std::int32_t InitializePort(PortId, std::int16_t, std::int16_t, std::int16_t, std::int16_t,
                                std::int16_t, std::int16_t, std::int16_t, std::int16_t) override {
        return 0;
    }
    std::int32_t UnInitializePort(PortId) override { return 0; }
    std::int32_t SetPortCharacteristics(PortId, std::int32_t, std::int16_t, std::int16_t,
                                        std::int16_t, std::int16_t) override {
        return 0;
    }
    std::int32_t ser_rs232_getport(PortId, PortParameterBlock&) override { return 0; }
    std::int32_t PutString(PortId, const QByteArray&) override { return 0; }
    std::int32_t PutByte(PortId, int) override { return 0; }
    std::int32_t RtsOn(PortId) override { return 0; }
    std::int32_t RtsOff(PortId) override { return 0; }
    std::int32_t CdrvDelay(PortId, int) override { return 0; }

    std::deque<int> incoming;
    std::vector<PortId> portsAsked;
};

// Counts the insertions and notes whether the caret was last left at the end.
class CountingScreen : public TextTerminalScreen {
public:
    void insertAtEnd(const QString& text) override {
        ++inserts;
        caretAtEnd = false;
        TextTerminalScreen::insertAtEnd(text);
    }
    void setText(const QString& text) override {
        caretAtEnd = false;
        TextTerminalScreen::setText(text);
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
        library.queue(bytes);
        receiver.PollReceiver();
    }

    QueueLibrary library;
    LinkState link;
    CountingScreen screen;
    Receiver receiver{library, link, screen};
};

TEST_F(ReceiverTest, ReplyLineGoesToBufferAndScreenInOneInsertion) {
    link.ReplyBuffer = "old";
    screen.setText("GRTCT\r\n");
    receive("RTC\r\n");
    EXPECT_EQ(link.ReplyBuffer, "oldRTC\r\n");
    EXPECT_EQ(screen.text(), "GRTCT\r\nRTC\r\n");
    EXPECT_EQ(screen.inserts, 1);
    EXPECT_TRUE(screen.caretAtEnd);
    EXPECT_TRUE(library.incoming.empty());
}

TEST_F(ReceiverTest, CarriageReturnBreaksTheScreenLineAndLineFeedOnlyTheBuffer) {
    receive("A\rB\nC");
    EXPECT_EQ(screen.text(), "A\r\nBC");
    EXPECT_EQ(link.ReplyBuffer, "A\rB\nC");
}

TEST_F(ReceiverTest, UnprintableBytesShowAsDots) {
    receive(QByteArray("\x00\x07\x7f\xc8", 4));
    EXPECT_EQ(screen.text(), "....");
    EXPECT_EQ(link.ReplyBuffer, "....");
}

TEST_F(ReceiverTest, BufferKeepsTheLast60WhileTheScreenGetsEverything) {
    QByteArray burst;
    for (int i = 0; i < 100; ++i)
        burst += char('0' + i % 75);
    receive(burst);
    EXPECT_EQ(link.ReplyBuffer, QString::fromLatin1(burst.right(60)));
    EXPECT_EQ(screen.text(), QString::fromLatin1(burst));
    EXPECT_EQ(screen.inserts, 1);
}

TEST_F(ReceiverTest, LineBreaksDoNotCutTheBufferButTheNextCharacterDoes) {
    const QByteArray sixty(60, 'x');
    receive(sixty + "\r\n");
    EXPECT_EQ(link.ReplyBuffer.size(), 62);
    EXPECT_TRUE(link.ReplyBuffer.endsWith("x\r\n"));
    receive("y");
    EXPECT_EQ(link.ReplyBuffer, QString(57, 'x') + "\r\ny");
}

TEST_F(ReceiverTest, BackspaceRemovesFromThisTicksLineFirst) {
    screen.setText("prompt>");
    receive("AB\b");
    EXPECT_EQ(screen.text(), "prompt>A");
    EXPECT_EQ(link.ReplyBuffer, "AB");
    // After a CR the backspace takes away the LF of the line break.
    receive("C\r\b");
    EXPECT_EQ(screen.text(), "prompt>AC\r");
}

TEST_F(ReceiverTest, BackspaceFirstInATickRemovesFromTheScreen) {
    screen.setText("abc");
    receive("\b");
    EXPECT_EQ(screen.text(), "ab");
    EXPECT_TRUE(screen.caretAtEnd);
    EXPECT_EQ(screen.inserts, 0);
    EXPECT_EQ(link.ReplyBuffer, "");

    screen.setText("");
    receive("\b\b");
    EXPECT_EQ(screen.text(), "");
    receive("\bZ");
    EXPECT_EQ(screen.text(), "Z");
}

TEST_F(ReceiverTest, ScreenLongerThan4096IsCutToItsLast2048) {
    screen.setText(QString(4090, 'a'));
    receive("0123456789");
    EXPECT_EQ(screen.length(), 2048);
    EXPECT_TRUE(screen.text().endsWith("a0123456789"));
    EXPECT_TRUE(screen.caretAtEnd);
}

TEST_F(ReceiverTest, ScreenOfExactly4096IsKept) {
    screen.setText(QString(4086, 'a'));
    receive("0123456789");
    EXPECT_EQ(screen.length(), 4096);
    // Other writers may leave a longer text; a tick that adds nothing leaves it alone.
    screen.setText(QString(5000, 'b'));
    receive("");
    EXPECT_EQ(screen.length(), 5000);
}

TEST_F(ReceiverTest, WithNoPortOpenTheTickAsksTheLibraryAndChangesNothing) {
    link.CurrentPort = NoPort;
    library.queue("data");
    screen.setText("kept");
    receiver.PollReceiver();
    EXPECT_EQ(library.portsAsked, std::vector<PortId>{NoPort});
    EXPECT_EQ(screen.text(), "kept");
    EXPECT_EQ(screen.inserts, 0);
    EXPECT_EQ(link.ReplyBuffer, "");
}

TEST_F(ReceiverTest, LongBurstWithNulBytesIsDrainedInOneTick) {
    QByteArray burst(100 * 1024, '\0');
    burst[burst.size() - 1] = 'E';
    receive(burst);
    EXPECT_TRUE(library.incoming.empty());
    EXPECT_EQ(screen.inserts, 1);
    EXPECT_EQ(screen.length(), 2048);
    EXPECT_TRUE(screen.text().endsWith("..E"));
    EXPECT_EQ(link.ReplyBuffer, QString(59, '.') + "E");
}

} // namespace
} // namespace rtu
