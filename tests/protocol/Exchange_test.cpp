#include "protocol/ProtocolRig.h"

#include "config/RuntimeError.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// What a batch reports, interleaved with the library's RTS calls (port 0), after its opening.
// The command groups' tests leave the batch framing to these tests.
const QStringList AfterOpening =
    QString("rts on|opened|closing|RtsOff 0|rts off|closed").split('|');
const QStringList ProgramBatch = QStringList{"opening Program RtsPulse", "RtsOn 0"} + AfterOpening;

class ExchangeTest : public ::testing::Test, protected ProtocolRig {
protected:
    void send(const char* line) {
        exchange.SendCommandLine(QString::fromLatin1(line), UnitSettleCount);
    }
};

TEST_F(ExchangeTest, SendCommandLineSendsLogsAndWaitsForTheReplyPickedOutByKeywordAndPosition) {
    library.answer("GPP", "PP00060\r\n");
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

// A read of the main window's starts with an empty reply buffer; a module window's read
// leaves RTS alone.
TEST_F(ExchangeTest, BatchesRaiseRtsBetweenTheirStepsAndReportThem) {
    exchange.PulseRts();
    link.ReplyBuffer = QStringLiteral("stale");
    QString bufferInside = QStringLiteral("not run");
    EXPECT_TRUE(exchange.runBatch({BatchAction::Read, BatchScope::UnitSettings},
                                  [&] { bufferInside = link.ReplyBuffer; }));
    EXPECT_EQ(bufferInside, u"");
    EXPECT_TRUE(exchange.runBatch({BatchAction::Read, BatchScope::Module, ModuleKind::G4}, [] {}));
    const QStringList read = QStringList{"opening Read UnitSettings", "RtsOn 0"} + AfterOpening;
    EXPECT_EQ(listener.timeline(),
              ProgramBatch + read +
                  QString("opening Read Module G4|opened|closing|closed").split('|'));
}

// Which batch "Program", "Program All" and "Read All" run is tested with them.
TEST_F(ExchangeTest, BatchErrorsAndPortLossAreTrappedReportedAndTheBatchStillCloses) {
    EXPECT_FALSE(exchange.runBatch({BatchAction::Program, BatchScope::RtsPulse},
                                   [] { throw std::out_of_range("no record 9"); }));
    EXPECT_EQ(exchange.lastError(), u"no record 9");
    QStringList failed = ProgramBatch;
    failed.insert(4, "failed");
    EXPECT_EQ(listener.timeline(), failed);
    EXPECT_TRUE(exchange.runBatch({BatchAction::Program, BatchScope::UnitSettings}, [] {}));
    EXPECT_EQ(exchange.lastError(), u"") << "kept until the next batch";

    // A port loss counts only inside a batch.
    emit library.portLost(0);
    EXPECT_NO_THROW(send("GV\r\n"));
    const Batch program{BatchAction::Program, BatchScope::UnitSettings};
    EXPECT_TRUE(exchange.runBatch(program, [&] { send("SPP060\r\n"); }));

    library.clearCalls();
    EXPECT_FALSE(exchange.runBatch(program, [&] {
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
    EXPECT_FALSE(exchange.runBatch({BatchAction::Program, BatchScope::RtsPulse}, threeLines));
    const QStringList twoLines{"PutString 0 SPP060\r\n", "CdrvDelay 0 25", "PutString 0 SPP120\r\n",
                               "CdrvDelay 0 25", "interruptDelay"};
    EXPECT_EQ(listener.timeline(), ProgramBatch.first(4) + twoLines + ProgramBatch.sliced(4));
    EXPECT_EQ(exchange.completedLines(), 1);
    EXPECT_FALSE(exchange.runBatch({BatchAction::Read, BatchScope::WholeUnit}, threeLines));
    EXPECT_EQ(library.sentLines().size(), 2);
}

} // namespace
} // namespace rtu
