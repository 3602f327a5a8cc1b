#include "protocol/ProtocolRig.h"

#include "support/Configurations.h"
#include "support/Files.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// The 39 lines (without CR LF) that "Program All" sends for the default records at the rig's
// PC clock, and the 39 that "Read All" sends, in order.
const QStringList ProgramAllLines =
    QString::fromLatin1(test::readFile(RTU7350_TESTS_DIR "/protocol/program-all.txt"))
        .split(u'\n', Qt::SkipEmptyParts);
const QStringList ReadAllLines =
    QStringLiteral("GRTCT GPP GLCD GLCDT GV GU00 GU01 GU02 GU03 GU04 GU05 GU06 GU07 GU08 GU09 GU10 "
                   "GU11 GU12 GU13 GU14 GU15 GG40 GG41 GG42 GG43 GG44 GG45 GG46 GG47 GG48 GG49 "
                   "G420C1 G420C2 G420C3 G420C4 G420C5 G420C6 G420C7 G420C8")
        .split(u' ');

enum Row { TimeRow, DateRow, PollRow, LcdTimingRow, LcdTextRow, VersionRow };

// What the group of `row` shows: its texts, or its displays each with its scroll bar.
QString shown(const UnitSettingsPanel& p, int row) {
    if (row <= DateRow)
        return p.text2(0) + u'|' + p.text2(1);
    if (row == LcdTextRow)
        return p.text1(0) + u'|' + p.text1(1);
    if (row == VersionRow)
        return p.label2(2);
    QStringList bars;
    for (int n = row == PollRow ? 2 : 5; n <= (row == PollRow ? 4 : 6); ++n)
        bars << p.label8(n - 2) + u':' + QString::number(p.vscroll(n));
    return bars.join(u' ');
}

QStringList delays(int count, int units) {
    return QStringList(count, QStringLiteral("CdrvDelay 0 %1").arg(units));
}

