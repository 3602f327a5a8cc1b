#include "protocol/ProtocolRig.h"

#include "config/CommaDecimalLocale.h"

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

// What the group of `row` shows: its texts, or its displays each with its counter.
QString shown(const UnitSettings& s, int row) {
    if (row <= DateRow)
        return s.time + u'|' + s.date;
    if (row == LcdTextRow)
        return s.lcdLines[0] + u'|' + s.lcdLines[1];
    if (row == VersionRow)
        return s.version;
    QStringList bars;
    for (int n = row == PollRow ? 0 : 3; n <= (row == PollRow ? 2 : 4); ++n) {
        const CounterSetting& counter = s.counter(UnitSettings::Counter(n));
        bars << counter.shown + u':' + QString::number(counter.value);
    }
    return bars.join(u' ');
}

// Sets the counters in display order.
void setCounters(UnitSettings& s, const std::array<int, 5>& values) {
    for (const UnitSettings::Counter counter : UnitSettings::Counters)
        s.setCounter(counter, values[std::size_t(counter)]);
}

QStringList delays(int count, int units) {
    return QStringList(count, QStringLiteral("CdrvDelay 0 %1").arg(units));
}

class UnitCommandsTest : public ::testing::Test, protected ProtocolRig {
protected:
    // Programs with only `rows` ticked; returns the lines sent.
    QStringList programTicked(const std::vector<int>& rows) {
        this->rows = {};
        for (int row : rows)
            this->rows.ticked[std::size_t(row)] = true;
        library.clearCalls();
        EXPECT_TRUE(commands.programButton());
        return library.sentLines();
    }
};

TEST_F(UnitCommandsTest, ProgramSendsTheTickedGroupsInOrder) {
    link.ReplyBuffer = QStringLiteral("left over");
    settings.clockFromPc = false;
    settings.time = QStringLiteral("17.08.23"); // cut by position, whatever the separators
    settings.date = QStringLiteral("12-31-2000");
    setCounters(settings, {9, 59, 59, 42, 0});
    settings.lcdLines = {QStringLiteral(" Acme Oil "), QString()};
    EXPECT_EQ(programTicked({TimeRow, DateRow, PollRow, LcdTimingRow, LcdTextRow, VersionRow}),
              QStringList({"SRTCT170823", "SRTCD123100", "SPP35999", "SLCD42R00",
                           "SLCDT1\" Acme Oil \"T2\"\""}));
    EXPECT_EQ(library.sentBytes().count("\r\n"), 5);
    EXPECT_EQ(callsNamed("CdrvDelay"), delays(5, 25));
    EXPECT_TRUE(link.ReplyBuffer.isEmpty());

    settings.date = QStringLiteral("12/31/2000");
    EXPECT_EQ(programTicked({DateRow}), QStringList({"SRTCD123100"}));
    setCounters(settings, {0, 0, 0, 42, 0});
    EXPECT_EQ(programTicked({PollRow}), QStringList({"SPP000"}));
    EXPECT_EQ(programTicked({}), QStringList());
    EXPECT_EQ(callsNamed("RtsOn"), QStringList({"RtsOn 0"})) << "the batch still runs";
    settings.clockFromPc = true; // the PC clock, whatever the boxes say
    EXPECT_EQ(programTicked({TimeRow, DateRow}), QStringList({"SRTCT090503", "SRTCD030724"}));

    // An error on the second line skips the rest and is reported.
    library.failOnLine = int(library.sentBytes().count("\r\n")) + 2;
    library.clearCalls();
    EXPECT_FALSE(commands.programButton());
    EXPECT_EQ(library.sentLines(), QStringList({"SRTCT090503"}));
    EXPECT_EQ(listener.events.filter("opening").last(), "opening Program UnitSettings");
    EXPECT_EQ(listener.events.count("failed"), 1);
}

// What a read left in the group or record of its line: a record as its program line without
// the command and the number.
QString shownFor(const ProtocolRig& rig, const QString& line) {
    const QStringList unitLines{"GRTCT", "GPP", "GLCD", "GLCDT", "GV"};
    if (unitLines.contains(line))
        return shown(rig.settings, int(unitLines.indexOf(line)) + DateRow);
    using enum ModuleKind;
    const ModuleKind kind = line.startsWith("GU") ? Tank : line.startsWith("GG4") ? G4 : Loop420;
    const int number = line.right(kind == Tank ? 2 : 1).toInt();
    return moduleCommands(kind).programLine(number, rig.tables).mid(line.size()).chopped(2);
}

