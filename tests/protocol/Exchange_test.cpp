#include "protocol/ProtocolRig.h"

#include "config/RuntimeError.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// What the batches do, interleaved with the library's RTS calls (port 0). The command
// groups' tests leave the batch framing to these tests.
const QStringList ProgramBatch =
    QString("RtsOn 0|led 255|pointer busy|disable RtuForm|disable TerminalForm|enable TerminalForm|"
            "enable RtuForm|pointer default|RtsOff 0|led 16777215")
        .split('|');
const QStringList ReadBatch =
    QString("disable RtuForm|disable TerminalForm|pointer busy|RtsOn 0|led 255|pointer default|"
            "enable RtuForm|enable TerminalForm|RtsOff 0|led 16777215")
        .split('|');

class ExchangeTest : public ::testing::Test, protected ProtocolRig {
protected:
    void send(const char* line) {
        exchange.SendCommandLine(QString::fromLatin1(line), UnitSettleCount);
    }
};

TEST_F(ExchangeTest, SendCommandLineSendsLogsAndWaitsForTheReplyPickedOutByKeywordAndPosition) {
    answer("GPP", "PP00060\r\n");
    send("GPP\r\n");
    EXPECT_EQ(library.calls(), QStringList({"PutString 0 GPP\r\n", "CdrvDelay 0 25"}));
    EXPECT_EQ(screen.text(), u"GPP\r\nPP00060\r\n") << "the line shows before its reply";
    EXPECT_EQ(link.ReplyBuffer, u"PP00060\r\n");

    library.clearCalls();
    exchange.SendCommandLine(QStringLiteral("SLCDT1\"Caf\u00e9\"\r\n"), UnitSettleCount);
    EXPECT_TRUE(library.sentBytes().endsWith("SLCDT1\"Caf\xe9\"\r\n")) << "one byte a character";

    // Without a port nothing is sent nor logged as sent: the action stops.
    library.clearCalls();
    link.CurrentPort = NoPort;
    EXPECT_THROW(send("GV\r\n"), RuntimeError);
    EXPECT_TRUE(library.calls().isEmpty());

    link.ReplyBuffer = QStringLiteral("xxlcdLCD03R05 LCD09R09");
    EXPECT_EQ(exchange.FindReply(u"LCD"), 6) << "the first exact occurrence, 1-based";
    EXPECT_EQ(exchange.FindReply(u"RTC"), 0);
    EXPECT_EQ(exchange.replyField(6, 6, 2), u"05");
    EXPECT_EQ(exchange.replyField(6, 15, 8), u"09") << "short when the buffer ends";
    EXPECT_EQ(exchange.replyField(6, 100000, 8), u"");
    EXPECT_EQ(exchange.replyField(0, 3, 2), u"") << "keyword not found";
}

// A read line's reply is in once its keyword, fields and whole line end have come; never
// while only the echo of the line has come. Line ends ahead of the reply (the LF of a reply
// that ended after its own wait) and the echo are no part of it.
TEST_F(ExchangeTest, AReadLinesReplyIsInOnceItsKeywordFieldsAndLineEndHaveCome) {
    const ReplyShape poll{QLatin1StringView("PP")};
    const std::pair<const char*, bool> cases[] = {
        {"", false},      {"GPP\r", false},         {"PP009", false},
        {"PP0\r", false}, {"**PP00900", false},     {"PP0\rx", true},
        {"PP0\n", true},  {"GPP\r\nPP0\r\n", true}, {"\n\rGPP\r\n\nPP0\r\n", true},
    };
    for (const auto& [reply, in] : cases) {
        library.answer("GPP", reply);
        exchange.clearReplyBuffer();
        exchange.SendReadLine("GPP\r\n", UnitSettleCount, poll);
        EXPECT_EQ(library.repliesIn.back(), in) << reply;
    }
    EXPECT_EQ(library.calls().last(), "CdrvDelay 0 25");
    EXPECT_EQ(exchange.reply(), u"PP0\r\n");
}

