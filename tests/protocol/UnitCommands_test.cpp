#include "protocol/ProtocolRig.h"

#include "config/CommaDecimalLocale.h"
#include "config/ConfigurationFile.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// The 39 lines (without CR LF) that "Program All" sends for the default records, the clock
// lines carrying `time` (HHMMSS) and `date` (MMDDYY).
QStringList defaultProgramAllLines(const QString& time, const QString& date) {
    QStringList lines{"SRTCT" + time, "SRTCD" + date, "SPP060", "SLCD03R05",
                      "SLCDT1\"Company\"T2\"Lease Name\""};
    for (int tank = 0; tank < 16; ++tank)
        lines << QStringLiteral("SU%1\"TANK %2   \"L0IT0F1.6700E")
                     .arg(tank, 2, 10, QLatin1Char('0'))
                     .arg(tank + 1, 2, 10, QLatin1Char('0'));
    for (int module = 0; module <= 9; ++module)
        lines << QStringLiteral("SG4%1U99L1ONGT0000.000OFFLT0000.000").arg(module);
    for (int module = 1; module <= 8; ++module)
        lines << QStringLiteral("S420C%1U99L1V4M000.000V20M239.500").arg(module);
    return lines;
}

// The 39 lines that "Read All" sends, in order.
QStringList readAllLines() {
    QStringList lines{"GRTCT", "GPP", "GLCD", "GLCDT", "GV"};
    for (int tank = 0; tank < 16; ++tank)
        lines << QStringLiteral("GU%1").arg(tank, 2, 10, QLatin1Char('0'));
    for (int module = 0; module <= 9; ++module)
        lines << QStringLiteral("GG4%1").arg(module);
    for (int module = 1; module <= 8; ++module)
        lines << QStringLiteral("G420C%1").arg(module);
    return lines;
}

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

// "Program All" and "Read All" ignore the ticks; they report progress before each step.
TEST_F(UnitCommandsTest, ProgramAllSendsThe39LinesInOrderWhateverTheLocaleOrStopsAtAnError) {
    const CommaDecimalLocale german;
    tables.G4Records[3].OnValue = "12.5";
    EXPECT_TRUE(commands.programAll());
    QStringList expected = defaultProgramAllLines("090503", "030724");
    expected[5 + 16 + 3] = QStringLiteral("SG43U99L1ONGT0012.500OFFLT0000.000");
    EXPECT_EQ(library.sentLines(), expected);
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
    EXPECT_EQ(library.sentLines(), expected.mid(0, 6));
    EXPECT_EQ(notifier.messages, (std::vector<RecordingNotifier::Message>{
                                     {"Error!", QString(), MessageIcon::Critical}}));
    EXPECT_EQ(notifier.beeps, 1);
}

TEST_F(UnitCommandsTest,
       ReadAllStoresEveryAnswerReportsWhoAnsweredUnlessThePortIsLostAsModuleReads) {
    // A port lost during Read All ends that read after the line it was lost on.
    library.loseOnLine = 10; // GU04
    ReadReport lost;
    EXPECT_FALSE(commands.readAll(&lost));
    EXPECT_EQ(library.sentLines(), readAllLines().mid(0, 10));
    EXPECT_EQ(lost.unanswered, readAllLines()) << "every read, sent or not, is reported";
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
    EXPECT_EQ(library.sentLines(), readAllLines());
    EXPECT_EQ(callsNamed("CdrvDelay"), delays(5, 25) + delays(34, 15));

    EXPECT_EQ(shown(panel, PollRow), "01:1 02:2 05:5");
    EXPECT_EQ(panel.text2(0), u"12:00:00") << "no clock reply";
    EXPECT_EQ(tables.SensorRecords[7].Label.text(), u"WEST      ");
    EXPECT_EQ(tables.G4Records[5].Unit.text(), u"3 ");
    EXPECT_EQ(tables.G4Records[6].OnValue.text(), u"0100.000");
    EXPECT_EQ(tables.Loop420Records[2].Value20mA.text(), u"90      ");
    const QStringList answered{"GPP", "GU07", "GG46", "G420C2"};
    EXPECT_EQ(report.answered, answered);
    QStringList unanswered = readAllLines();
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
// must save as a configuration file that loads back to the same file.
TEST_F(UnitCommandsTest,
       WhateverTheRepliesWhatIsReadSavesAndLoadsBackUnchangedAndGarbageBreaksNothing) {
    answer("GLCDT", "LCDT1\"AB\r\n");
    answer("GLCD", "LCD\r\n");
    ReadReport report;
    ASSERT_TRUE(commands.readAll(&report));
    EXPECT_EQ(panel.lcdLine(1), "AB");
    EXPECT_TRUE(report.unanswered.contains("GLCD")) << "a timing field without a digit";

    std::srand(7350);
    const QByteArray alphabet = "0123456789.-\" \r\nSUG4LTCRPVONF%EMI ";
    for (int round = 0; round < 500; ++round) {
        for (const QString& line : readAllLines()) {
            QByteArray reply = line.mid(1).toLatin1();
            for (int n = std::rand() % 40; n > 0; --n)
                reply += alphabet[std::rand() % alphabet.size()];
            library.answer(line, reply);
        }
        commands.readAll();
        const QByteArray saved = WriteConfiguration(panel, tables);
        UnitSettingsPanel reloadedPanel(notifier);
        RecordTables reloaded;
        SetAllDefaults(reloaded);
        ASSERT_TRUE(LoadConfiguration(saved, reloadedPanel, reloaded).ok) << saved.constData();
        reloadedPanel.setClockTexts(panel.timeText(), panel.dateText());
        const QStringList again =
            QString::fromLatin1(WriteConfiguration(reloadedPanel, reloaded)).split("\r\n");
        const QStringList first = QString::fromLatin1(saved).split("\r\n");
        for (qsizetype i = 0; i < first.size(); ++i)
            EXPECT_EQ(again.value(i).toStdString(), first[i].toStdString());
        EXPECT_EQ(saved.count("\r\n"), 39);
    }

    // Each reply is the keyword followed by 100000 bytes of every value.
    QByteArray garbage;
    for (int i = 0; i < 100000; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    for (const QString& line : readAllLines())
        library.answer(line, line.mid(1).toLatin1() + garbage);
    ReadReport garbled;
    EXPECT_TRUE(commands.readAll(&garbled));
    EXPECT_EQ(garbled.answered.size() + garbled.unanswered.size(), 39);
    for (const G4Record& module : tables.G4Records)
        EXPECT_EQ(module.OnValue.text().size(), 8);
}

} // namespace
} // namespace rtu
