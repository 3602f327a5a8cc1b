#include "protocol/ProtocolRig.h"

#include "config/RuntimeError.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

class ExchangeTest : public ::testing::Test, protected ProtocolRig {};

// --- One line --------------------------------------------------------------------------------

TEST_F(ExchangeTest, SendCommandLineSendsLogsAndWaitsWhileTheReplyArrives) {
    answer("GPP", "PP00060\r\n");
    exchange.SendCommandLine(QStringLiteral("GPP\r\n"), UnitSettleCount);
    EXPECT_EQ(library.calls(), QStringList({"PutString 0 GPP\r\n", "CdrvDelay 0 25"}));
    EXPECT_EQ(screen.text(), u"GPP\r\nPP00060\r\n") << "the line shows before its reply";
    EXPECT_EQ(link.ReplyBuffer, u"PP00060\r\n");
}

TEST_F(ExchangeTest, LinesGoOutOneBytePerCharacter) {
    exchange.SendCommandLine(QStringLiteral("SLCDT1\"Caf\u00e9\"\r\n"), UnitSettleCount);
    EXPECT_EQ(library.sentBytes(), QByteArray("SLCDT1\"Caf\xe9\"\r\n"));
}

TEST_F(ExchangeTest, WithoutAPortTheLineStillGoesThroughTheLibrary) {
    link.CurrentPort = NoPort;
    answer("GV", "V1.06\r\n");
    exchange.SendCommandLine(QStringLiteral("GV\r\n"), UnitSettleCount);
    EXPECT_EQ(library.calls(), QStringList({"PutString -1 GV\r\n", "CdrvDelay -1 25"}));
    EXPECT_EQ(exchange.FindReply(u"V"), 0);
}

// --- Finding replies -------------------------------------------------------------------------

TEST_F(ExchangeTest, FindReplyTakesTheFirstExactOccurrence) {
    link.ReplyBuffer = QStringLiteral("xxlcdLCD03R05 LCD09R09");
    EXPECT_EQ(exchange.FindReply(u"LCD"), 6);
    EXPECT_EQ(exchange.FindReply(u"xx"), 1);
    EXPECT_EQ(exchange.FindReply(u"RTC"), 0);
    link.ReplyBuffer.clear();
    EXPECT_EQ(exchange.FindReply(u"LCD"), 0);
}

TEST_F(ExchangeTest, ReplyFieldIsShortWhenTheBufferEnds) {
    link.ReplyBuffer = QStringLiteral("LCD03R05");
    EXPECT_EQ(exchange.replyField(1, 3, 2), u"03");
    EXPECT_EQ(exchange.replyField(1, 6, 2), u"05");
    EXPECT_EQ(exchange.replyField(1, 7, 8), u"5");
    EXPECT_EQ(exchange.replyField(1, 8, 8), u"");
    EXPECT_EQ(exchange.replyField(1, 100000, 8), u"");
    EXPECT_EQ(exchange.replyField(0, 3, 2), u"") << "keyword not found";
    exchange.clearReplyBuffer();
    EXPECT_TRUE(link.ReplyBuffer.isEmpty());
}

// --- Batches ---------------------------------------------------------------------------------

TEST_F(ExchangeTest, ProgramBatchOpensAndClosesInItsOrder) {
    EXPECT_TRUE(exchange.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::Beep, [&] {
        exchange.SendCommandLine(QStringLiteral("SPP060\r\n"), UnitSettleCount);
    }));
    const QStringList line{"PutString 0 SPP060\r\n", "CdrvDelay 0 25"};
    EXPECT_EQ(ui.timeline(), ProgramBatchOpening + line + ProgramBatchClosing);
    EXPECT_EQ(notifier.beeps, 0);
}

TEST_F(ExchangeTest, ProgramBatchLocksTheWindowThatStartedIt) {
    exchange.BeginExchangeBatch(Window::ConfigG4);
    exchange.EndExchangeBatch(Window::ConfigG4);
    EXPECT_EQ(ui.events(), QStringList({"led 255", "pointer busy", "disable ConfigG4",
                                        "disable TerminalForm", "enable TerminalForm",
                                        "enable ConfigG4", "pointer default", "led 16777215"}));
}