TEST_F(ExchangeTest, BatchesLockTheirWindowsInTheirOrder) {
    exchange.PulseRts();
    link.ReplyBuffer = QStringLiteral("stale");
    QString bufferInside = QStringLiteral("not run");
    EXPECT_TRUE(exchange.runReadBatch([&] { bufferInside = link.ReplyBuffer; }));
    EXPECT_EQ(bufferInside, u"");
    EXPECT_EQ(ui.timeline(), ProgramBatch + ReadBatch);

    // A module window's "Program" locks the windows before RTS rises and unlocks them after
    // it falls; the G4 window comes back before the terminal window.
    const std::pair<Window, const char*> moduleBatches[] = {
        {Window::ConfigSensors,
         "disable ConfigSensors|disable TerminalForm|RtsOn 0|led 255|pointer busy|pointer "
         "default|RtsOff 0|led 16777215|enable TerminalForm|enable ConfigSensors"},
        {Window::ConfigG4,
         "disable ConfigG4|disable TerminalForm|RtsOn 0|led 255|pointer busy|pointer "
         "default|RtsOff 0|led 16777215|enable ConfigG4|enable TerminalForm"}};
    for (const auto& [window, batch] : moduleBatches) {
        ProtocolRig rig;
        EXPECT_TRUE(rig.exchange.runModuleProgram(window, [] {}));
        EXPECT_EQ(rig.ui.timeline(), QString(batch).split('|'));
    }
}

// Which report "Program", "Program All" and "Read All" choose is tested with them.
TEST_F(ExchangeTest, BatchErrorsAndPortLossAreTrappedReportedAsAskedAndTheBatchStillCloses) {
    using enum Exchange::ErrorReport;
    // The report, and the message boxes and beeps it gives.
    const std::tuple<Exchange::ErrorReport, std::size_t, int> cases[] = {
        {Silent, 0, 0}, {Beep, 0, 1}, {MessageAndBeep, 1, 1}};
    for (const auto& [report, messages, beeps] : cases) {
        ProtocolRig rig;
        EXPECT_FALSE(rig.exchange.runProgramBatch(Window::RtuForm, report,
                                                  [] { throw std::out_of_range("no record 9"); }));
        EXPECT_EQ(rig.exchange.lastError(), u"no record 9");
        EXPECT_EQ(rig.ui.timeline(), ProgramBatch);
        EXPECT_EQ(rig.notifier.messages.size(), messages);
        EXPECT_EQ(rig.notifier.beeps, beeps);
        EXPECT_TRUE(rig.exchange.runProgramBatch(Window::RtuForm, report, [] {}));
        EXPECT_EQ(rig.exchange.lastError(), u"") << "kept until the next batch";
    }

    EXPECT_FALSE(exchange.runReadBatch([] { throw RuntimeError("refused"); }));
    EXPECT_EQ(exchange.lastError(), u"refused");
    EXPECT_EQ(ui.timeline(), ReadBatch);
    EXPECT_TRUE(notifier.messages.empty()) << "a read reports nothing itself";
    EXPECT_EQ(notifier.beeps, 0);

    // A port loss counts only inside a batch.
    emit library.portLost(0);
    EXPECT_NO_THROW(send("GV\r\n"));
    EXPECT_TRUE(exchange.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::Beep,
                                         [&] { send("SPP060\r\n"); }));

    library.clearCalls();
    EXPECT_FALSE(exchange.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::Beep, [&] {
        emit library.portLost(0);
        send("SPP060\r\n");
    }));
    EXPECT_TRUE(library.sentLines().isEmpty()) << "lost before the first line: nothing sent";
}

// The program is closing: the line waiting has its wait cut short and does not count, no
// further line goes out, in this batch or a later one, and the batch closes unreported.
TEST_F(ExchangeTest, AStopRequestEndsTheBatchAtItsLineBoundaryUnreported) {
    library.onDelay = [&] {
        if (callsNamed("CdrvDelay").size() == 2)
            exchange.requestStop();
    };
    const auto threeLines = [&] {
        for (const char* line : {"SPP060\r\n", "SPP120\r\n", "SPP180\r\n"})
            send(line);
    };
    EXPECT_FALSE(exchange.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::MessageAndBeep,
                                          threeLines));
    const QStringList twoLines{"PutString 0 SPP060\r\n", "CdrvDelay 0 25", "PutString 0 SPP120\r\n",
                               "CdrvDelay 0 25", "interruptDelay"};
    EXPECT_EQ(ui.timeline(), ProgramBatch.first(5) + twoLines + ProgramBatch.sliced(5));
    EXPECT_EQ(exchange.completedLines(), 1);
    EXPECT_TRUE(notifier.messages.empty() && notifier.beeps == 0);
    EXPECT_FALSE(exchange.runReadBatch(threeLines));
    EXPECT_EQ(library.sentLines().size(), 2);
}

} // namespace
} // namespace rtu
