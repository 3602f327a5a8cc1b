#include "protocol/ProtocolRig.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

enum Row {
    TimeRow = 0,
    DateRow = 1,
    PollRow = 2,
    LcdTimingRow = 3,
    LcdTextRow = 4,
    VersionRow = 5
};

const QString TwentyQuestionMarks(20, QLatin1Char('?'));

class UnitCommandsTest : public ::testing::Test, protected ProtocolRig {
protected:
    void tick(std::initializer_list<int> rows) {
        for (int row : rows)
            panel.setCheck1(row, 1);
    }
    void setPollPeriod(int hours, int minutes, int seconds) {
        panel.setVScroll(2, hours);
        panel.setVScroll(3, minutes);
        panel.setVScroll(4, seconds);
    }
    QList<int> pollScrolls() const {
        return {panel.vscroll(2), panel.vscroll(3), panel.vscroll(4)};
    }
    QStringList pollDisplays() const { return {panel.label8(0), panel.label8(1), panel.label8(2)}; }
    QStringList lcdTimingDisplays() const { return {panel.label8(3), panel.label8(4)}; }
};

// --- Program ---------------------------------------------------------------------------------

TEST_F(UnitCommandsTest, ProgramSendsTheTickedGroupsInOrderWithTheUnitSettleCount) {
    panel.setClockAuto(false);
    panel.setAllChecks(1);
    EXPECT_TRUE(commands.programButton());
    EXPECT_EQ(library.sentLines(), QStringList({"SRTCT120000", "SRTCD123100", "SPP060", "SLCD03R05",
                                                "SLCDT1\"Company\"T2\"Lease Name\""}));
    EXPECT_EQ(callsNamed(library, "CdrvDelay"), QStringList(5, "CdrvDelay 0 25"));
    EXPECT_EQ(library.sentBytes().count("\r\n"), 5);
}

TEST_F(UnitCommandsTest, ProgramWithNothingTickedOnlyOpensAndClosesTheBatch) {
    link.ReplyBuffer = QStringLiteral("left over");
    EXPECT_TRUE(commands.programButton());
    EXPECT_TRUE(library.sentLines().isEmpty());
    EXPECT_TRUE(link.ReplyBuffer.isEmpty());
    EXPECT_EQ(callsNamed(library, "RtsOn"), QStringList({"RtsOn 0"}));
    EXPECT_EQ(lastSteps(ui.timeline(), 5), ProgramBatchClosing);
}

TEST_F(UnitCommandsTest, ManualClockIsCutByPositionWhateverTheSeparators) {
    panel.setClockAuto(false);
    tick({TimeRow, DateRow});
    for (const char* date : {"12-31-2000", "12/31/2000"}) {
        library.clearCalls();
        panel.setText2(1, QString::fromLatin1(date));
        panel.setText2(0, QStringLiteral("17.08.23"));
        commands.programButton();
        EXPECT_EQ(library.sentLines(), QStringList({"SRTCT170823", "SRTCD123100"})) << date;
    }
}

TEST_F(UnitCommandsTest, AutoClockSendsThePcClockAndIgnoresTheBoxes) {
    panel.setClockAuto(true);
    panel.setText2(0, QStringLiteral("01:02:03"));
    tick({TimeRow, DateRow});
    commands.programButton();
    EXPECT_EQ(library.sentLines(), QStringList({"SRTCT090503", "SRTCD030724"}));
}

TEST_F(UnitCommandsTest, PollPeriodIsSentInSecondsWithAtLeastThreeDigits) {
    tick({PollRow});
    const struct {
        int hours, minutes, seconds;
        const char* line;
    } cases[] = {{0, 0, 0, "SPP000"}, {0, 1, 0, "SPP060"}, {9, 59, 59, "SPP35999"}};
    for (const auto& c : cases) {
        library.clearCalls();
        setPollPeriod(c.hours, c.minutes, c.seconds);
        commands.programButton();
        EXPECT_EQ(library.sentLines(), QStringList({c.line}));
    }
}

TEST_F(UnitCommandsTest, LcdLinesCarryTimingWithTwoDigitsAndTextsUnchanged) {
    tick({LcdTimingRow, LcdTextRow});
    panel.setVScroll(5, 42);
    panel.setVScroll(6, 0);
    panel.setText1(0, QStringLiteral(" Acme Oil "));
    panel.setText1(1, QString());
    commands.programButton();
    EXPECT_EQ(library.sentLines(), QStringList({"SLCD42R00", "SLCDT1\" Acme Oil \"T2\"\""}));
}