TEST_F(ExchangeTest, ReadBatchOpensAndClosesInTheReadOrderAndClearsTheBuffer) {
    link.ReplyBuffer = QStringLiteral("stale");
    QString bufferInside = QStringLiteral("not run");
    EXPECT_TRUE(exchange.runReadBatch([&] { bufferInside = link.ReplyBuffer; }));
    EXPECT_EQ(bufferInside, u"");
    EXPECT_EQ(ui.timeline(), ReadBatchOpening + ReadBatchClosing);
}

TEST_F(ExchangeTest, PulseRtsIsAnEmptyProgramBatchOfTheMainWindow) {
    exchange.PulseRts();
    EXPECT_EQ(ui.timeline(), ProgramBatchOpening + ProgramBatchClosing);
    EXPECT_FALSE(library.rts());
}

// --- Errors ----------------------------------------------------------------------------------

TEST_F(ExchangeTest, ProgramBatchErrorIsReportedAsAskedAndClosesTheBatch) {
    const bool completed =
        exchange.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::MessageAndBeep, [&] {
            exchange.SendCommandLine(QStringLiteral("SPP060\r\n"), UnitSettleCount);
            throw RuntimeError("value cannot be converted");
        });
    EXPECT_FALSE(completed);
    EXPECT_EQ(exchange.lastError(), u"value cannot be converted");
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0],
              (RecordingNotifier::Message{"Error!", QString(), MessageIcon::Critical}));
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_EQ(ui.timeline().mid(ProgramBatchOpening.size() + 2), ProgramBatchClosing);

    EXPECT_FALSE(exchange.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::Beep,
                                          [] { throw std::out_of_range("no record 9"); }));
    EXPECT_EQ(notifier.messages.size(), 1u) << "a beep only";
    EXPECT_EQ(notifier.beeps, 2);
    EXPECT_FALSE(library.rts());

    EXPECT_TRUE(exchange.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::Beep, [] {}));
    EXPECT_EQ(exchange.lastError(), u"") << "a clean batch leaves no error behind";
}

TEST_F(ExchangeTest, ReadBatchErrorEndsTheReadOrderlyWithoutReport) {
    EXPECT_FALSE(exchange.runReadBatch([] { throw RuntimeError("refused"); }));
    EXPECT_EQ(ui.timeline(), ReadBatchOpening + ReadBatchClosing);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(notifier.beeps, 0);
}

TEST_F(ExchangeTest, LostPortEndsTheBatchAfterTheLineItWasLostOn) {
    library.loseOnLine(2);
    QStringList sent;
    const bool completed = exchange.runReadBatch([&] {
        for (const char* line : {"GV\r\n", "GPP\r\n", "GLCD\r\n"}) {
            exchange.SendCommandLine(QString::fromLatin1(line), UnitSettleCount);
            sent << QString::fromLatin1(line);
        }
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(library.sentLines(), QStringList({"GV", "GPP"}));
    EXPECT_EQ(sent, QStringList({"GV\r\n"}));
    EXPECT_EQ(lastSteps(ui.timeline(), ReadBatchClosing.size()), ReadBatchClosing);

    // The loss belonged to that batch: the next one runs normally.
    EXPECT_TRUE(exchange.runReadBatch(
        [&] { exchange.SendCommandLine(QStringLiteral("GLCD\r\n"), UnitSettleCount); }));
}

TEST_F(ExchangeTest, PortLossOutsideABatchDoesNotStopLaterLines) {
    emit library.portLost(0);
    EXPECT_NO_THROW(exchange.SendCommandLine(QStringLiteral("GV\r\n"), UnitSettleCount));
    EXPECT_TRUE(exchange.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::Beep, [&] {
        exchange.SendCommandLine(QStringLiteral("SPP060\r\n"), UnitSettleCount);
    }));
}

TEST_F(ExchangeTest, PortLostBeforeTheFirstLineSendsNothing) {
    EXPECT_FALSE(exchange.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::Beep, [&] {
        emit library.portLost(0);
        exchange.SendCommandLine(QStringLiteral("SPP060\r\n"), UnitSettleCount);
    }));
    EXPECT_TRUE(library.sentLines().isEmpty());
}

} // namespace
} // namespace rtu