// The state a read report gives `line`: "answered", "partly, kept ...", "unanswered", or
// "cut off" for an unanswered line whose reply was still arriving as the wait ended.
QString stateOf(const ReadReport& report, const QString& line) {
    if (report.answered.contains(line))
        return "answered";
    if (report.partlyAnswered.contains(line))
        return "partly, kept " + report.kept.value(line).join(", ");
    return report.cutOff.contains(line) ? "cut off" : "unanswered";
}

// How `line` takes the unit's `reply`: its state, then what the read left in its group or
// record. Each read starts from the defaults, with the poll period at 5:30:30 and the LCD
// timing bars at 7 and 8, so that values a reply did not set show. The unit-settings groups
// are read as "Read" reads them with `ticked` rows, else as "Read All" does.
QString takes(const QString& line, const QByteArray& reply, const std::vector<int>& ticked = {}) {
    ProtocolRig rig;
    setCounters(rig.settings, {5, 30, 30, 7, 8});
    rig.library.answer(line, reply);
    for (const int row : ticked)
        rig.rows.ticked[std::size_t(row)] = true;
    ReadReport report;
    EXPECT_TRUE(ticked.empty() ? rig.commands.readListed({line}, &report)
                               : rig.commands.readButton(&report));
    EXPECT_EQ(rig.library.sentLines(), QStringList({line}));
    return stateOf(report, line) + ": " + shownFor(rig, line);
}