TEST_F(UnitCommandsTest, ProgramErrorBeepsSkipsTheRestAndClosesTheBatch) {
    panel.setAllChecks(1);
    library.failOnLine(2);
    EXPECT_FALSE(commands.programButton());
    EXPECT_EQ(library.sentLines().size(), 1);
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_FALSE(library.rts());
    EXPECT_EQ(lastSteps(ui.timeline(), 5), ProgramBatchClosing);
}

// --- Read ------------------------------------------------------------------------------------

TEST_F(UnitCommandsTest, ReadSendsTheTickedReadLinesWithTheUnitSettleCount) {
    panel.setAllChecks(1);
    commands.readButton();
    EXPECT_EQ(library.sentLines(), QStringList({"GRTCT", "GPP", "GLCD", "GLCDT", "GV"}));
    EXPECT_EQ(callsNamed(library, "CdrvDelay"), QStringList(5, "CdrvDelay 0 25"));
    EXPECT_EQ(lastSteps(ui.timeline(), 5), ReadBatchClosing);
}

TEST_F(UnitCommandsTest, ClockReplyFillsOnlyTheTickedBoxes) {
    answer("GRTCT", "RTC 12-24-23 17:08:23\r\n");
    tick({DateRow});
    ReadReport report;
    commands.readButton(&report);
    EXPECT_EQ(library.sentLines(), QStringList({"GRTCT"}));
    EXPECT_EQ(panel.text2(1), u"12-24-23");
    EXPECT_EQ(panel.text2(0), u"12:00:00");
    EXPECT_EQ(report.answered, QStringList({"GRTCT"}));

    panel.setCheck1(DateRow, 0);
    tick({TimeRow});
    panel.setText2(1, QStringLiteral("01-01-2001"));
    commands.readButton();
    EXPECT_EQ(panel.text2(0), u"17:08:23");
    EXPECT_EQ(panel.text2(1), u"01-01-2001");
}

TEST_F(UnitCommandsTest, ClockWithoutReplyKeepsBothBoxes) {
    tick({TimeRow, DateRow});
    ReadReport report;
    commands.readButton(&report);
    EXPECT_EQ(panel.text2(0), u"12:00:00");
    EXPECT_EQ(panel.text2(1), u"12/31/2000");
    EXPECT_EQ(report.unanswered, QStringList({"GRTCT"}));
}

TEST_F(UnitCommandsTest, PollPeriodReplyIsSplitIntoHoursMinutesSeconds) {
    setPollPeriod(5, 30, 30);
    answer("GPP", "PP00060\r\n");
    tick({PollRow});
    ReadReport report;
    EXPECT_TRUE(commands.readButton(&report));
    EXPECT_EQ(pollDisplays(), QStringList({"00", "01", "00"}));
    EXPECT_EQ(pollScrolls(), QList<int>({0, 1, 0}));
    EXPECT_TRUE(report.complete());

    answer("GPP", "PP35999\r\n");
    commands.readButton();
    EXPECT_EQ(pollDisplays(), QStringList({"09", "59", "59"}));
    EXPECT_EQ(pollScrolls(), QList<int>({9, 59, 59}));
}

TEST_F(UnitCommandsTest, PollPeriodTheBarsCannotShowCountsAsUnanswered) {
    setPollPeriod(5, 30, 30);
    tick({PollRow});
    for (const char* reply : {"PP36000\r\n", "PPabcde\r\n", "PP-0060\r\n", "", "PP"}) {
        answer("GPP", reply);
        panel.setLabel8(0, QStringLiteral("05"));
        ReadReport report;
        commands.readButton(&report);
        EXPECT_EQ(pollDisplays(), QStringList({"??", "??", "??"})) << reply;
        EXPECT_EQ(pollScrolls(), QList<int>({5, 30, 30})) << reply;
        EXPECT_EQ(report.unanswered, QStringList({"GPP"})) << reply;
        EXPECT_FALSE(library.rts());
        EXPECT_EQ(lastSteps(ui.timeline(), 5), ReadBatchClosing);
    }
}

TEST_F(UnitCommandsTest, LcdTimingReplyShowsItsCharactersAndMovesTheBars) {
    panel.setVScroll(5, 7);
    panel.setVScroll(6, 8);
    answer("GLCD", "LCD03R05\r\n");
    tick({LcdTimingRow});
    commands.readButton();
    EXPECT_EQ(lcdTimingDisplays(), QStringList({"03", "05"}));
    EXPECT_EQ(panel.vscroll(5), 3);
    EXPECT_EQ(panel.vscroll(6), 5);
}