class UnitCommandsTest : public ::testing::Test, protected ProtocolRig {
protected:
    // Programs with only `rows` ticked; returns the lines sent.
    QStringList programTicked(const std::vector<int>& rows) {
        panel.setAllChecks(0);
        for (int row : rows)
            panel.setCheck1(row, 1);
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
    for (const auto& [n, value] : {std::pair{2, 9}, {3, 59}, {4, 59}, {5, 42}, {6, 0}})
        panel.setVScroll(n, value);
    panel.setText1(0, QStringLiteral(" Acme Oil "));
    panel.setText1(1, QString());
    EXPECT_EQ(programTicked({TimeRow, DateRow, PollRow, LcdTimingRow, LcdTextRow, VersionRow}),
              QStringList({"SRTCT170823", "SRTCD123100", "SPP35999", "SLCD42R00",
                           "SLCDT1\" Acme Oil \"T2\"\""}));
    EXPECT_EQ(library.sentBytes().count("\r\n"), 5);
    EXPECT_EQ(callsNamed("CdrvDelay"), delays(5, 25));
    EXPECT_TRUE(link.ReplyBuffer.isEmpty());

    panel.setText2(1, QStringLiteral("12/31/2000"));
    EXPECT_EQ(programTicked({DateRow}), QStringList({"SRTCD123100"}));
    for (int n = 2; n <= 4; ++n)
        panel.setVScroll(n, 0);
    EXPECT_EQ(programTicked({PollRow}), QStringList({"SPP000"}));
    EXPECT_EQ(programTicked({}), QStringList());
    EXPECT_EQ(callsNamed("RtsOn"), QStringList({"RtsOn 0"})) << "the batch still runs";
    panel.setClockAuto(true); // the PC clock, whatever the boxes say
    EXPECT_EQ(programTicked({TimeRow, DateRow}), QStringList({"SRTCT090503", "SRTCD030724"}));

    // An error on the second line skips the rest and only beeps.
    library.failOnLine = int(library.sentBytes().count("\r\n")) + 2;
    library.clearCalls();
    EXPECT_FALSE(commands.programButton());
    EXPECT_EQ(library.sentLines(), QStringList({"SRTCT090503"}));
    EXPECT_TRUE(notifier.beeps == 1 && notifier.messages.empty());
}

// Each read starts with the poll period at 5:30:30 and the LCD timing bars at 7 and 8, so
// that values a reply did not set show. A read that counts as no answer shows " unanswered".
TEST(UnitCommands, ReadFillsTheTickedGroupFromItsReply) {
    const auto read = [](int row, const char* line, const QByteArray& reply) {
        ProtocolRig rig;
        for (const auto& [n, value] : {std::pair{2, 5}, {3, 30}, {4, 30}, {5, 7}, {6, 8}})
            rig.panel.setVScroll(n, value);
        rig.panel.setCheck1(row, 1);
        rig.answer(line, reply);
        ReadReport report;
        EXPECT_TRUE(rig.commands.readButton(&report));
        EXPECT_EQ(rig.library.sentLines(), QStringList({line}));
        EXPECT_EQ(report.answered.size() + report.unanswered.size(), 1);
        return shown(rig.panel, row) + (report.answered.isEmpty() ? " unanswered" : "");
    };
    EXPECT_EQ(read(DateRow, "GRTCT", "RTC 12-24-23 17:08:23\r\n"), "12:00:00|12-24-23");
    EXPECT_EQ(read(TimeRow, "GRTCT", "RTC 12-24-23 17:08:23\r\n"), "17:08:23|12/31/2000");
    EXPECT_EQ(read(PollRow, "GPP", "PP00060\r\n"), "00:0 01:1 00:0");
    EXPECT_EQ(read(PollRow, "GPP", "PP35999\r\n"), "09:9 59:59 59:59");
    // Periods the bars cannot show count as no answer and leave the bars alone.
    for (const char* reply : {"PP36000\r\n", "PPabcde\r\n", ""})
        EXPECT_EQ(read(PollRow, "GPP", reply), "??:5 ??:30 ??:30 unanswered") << reply;
    EXPECT_EQ(read(LcdTimingRow, "GLCD", "LCD03R05\r\n"), "03:3 05:5");
    EXPECT_EQ(read(LcdTimingRow, "GLCD", "LCD03R-9\r\n"), "??:7 ??:8 unanswered");
    EXPECT_EQ(
        read(LcdTextRow, "GLCDT", "LCDT1\"FIRST LINE          \"T2\"SECOND LINE         \"\r\n"),
        "FIRST LINE          |SECOND LINE         ");
    const QString noText(20, u'?');
    EXPECT_EQ(read(LcdTextRow, "GLCDT", "LCDT1\"ONLY ONE LINE       \"\r\n"),
              "ONLY ONE LINE       |" + noText);
    EXPECT_EQ(read(LcdTextRow, "GLCDT", ""), noText + u'|' + noText + " unanswered");
    EXPECT_EQ(read(VersionRow, "GV", "Ver V1.06\r\n"), "Ver V1.06\r\n");
    EXPECT_EQ(read(VersionRow, "GV", ""), "????????   unanswered");
}

// "Program All" and "Read All" ignore the ticks; they report progress before each step. (How
// each line is formatted, in either locale, is CommandLines'.) A listed program sends the
// lines it lists in the same order.
TEST_F(UnitCommandsTest, ProgramAllSendsThe39LinesInOrderOrStopsAtAnErrorAndAListOnlyItsLines) {
    EXPECT_TRUE(commands.programAll());
    EXPECT_EQ(library.sentLines(), ProgramAllLines);
    EXPECT_EQ(callsNamed("CdrvDelay"), delays(5, 25) + delays(34, 20));
    EXPECT_TRUE(notifier.messages.empty() && notifier.beeps == 0);
    ASSERT_EQ(ui.progressReports.size(), 35);
    EXPECT_EQ(ui.progressReports[0], u"0/39 Programming unit settings");
    EXPECT_EQ(ui.progressReports[8], u"12/39 Programming tank 07");
    EXPECT_EQ(ui.progressReports[17], u"21/39 Programming G4 module 0");
    EXPECT_EQ(ui.progressReports[34], u"38/39 Programming 4-20mA module 8");

    // An error shows "Error!", beeps and skips the rest.
    library.clearCalls();
    library.failOnLine = 39 + 7;
    EXPECT_FALSE(commands.programAll());
    EXPECT_EQ(library.sentLines(), ProgramAllLines.mid(0, 6));
    EXPECT_EQ(notifier.messages, (std::vector<RecordingNotifier::Message>{
                                     {"Error!", QString(), MessageIcon::Critical}}));
    EXPECT_EQ(notifier.beeps, 1);

    library.clearCalls();
    EXPECT_TRUE(commands.programListed({"SG43", "SLCDT1", "SU07", "SRTCT", "SU16"}));
    EXPECT_EQ(library.sentLines(), QStringList({ProgramAllLines[0], ProgramAllLines[4],
                                                ProgramAllLines[5 + 7], ProgramAllLines[21 + 3]}));
}

TEST_F(UnitCommandsTest,
       ReadAllStoresEveryAnswerReportsWhoAnsweredUnlessThePortIsLostAsModuleReads) {
    // A port lost during Read All ends that read after the line it was lost on.
    library.loseOnLine = 10; // GU04
    ReadReport lost;
    EXPECT_FALSE(commands.readAll(&lost));
    EXPECT_EQ(library.sentLines(), ReadAllLines.mid(0, 10));
    EXPECT_EQ(lost.unanswered, ReadAllLines) << "every read, sent or not, is reported";
    library.clearCalls(); // the loss belonged to that batch: the next one runs in full
    ui.progressReports.clear();

    answer("GPP", "PP03725\r\n");
    answer("GU07", "SU07\"WEST      \"L2CT1C0.5000M\r\n");
    answer("GG43", "G45U03T1ONLT0001.000OFFGT0002.000\r\n"); // names module 5
    answer("GG46", "G46U02L1ONGT0100.000OFFLT0050.000\r\n");
    answer("G420C2", "420C2U04T1V4M010.000V20M090.000\r\n");
    answer("G420C4", "420C3U04T1V4M010.000V20M090.000\r\n"); // names module 3
    ReadReport report;
    EXPECT_TRUE(commands.readAll(&report));
    EXPECT_EQ(library.sentLines(), ReadAllLines);
    EXPECT_EQ(callsNamed("CdrvDelay"), delays(5, 25) + delays(34, 15));

    EXPECT_EQ(shown(panel, PollRow), "01:1 02:2 05:5");
    EXPECT_EQ(panel.text2(0), u"12:00:00") << "no clock reply";
    EXPECT_EQ(tables.SensorRecords[7].Label.text(), u"WEST      ");
    EXPECT_EQ(tables.G4Records[5].Unit.text(), u"3 ");
    EXPECT_EQ(tables.G4Records[6].OnValue.text(), u"0100.000");
    EXPECT_EQ(tables.Loop420Records[2].Value20mA.text(), u"90      ");
    const QStringList answered{"GPP", "GU07", "GG46", "G420C2"};
    EXPECT_EQ(report.answered, answered);
    QStringList unanswered = ReadAllLines;
    unanswered.removeIf([&](const QString& line) { return answered.contains(line); });
    EXPECT_EQ(report.unanswered, unanswered);
    ASSERT_EQ(ui.progressReports.size(), 35);
    EXPECT_EQ(ui.progressReports[0], u"0/39 Reading unit settings");
    EXPECT_EQ(ui.progressReports[8], u"12/39 Reading tank 07");

    // Reading listed lines again sends only those, in the same order.
    library.clearCalls();
    ReadReport again;
    EXPECT_TRUE(commands.readListed({"G420C4", "GU07", "GRTCT"}, &again));
    EXPECT_EQ(library.sentLines(), (QStringList{"GRTCT", "GU07", "G420C4"}));
    EXPECT_EQ(again.answered, QStringList{"GU07"});

    // A module read parses only its own reply.
    link.ReplyBuffer = QStringLiteral("SU04\"OLD REPLY \"L1IT1F1.0000E\r\n");
    EXPECT_EQ(commands.readModule(ModuleKind::Tank, 4), ReplyOutcome::NoReply)
        << "the buffer is cleared first";
    answer("GU04", "SU04\"NEW       \"L1IT1F1.0000E\r\n");
    EXPECT_EQ(commands.readModule(ModuleKind::Tank, 4), ReplyOutcome::Applied);
    answer("G420C3", "420C3U05L2V4M010.000\r\n");
    EXPECT_EQ(commands.readModule(ModuleKind::Loop420, 3), ReplyOutcome::Partial);
}

// Nothing a unit sends may put a line end or a stray quote into a setting: what was read
// must save as a configuration file that loads back to the same file. (The replies fuzz
// target holds any replies to the same.)
TEST_F(UnitCommandsTest, WhateverTheRepliesWhatIsReadSavesAndLoadsBackUnchanged) {
    answer("GLCDT", "LCDT1\"AB\r\n");
    answer("GLCD", "LCD\r\n");
    ReadReport report;
    ASSERT_TRUE(commands.readAll(&report));
    EXPECT_EQ(panel.lcdLine(1), "AB");
    EXPECT_TRUE(report.unanswered.contains("GLCD")) << "a timing field without a digit";
    EXPECT_EQ(test::savedAgain(panel, tables), WriteConfiguration(panel, tables));

    // Each reply is the keyword followed by 100000 bytes of every value.
    QByteArray garbage;
    for (int i = 0; i < 100000; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    for (const QString& line : ReadAllLines)
        library.answer(line, line.mid(1).toLatin1() + garbage);
    ReadReport garbled;
    EXPECT_TRUE(commands.readAll(&garbled));
    EXPECT_EQ(garbled.answered.size() + garbled.unanswered.size(), 39);
    for (const G4Record& module : tables.G4Records)
        EXPECT_EQ(module.OnValue.text().size(), 8);
    EXPECT_EQ(test::savedAgain(panel, tables), WriteConfiguration(panel, tables));
}

} // namespace
} // namespace rtu