// A record read shows as its program line, so the table also holds how each field is padded
// and formatted (negative values included) under a comma-decimal locale.
// Fields are taken in line order; a missing keyword stops the parse. Letters are stored as
// received, except where the configuration file could not carry them back; a number may
// have leading blanks, and a field with nothing left to read, or no number where one is
// read, keeps its value. A reply whose line end has not come is no answer at all.
TEST(UnitCommands, EachReadTakesTheFieldsItsReplyGivesAndSaysWhichItKept) {
    const CommaDecimalLocale german; // numbers never follow the locale
    const QString noText(20, u'?');
    const QString noTank = "\"TANK 05   \"L0IT0F1.6700E";
    const QString noG4 = "U99L1ONGT0000.000OFFLT0000.000";
    const std::tuple<const char*, QByteArray, QString> table[] = {
        {"GU04", "SU04\"NEW\"L3CT2C2.0000M\r\n", "answered: \"NEW       \"L3CT2C2.0000M"},
        {"GU04", "SU4 \"TWELVE CHARS\"L1IT1F12.3457%\r\n",
         "answered: \"TWELVE CHA\"L1IT1F12.3450%"},
        {"GU04", "\r\nSU04\"X\"L1IT1F1.0000E+\r\n", "answered: \"X         \"L1IT1F1.0000E"},
        {"GU04", "SU04\"T\"L9TT9Y 0.5000#\r\n", "answered: \"T         \"L9TT9Y0.5000#"},
        {"GU04", "SU04\"ODD       \"L1XT2KF2.5000Q\r\n",
         "partly, kept factor, volume unit: \"ODD       \"L1XT2K1.6700E"},
        {"GU04", "SU04\"X\"LxIT9F1.23456E\r\n",
         "partly, kept volume unit: \"X         \"L0IT9F1.2345E"},
        {"GU04", "SU04\"X\"L1IT1F7M\r\n", "partly, kept volume unit: \"X         \"L1IT1F7.0000E"},
        {"GU04", "SU04\"TOP TANK  \"L4C\r\n",
         "partly, kept temperature sensors, temperature unit, factor, volume unit: "
         "\"TOP TANK  \"L4CT0F1.6700E"},
        {"GU04", "SU04\"X\"L2IT1\r\n",
         "partly, kept temperature unit, factor, volume unit: \"X         \"L2IT1F1.6700E"},
        {"GU04", "SU04\"NO CLOSING QUOTE\r\n", "unanswered: " + noTank},
        {"GU04", "SU03\"NEW LABEL \"L3CT2C2.0000M\r\n", "unanswered: " + noTank},
        {"GU04", "xSU04\"NEW LABEL \"L3CT2C2.0000M\r\n", "unanswered: " + noTank},
        {"GU04", "SU04\"CRUDE 1   \"L2IT1F", "cut off: " + noTank},

        {"GG43", "G43U05L2ONEQ10.0OFFGT20\r\n", "answered: U05L2ONEQ0010.000OFFGT0020.000"},
        {"GG43", "G43U 5T 3ONLT12.5OFFGT7\r\n", "answered: U05T3ONLT0012.500OFFGT0007.000"},
        {"GG43", "G43U05T3ONGT-2.5OFFLT1\r\n", "answered: U05T3ONGT-0002.500OFFLT0001.000"},
        {"GG43", "G43U-5T3ONGT0001.000OFFLT0002.000\r\n",
         "partly, kept monitor unit: U99T3ONGT0001.000OFFLT0002.000"},
        {"GG43", "G43U05T3ON\r\n",
         "partly, kept on test, on value, off test, off value: U05T3ONGT0000.000OFFLT0000.000"},
        {"GG43", "G43U05T3ONGTOFFL\r\n",
         "partly, kept on value, off test, off value: U05T3ONGT0000.000OFFLT0000.000"},
        {"GG43", "G43\r\n", "unanswered: " + noG4},
        {"GG43", "G45U03T1ONLT0001.000OFFGT0002.000\r\n", "unanswered: " + noG4},
        {"GG43", "G43U05T3ONGT00", "cut off: " + noG4},

        {"G420C2", "420C2U05T2V4M10V20M1234.56789\r\n", "answered: U05T2V4M010.000V20M1234.567"},
        {"G420C2", "420C2U 5T 2V4M 10.5V20M 20+\r\n", "answered: U05T2V4M010.500V20M020.000"},
        {"G420C2", "420C2U05T2V4M-4.25V20M0\r\n", "answered: U05T2V4M-004.250V20M000.000"},
        {"G420C2", "420C2UxxT2V4M10V20M90\r\n",
         "partly, kept monitor unit: U99T2V4M010.000V20M090.000"},
        {"G420C2", "420C2U07T3V4MV20M5\r\n",
         "partly, kept value at 4 mA: U07T3V4M000.000V20M005.000"},
        {"G420C2", "420C2U07T3V4M012.500\r\n",
         "partly, kept value at 20 mA: U07T3V4M012.500V20M239.500"},
        {"G420C2", "420C9U05T2V4M010.000\r\n", "unanswered: U99L1V4M000.000V20M239.500"},

        {"GRTCT", "RTC 12-24-23 17:08:23\r\n", "answered: 17:08:23|12-24-23"},
        {"GRTCT", "RTC 12-24-23 17:08\r\n", "partly, kept time: 12:00:00|12-24-23"},
        {"GRTCT", "RTC 12-24-23 17:0", "cut off: 12:00:00|12/31/2000"},
        {"GPP", "PP00060\r\n", "answered: 00:0 01:1 00:0"},
        {"GPP", "PP36000\r\n", "unanswered: ??:5 ??:30 ??:30"},
        {"GLCD", "LCD03R05\r\n", "answered: 03:3 05:5"},
        {"GLCD", "LCD03R-9\r\n", "unanswered: ??:7 ??:8"},
        {"GLCD", "LCD\r\n", "unanswered: ??:7 ??:8"},
        {"GLCDT", "LCDT1\"FIRST LINE          \"T2\"SECOND LINE         \"\r\n",
         "answered: FIRST LINE          |SECOND LINE         "},
        {"GLCDT", "LCDT1\"ONLY ONE LINE       \"\r\n",
         "partly, kept line 2: ONLY ONE LINE       |" + noText},
        {"GLCDT", "LCDT1\"AB\r\n", "unanswered: " + noText + '|' + noText},
        {"GV", "\nVer V1.06\r\n", "answered: Ver V1.06\r\n"},
        {"GV", "", "unanswered: ????????  "},
        {"GV", "V7350-2.1", "cut off: ????????  "},
    };
    for (const auto& [line, reply, expected] : table)
        EXPECT_EQ(takes(line, reply).toStdString(), expected.toStdString()) << reply.constData();

    // "Read" takes only the fields of the ticked rows.
    EXPECT_EQ(takes("GRTCT", "RTC 12-24-23 17:08:23\r\n", {DateRow}),
              "answered: 12:00:00|12-24-23");
}