TEST_F(UnitCommandsTest, LcdTimingTheBarsRefuseOrNoReplyShowsPlaceholders) {
    tick({LcdTimingRow});
    for (const char* reply : {"LCD03R-9\r\n", ""}) {
        answer("GLCD", reply);
        ReadReport report;
        EXPECT_TRUE(commands.readButton(&report));
        EXPECT_EQ(lcdTimingDisplays(), QStringList({"??", "??"})) << reply;
        EXPECT_EQ(panel.vscroll(5), 3) << reply;
        EXPECT_EQ(report.unanswered, QStringList({"GLCD"}));
    }
}

TEST_F(UnitCommandsTest, LcdTextRepliesFillEachLineIndependently) {
    tick({LcdTextRow});
    answer("GLCDT", "LCDT1\"FIRST LINE          \"T2\"SECOND LINE         \"\r\n");
    ReadReport report;
    commands.readButton(&report);
    EXPECT_EQ(panel.text1(0), u"FIRST LINE          ");
    EXPECT_EQ(panel.text1(1), u"SECOND LINE         ");
    EXPECT_EQ(report.answered, QStringList({"GLCDT"}));

    answer("GLCDT", "LCDT1\"ONLY ONE LINE       \"\r\n");
    commands.readButton();
    EXPECT_EQ(panel.text1(0), u"ONLY ONE LINE       ");
    EXPECT_EQ(panel.text1(1), TwentyQuestionMarks);

    answer("GLCDT", "");
    report = {};
    commands.readButton(&report);
    EXPECT_EQ(panel.text1(0), TwentyQuestionMarks);
    EXPECT_EQ(report.unanswered, QStringList({"GLCDT"}));
}

TEST_F(UnitCommandsTest, VersionShowsTheWholeBufferWithItsLineEnd) {
    tick({VersionRow});
    answer("GV", "Ver V1.06\r\n");
    commands.readButton();
    EXPECT_EQ(panel.label2(2), u"Ver V1.06\r\n");

    answer("GV", "");
    commands.readButton();
    EXPECT_EQ(panel.label2(2), u"????????  ");
}

// --- Tanks and modules one at a time ---------------------------------------------------------

TEST_F(UnitCommandsTest, ModuleLinesUseTheirSettleCounts) {
    commands.ProgramSensor(15);
    commands.ProgramG4(9);
    commands.ProgramLoop420(8);
    commands.ReadSensor(15);
    commands.ReadG4(9);
    commands.ReadLoop420(8);
    EXPECT_EQ(library.sentLines(),
              QStringList({"SU15\"TANK 16   \"L0IT0F1.6700E", "SG49U99L1ONGT0000.000OFFLT0000.000",
                           "S420C8U99L1V4M000.000V20M239.500", "GU15", "GG49", "G420C8"}));
    EXPECT_EQ(callsNamed(library, "CdrvDelay"),
              QStringList({"CdrvDelay 0 20", "CdrvDelay 0 20", "CdrvDelay 0 20", "CdrvDelay 0 15",
                           "CdrvDelay 0 15", "CdrvDelay 0 15"}));
}

TEST_F(UnitCommandsTest, ModuleReadsParseOnlyTheirOwnReply) {
    link.ReplyBuffer = QStringLiteral("SU04\"OLD REPLY \"L1IT1F1.0000E\r\n");
    EXPECT_EQ(commands.ReadSensor(4), ReplyOutcome::NoReply) << "the buffer is cleared first";

    answer("GU04", "SU04\"NEW       \"L1IT1F1.0000E\r\n");
    EXPECT_EQ(commands.ReadSensor(4), ReplyOutcome::Applied);
    EXPECT_EQ(tables.SensorRecords[4].Label.text(), u"NEW       ");

    answer("GG42", "G45U03T1ONLT0001.000OFFGT0002.000\r\n");
    EXPECT_EQ(commands.ReadG4(2), ReplyOutcome::NoReply) << "the reply named another module";
    EXPECT_EQ(tables.G4Records[5].Unit.text(), u"3 ");

    answer("G420C3", "420C3U05L2V4M010.000\r\n");
    EXPECT_EQ(commands.ReadLoop420(3), ReplyOutcome::Partial);
}

} // namespace
} // namespace rtu
