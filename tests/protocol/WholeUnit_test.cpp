#include "protocol/ProtocolRig.h"

#include "config/CommaDecimalLocale.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// What "Program All" sends right after start-up, the PC clock reading 2024-03-07 09:05:03.
QStringList defaultProgramAllLines() {
    QStringList lines{"SRTCT090503", "SRTCD030724", "SPP060", "SLCD03R05",
                      "SLCDT1\"Company\"T2\"Lease Name\""};
    for (int tank = 0; tank < 16; ++tank)
        lines << QStringLiteral("SU%1\"TANK %2   \"L0IT0F1.6700E")
                     .arg(twoDigits(tank), twoDigits(tank + 1));
    for (int module = 0; module <= 9; ++module)
        lines << QStringLiteral("SG4%1U99L1ONGT0000.000OFFLT0000.000").arg(module);
    for (int module = 1; module <= 8; ++module)
        lines << QStringLiteral("S420C%1U99L1V4M000.000V20M239.500").arg(module);
    return lines;
}

QStringList readAllLines() {
    QStringList lines{"GRTCT", "GPP", "GLCD", "GLCDT", "GV"};
    for (int tank = 0; tank < 16; ++tank)
        lines << QStringLiteral("GU") + twoDigits(tank);
    for (int module = 0; module <= 9; ++module)
        lines << QStringLiteral("GG4%1").arg(module);
    for (int module = 1; module <= 8; ++module)
        lines << QStringLiteral("G420C%1").arg(module);
    return lines;
}

QStringList delays(int count, int units) {
    return QStringList(count, QStringLiteral("CdrvDelay 0 %1").arg(units));
}

class WholeUnitTest : public ::testing::Test, protected ProtocolRig {};

// --- Program All -----------------------------------------------------------------------------

TEST_F(WholeUnitTest, ProgramAllSendsThe39LinesInOrderWhateverTheTicksAndLocale) {
    const CommaDecimalLocale german;
    tables.G4Records[3].OnValue = "12.5";
    EXPECT_TRUE(commands.programAll());
    QStringList expected = defaultProgramAllLines();
    expected[5 + 16 + 3] = QStringLiteral("SG43U99L1ONGT0012.500OFFLT0000.000");
    EXPECT_EQ(library.sentLines(), expected);
    EXPECT_EQ(callsNamed(library, "CdrvDelay"), delays(5, 25) + delays(34, 20));
    const QStringList timeline = ui.timeline();
    EXPECT_EQ(timeline.mid(0, 5), ProgramBatchOpening);
    EXPECT_EQ(lastSteps(timeline, 5), ProgramBatchClosing);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(notifier.beeps, 0);

    // Progress is reported before each step.
    const QStringList& steps = ui.progressReports();
    ASSERT_EQ(steps.size(), 35);
    EXPECT_EQ(steps[0], u"0/39 Programming unit settings");
    EXPECT_EQ(steps[8], u"12/39 Programming tank 07");
    EXPECT_EQ(steps[17], u"21/39 Programming G4 module 0");
    EXPECT_EQ(steps[34], u"38/39 Programming 4-20mA module 8");
}

TEST_F(WholeUnitTest, ProgramAllErrorShowsErrorBeepsAndSkipsTheRest) {
    library.failOnLine(7);
    EXPECT_FALSE(commands.programAll());
    EXPECT_EQ(library.sentLines(), defaultProgramAllLines().mid(0, 6));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0],
              (RecordingNotifier::Message{"Error!", QString(), MessageIcon::Critical}));
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_FALSE(library.rts());
    EXPECT_EQ(lastSteps(ui.timeline(), 5), ProgramBatchClosing);
}

// --- Read All --------------------------------------------------------------------------------

TEST_F(WholeUnitTest, ReadAllStoresEveryAnswerAndReportsWhoAnswered) {
    answer("GPP", "PP03725\r\n");
    answer("GU07", "SU07\"WEST      \"L2CT1C0.5000M\r\n");
    answer("GG43", "G45U03T1ONLT0001.000OFFGT0002.000\r\n"); // names module 5
    answer("GG46", "G46U02L1ONGT0100.000OFFLT0050.000\r\n");
    answer("G420C2", "420C2U04T1V4M010.000V20M090.000\r\n");
    answer("G420C4", "420C3U04T1V4M010.000V20M090.000\r\n"); // names module 3
    ReadReport report;
    EXPECT_TRUE(commands.readAll(&report));
    EXPECT_EQ(library.sentLines(), readAllLines());
    EXPECT_EQ(callsNamed(library, "CdrvDelay"), delays(5, 25) + delays(34, 15));
    EXPECT_EQ(ui.timeline().mid(0, 5), ReadBatchOpening);
    EXPECT_EQ(lastSteps(ui.timeline(), 5), ReadBatchClosing);

    EXPECT_EQ(QList<int>({panel.vscroll(2), panel.vscroll(3), panel.vscroll(4)}),
              QList<int>({1, 2, 5}));
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

    const QStringList& steps = ui.progressReports();
    ASSERT_EQ(steps.size(), 35);
    EXPECT_EQ(steps[0], u"0/39 Reading unit settings");
    EXPECT_EQ(steps[8], u"12/39 Reading tank 07");
}

TEST_F(WholeUnitTest, PortLostDuringReadAllEndsThatReadAfterTheLineItWasLostOn) {
    library.loseOnLine(10); // GU04
    ReadReport report;
    EXPECT_FALSE(commands.readAll(&report));
    EXPECT_EQ(library.sentLines(), readAllLines().mid(0, 10));
    EXPECT_FALSE(library.rts());
    EXPECT_EQ(lastSteps(ui.timeline(), 5), ReadBatchClosing);
    EXPECT_EQ(report.unanswered, readAllLines()) << "every read, sent or not, is reported";

    // The loss belonged to that batch: the next one runs in full.
    library.clearCalls();
    EXPECT_TRUE(commands.readAll());
    EXPECT_EQ(library.sentLines(), readAllLines());
}

TEST_F(WholeUnitTest, GarbageRepliesNeverBreakAReadAll) {
    QByteArray garbage;
    for (int i = 0; i < 100000; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    for (const QString& line : readAllLines())
        library.answer(line, line.mid(1).toLatin1() + garbage);
    ReadReport report;
    EXPECT_TRUE(commands.readAll(&report));
    EXPECT_FALSE(library.rts());
    EXPECT_EQ(report.answered.size() + report.unanswered.size(), 39);
    for (const G4Record& module : tables.G4Records)
        EXPECT_EQ(module.OnValue.text().size(), 8);
}

} // namespace
} // namespace rtu
