#include "protocol/ProtocolRig.h"

#include <gtest/gtest.h>

#include <vector>

namespace rtu {
namespace {

enum Row { TimeRow, DateRow, PollRow, LcdTimingRow, LcdTextRow, VersionRow };

void setPollPeriod(UnitSettingsPanel& panel, int hours, int minutes, int seconds) {
    panel.setVScroll(2, hours);
    panel.setVScroll(3, minutes);
    panel.setVScroll(4, seconds);
}

void tick(UnitSettingsPanel& panel, const std::vector<int>& rows) {
    for (int row : rows)
        panel.setCheck1(row, 1);
}

// What the group of `row` shows: its displays, then the scroll bars behind them.
QString shown(const UnitSettingsPanel& p, int row) {
    switch (row) {
    case TimeRow:
    case DateRow:
        return p.text2(0) + u'|' + p.text2(1);
    case PollRow:
        return QStringLiteral("%1|%2|%3 %4|%5|%6")
            .arg(p.label8(0), p.label8(1), p.label8(2))
            .arg(p.vscroll(2))
            .arg(p.vscroll(3))
            .arg(p.vscroll(4));
    case LcdTimingRow:
        return QStringLiteral("%1|%2 %3|%4")
            .arg(p.label8(3), p.label8(4))
            .arg(p.vscroll(5))
            .arg(p.vscroll(6));
    case LcdTextRow:
        return p.text1(0) + u'|' + p.text1(1);
    }
    return p.label2(2);
}

class UnitCommandsTest : public ::testing::Test, protected ProtocolRig {
protected:
    // Programs with only `rows` ticked; returns the lines sent.
    QStringList programTicked(const std::vector<int>& rows) {
        panel.setAllChecks(0);
        tick(panel, rows);
        library.clearCalls();
        EXPECT_TRUE(commands.programButton());
        return library.sentLines();
    }
};

TEST_F(UnitCommandsTest, ProgramSendsTheTickedGroupsInOrder) {
    link.ReplyBuffer = QStringLiteral("left over");
    panel.setClockAuto(false);
    panel.setText2(0, QStringLiteral("17.08.23")); // cut by position, whatever the separators
    panel.setText2(1, QStringLiteral("12-31-2000"));
    setPollPeriod(panel, 9, 59, 59);
    panel.setVScroll(5, 42);
    panel.setVScroll(6, 0);
    panel.setText1(0, QStringLiteral(" Acme Oil "));
    panel.setText1(1, QString());
    EXPECT_EQ(programTicked({TimeRow, DateRow, PollRow, LcdTimingRow, LcdTextRow, VersionRow}),
              QStringList({"SRTCT170823", "SRTCD123100", "SPP35999", "SLCD42R00",
                           "SLCDT1\" Acme Oil \"T2\"\""}));
    EXPECT_EQ(library.sentBytes().count("\r\n"), 5);
    EXPECT_EQ(callsNamed(library, "CdrvDelay"), QStringList(5, "CdrvDelay 0 25"));
    EXPECT_TRUE(link.ReplyBuffer.isEmpty());
    EXPECT_EQ(lastSteps(ui.timeline(), 5), ProgramBatchClosing);

    panel.setText2(1, QStringLiteral("12/31/2000"));
    EXPECT_EQ(programTicked({DateRow}), QStringList({"SRTCD123100"}));
    setPollPeriod(panel, 0, 0, 0);
    EXPECT_EQ(programTicked({PollRow}), QStringList({"SPP000"}));
    EXPECT_EQ(programTicked({}), QStringList());
    EXPECT_EQ(callsNamed(library, "RtsOn"), QStringList({"RtsOn 0"})) << "the batch still runs";
    panel.setClockAuto(true); // the PC clock, whatever the boxes say
    EXPECT_EQ(programTicked({TimeRow, DateRow}), QStringList({"SRTCT090503", "SRTCD030724"}));

    // An error on the second line skips the rest and only beeps.
    library.failOnLine(int(library.sentBytes().count("\r\n")) + 2);
    library.clearCalls();
    EXPECT_FALSE(commands.programButton());
    EXPECT_EQ(library.sentLines(), QStringList({"SRTCT090503"}));
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_FALSE(library.rts()) << "the batch is closed";
}

// Each read starts with the poll period at 5:30:30 and the LCD timing bars at 7 and 8, so
// that values a reply did not set show.
TEST(UnitCommands, ReadFillsTheTickedGroupFromItsReply) {
    const char* const noText = "????????????????????";
    const struct {
        std::vector<int> ticks;
        const char* line;
        QByteArray reply;
        QString shown;
        bool answered;
    } cases[] = {
        {{DateRow}, "GRTCT", "RTC 12-24-23 17:08:23\r\n", "12:00:00|12-24-23", true},
        {{TimeRow}, "GRTCT", "RTC 12-24-23 17:08:23\r\n", "17:08:23|12/31/2000", true},
        {{TimeRow, DateRow}, "GRTCT", "", "12:00:00|12/31/2000", false},
        {{PollRow}, "GPP", "PP00060\r\n", "00|01|00 0|1|0", true},
        {{PollRow}, "GPP", "PP35999\r\n", "09|59|59 9|59|59", true},
        // Periods the bars cannot show count as no answer and leave the bars alone.
        {{PollRow}, "GPP", "PP36000\r\n", "??|??|?? 5|30|30", false},
        {{PollRow}, "GPP", "PPabcde\r\n", "??|??|?? 5|30|30", false},
        {{PollRow}, "GPP", "PP-0060\r\n", "??|??|?? 5|30|30", false},
        {{PollRow}, "GPP", "PP", "??|??|?? 5|30|30", false},
        {{PollRow}, "GPP", "", "??|??|?? 5|30|30", false},
        {{LcdTimingRow}, "GLCD", "LCD03R05\r\n", "03|05 3|5", true},
        {{LcdTimingRow}, "GLCD", "LCD03R-9\r\n", "??|?? 7|8", false},
        {{LcdTimingRow}, "GLCD", "", "??|?? 7|8", false},
        {{LcdTextRow},
         "GLCDT",
         "LCDT1\"FIRST LINE          \"T2\"SECOND LINE         \"\r\n",
         "FIRST LINE          |SECOND LINE         ",
         true},
        {{LcdTextRow},
         "GLCDT",
         "LCDT1\"ONLY ONE LINE       \"\r\n",
         QStringLiteral("ONLY ONE LINE       |") + noText,
         true},
        {{LcdTextRow}, "GLCDT", "", noText + QStringLiteral("|") + noText, false},
        {{VersionRow}, "GV", "Ver V1.06\r\n", "Ver V1.06\r\n", true},
        {{VersionRow}, "GV", "", "????????  ", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.line + QByteArray(" <- ") + c.reply).toStdString());
        ProtocolRig rig;
        setPollPeriod(rig.panel, 5, 30, 30);
        rig.panel.setVScroll(5, 7);
        rig.panel.setVScroll(6, 8);
        tick(rig.panel, c.ticks);
        rig.answer(c.line, c.reply);
        ReadReport report;
        EXPECT_TRUE(rig.commands.readButton(&report));
        EXPECT_EQ(rig.library.sentLines(), QStringList({c.line}));
        EXPECT_EQ(callsNamed(rig.library, "CdrvDelay"), QStringList({"CdrvDelay 0 25"}));
        EXPECT_EQ(shown(rig.panel, c.ticks.front()), c.shown);
        EXPECT_EQ(c.answered ? report.answered : report.unanswered, QStringList({c.line}));
        EXPECT_EQ(report.answered.size() + report.unanswered.size(), 1);
        EXPECT_EQ(lastSteps(rig.ui.timeline(), 5), ReadBatchClosing);
    }
}

TEST_F(UnitCommandsTest, ModuleReadsParseOnlyTheirOwnReply) {
    link.ReplyBuffer = QStringLiteral("SU04\"OLD REPLY \"L1IT1F1.0000E\r\n");
    EXPECT_EQ(commands.readModule(ModuleKind::Tank, 4), ReplyOutcome::NoReply)
        << "the buffer is cleared first";
    answer("GU04", "SU04\"NEW       \"L1IT1F1.0000E\r\n");
    EXPECT_EQ(commands.readModule(ModuleKind::Tank, 4), ReplyOutcome::Applied);
    answer("G420C3", "420C3U05L2V4M010.000\r\n");
    EXPECT_EQ(commands.readModule(ModuleKind::Loop420, 3), ReplyOutcome::Partial);
}

} // namespace
} // namespace rtu