// "Program All" and "Read All" ignore the ticks; they report progress before each step. (How
// each field is formatted, in either locale, shows in the read table above.) A listed
// program sends the lines it lists in the same order.
TEST_F(UnitCommandsTest, ProgramAllSendsThe39LinesInOrderOrStopsAtAnErrorAndAListOnlyItsLines) {
    EXPECT_TRUE(commands.programAll());
    EXPECT_EQ(library.sentLines(), ProgramAllLines);
    EXPECT_EQ(callsNamed("CdrvDelay"), delays(5, 25) + delays(34, 20));
    EXPECT_EQ(listener.events.first(), "opening Program WholeUnit");
    ASSERT_EQ(listener.progressReports.size(), 35);
    EXPECT_EQ(listener.progressReports[0], u"0/39 Programming unit settings");
    EXPECT_EQ(listener.progressReports[8], u"12/39 Programming tank 07");
    EXPECT_EQ(listener.progressReports[17], u"21/39 Programming G4 module 0");
    EXPECT_EQ(listener.progressReports[34], u"38/39 Programming 4-20mA module 8");

    // An error skips the rest and is reported.
    library.clearCalls();
    library.failOnLine = 39 + 7;
    EXPECT_FALSE(commands.programAll());
    EXPECT_EQ(library.sentLines(), ProgramAllLines.mid(0, 6));
    EXPECT_EQ(listener.events.count("failed"), 1);

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
    listener.progressReports.clear();

    library.answer("GPP", "PP03725\r\n");
    library.answer("GU07", "SU07\"WEST      \"L2CT1C0.5000M\r\n");
    library.answer("GG43", "G45U03T1ONLT0001.000OFFGT0002.000\r\n"); // names module 5
    library.answer("GG46", "G46U02L1ONGT0100.000OFFLT0050.000\r\n");
    library.answer("G420C2", "420C2U04T1V4M010.000V20M090.000\r\n");
    library.answer("G420C4", "420C3U04T1V4M010.000V20M090.000\r\n"); // names module 3
    ReadReport report;
    EXPECT_TRUE(commands.readAll(&report));
    EXPECT_EQ(listener.events.filter("opening").last(), "opening Read WholeUnit");
    EXPECT_EQ(library.sentLines(), ReadAllLines);
    EXPECT_EQ(callsNamed("CdrvDelay"), delays(5, 25) + delays(34, 15));

    EXPECT_EQ(shown(settings, PollRow), "01:1 02:2 05:5");
    EXPECT_EQ(settings.time, u"12:00:00") << "no clock reply";
    EXPECT_EQ(tables.SensorRecords[7].Label.text(), u"WEST      ");
    EXPECT_EQ(tables.G4Records[5].Unit.text(), u"3 ");
    EXPECT_EQ(tables.G4Records[6].OnValue.text(), u"0100.000");
    EXPECT_EQ(tables.Loop420Records[2].Value20mA.text(), u"90      ");
    const QStringList answered{"GPP", "GU07", "GG46", "G420C2"};
    EXPECT_EQ(report.answered, answered);
    QStringList unanswered = ReadAllLines;
    unanswered.removeIf([&](const QString& line) { return answered.contains(line); });
    EXPECT_EQ(report.unanswered, unanswered);
    ASSERT_EQ(listener.progressReports.size(), 35);
    EXPECT_EQ(listener.progressReports[0], u"0/39 Reading unit settings");
    EXPECT_EQ(listener.progressReports[8], u"12/39 Reading tank 07");

    // Reading listed lines again sends only those, in the same order.
    library.clearCalls();
    ReadReport again;
    EXPECT_TRUE(commands.readListed({"G420C4", "GU07", "GRTCT"}, &again));
    EXPECT_EQ(library.sentLines(), (QStringList{"GRTCT", "GU07", "G420C4"}));
    EXPECT_EQ(again.answered, QStringList{"GU07"});

    // A module read parses only its own reply.
    link.ReplyBuffer = QStringLiteral("SU04\"OLD REPLY \"L1IT1F1.0000E\r\n");
    EXPECT_EQ(commands.readModule(ModuleKind::Tank, 4).state, ReplyOutcome::Unanswered)
        << "the buffer is cleared first";
    library.answer("GU04", "SU04\"NEW       \"L1IT1F1.0000E\r\n");
    EXPECT_EQ(commands.readModule(ModuleKind::Tank, 4).state, ReplyOutcome::Answered);
    EXPECT_TRUE(commands.readModules(ModuleKind::G4, {3}) &&
                commands.programModules(ModuleKind::Loop420, {2}));
    EXPECT_EQ(listener.events.filter("opening").last(2),
              QStringList({"opening Read Module G4", "opening Program Module Loop420"}));
}

} // namespace
} // namespace rtu
