#include "sim/SimulatedUnit.h"

#include "config/Numbers.h"
#include "protocol/CommandLines.h"

#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>

namespace rtu {
namespace {

// A unit whose PC clock the test sets.
class SimulatedUnitTest : public ::testing::Test {
protected:
    QByteArray ask(const QByteArray& line) { return unit.handleLine(line); }
    void tell(const QString& line) { EXPECT_TRUE(unit.handleLine(line.toLatin1()).isEmpty()); }

    QDateTime pcNow{QDate(2024, 2, 29), QTime(13, 5, 7)};
    SimulatedUnit unit{[this] { return pcNow; }};
};

QString withoutLineEnd(const QByteArray& answer) {
    return QString::fromLatin1(answer.chopped(2));
}

SensorRecord sampleSensor(int tank) {
    SensorRecord record;
    record.Label = QStringLiteral("Crude %1").arg(tank);
    record.Floats = QString::number(tank % 3);
    record.LevelUnit = "C";
    record.TempSensors = QString::number(tank % 5);
    record.TempUnit = "C";
    record.VolumeFactor = QString::number(tank + 0.25);
    record.VolumeUnit = "M";
    return record;
}

G4Record sampleG4(int module) {
    G4Record record;
    record.Unit = QString::number(module + 3);
    record.Source = "T";
    record.Channel = QString::number(module % 4);
    record.OnTest = "EQ";
    record.OnValue = QString::number(150.5 + module);
    record.OffTest = "GT";
    record.OffValue = QStringLiteral("-2.5");
    return record;
}

Loop420Record sampleLoop420(int module) {
    Loop420Record record;
    record.Unit = QString::number(module);
    record.Source = "T";
    record.Channel = "2";
    record.Value4mA = QStringLiteral("4.25");
    record.Value20mA = QString::number(1000 + module);
    return record;
}

TEST_F(SimulatedUnitTest, AnswersEveryReadLineOfADefaultUnitInTheReplyLayouts) {
    EXPECT_EQ(ask("GRTCT"), "RTC 02/29/24 13:05:07\r\n");
    EXPECT_EQ(ask("GPP"), "PP00060\r\n");
    EXPECT_EQ(ask("GLCD"), "LCD03R05\r\n");
    EXPECT_EQ(ask("GLCDT"), "LCDT1\"Company             \"T2\"Lease Name          \"\r\n");
    EXPECT_EQ(ask("GV"), "V7350-2.14\r\n");
    EXPECT_EQ(ask("GU00"), "SU00\"TANK 01   \"L0IT0F1.6700E\r\n");
    EXPECT_EQ(ask("GU15"), "SU15\"TANK 16   \"L0IT0F1.6700E\r\n");
    EXPECT_EQ(ask("GG40"), "G40U99L1ONGT0000.000OFFLT0000.000\r\n");
    EXPECT_EQ(ask("GG49"), "G49U99L1ONGT0000.000OFFLT0000.000\r\n");
    EXPECT_EQ(ask("G420C1"), "420C1U99L1V4M000.000V20M239.500\r\n");
    EXPECT_EQ(ask("G420C8"), "420C8U99L1V4M000.000V20M239.500\r\n");
}

TEST_F(SimulatedUnitTest, AppliesUnitSettingsLinesAndReportsThem) {
    tell("SPP7507");
    tell("SLCD12R34");
    tell("SLCDT1\"ABC\"T2\"DEFG\"");
    unit.setVersion(QStringLiteral("7350-9.99"));

    EXPECT_EQ(ask("GPP"), "PP07507\r\n");
    EXPECT_EQ(unit.settings().vscroll(2), 2);
    EXPECT_EQ(ask("GLCD"), "LCD12R34\r\n");
    EXPECT_EQ(ask("GLCDT"), "LCDT1\"ABC                 \"T2\"DEFG                \"\r\n");
    EXPECT_EQ(ask("GV"), "V7350-9.99\r\n");

    tell("SPP000");
    tell("SLCD00R00");
    EXPECT_EQ(ask("GPP"), "PP00000\r\n");
    EXPECT_EQ(ask("GLCD"), "LCD00R00\r\n");
}

TEST_F(SimulatedUnitTest, LcdTextAnswerCutsLongLinesToTheDisplayWidth) {
    unit.settings().setText1(0, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(ask("GLCDT"), "LCDT1\"ABCDEFGHIJKLMNOPQRST\"T2\"Lease Name          \"\r\n");
}

// What the program sends comes back from the unit in a form the program's parsers read
// back into the same values, for every tank and module number.
TEST_F(SimulatedUnitTest, ProgrammedRecordsReadBackThroughTheProgramsParsers) {
    for (int tank = 0; tank < TankCount; ++tank)
        tell(sensorProgramLine(tank, sampleSensor(tank)));
    for (int module = 0; module < G4Count; ++module)
        tell(g4ProgramLine(module, sampleG4(module)));
    for (int module = Loop420First; module <= Loop420Last; ++module)
        tell(loop420ProgramLine(module, sampleLoop420(module)));

    RecordTables read;
    SetAllDefaults(read);
    for (int tank = 0; tank < TankCount; ++tank) {
        const QString reply = withoutLineEnd(ask(sensorReadLine(tank).trimmed().toLatin1()));
        ASSERT_EQ(applySensorReply(reply, tank, read.SensorRecords.at(tank)), ReplyOutcome::Applied)
            << reply.toStdString();
        EXPECT_EQ(read.SensorRecords.at(tank), sampleSensor(tank)) << reply.toStdString();
    }
    for (int module = 0; module < G4Count; ++module) {
        const QString reply = withoutLineEnd(ask(g4ReadLine(module).trimmed().toLatin1()));
        int number = -1;
        ASSERT_EQ(applyG4Reply(reply, read, &number), ReplyOutcome::Applied) << reply.toStdString();
        EXPECT_EQ(number, module);
        const G4Record& got = read.G4Records.at(module);
        const G4Record expected = sampleG4(module);
        EXPECT_EQ(numericValue(got.Unit.text()), numericValue(expected.Unit.text()));
        EXPECT_EQ(got.Source, expected.Source);
        EXPECT_EQ(got.Channel, expected.Channel);
        EXPECT_EQ(got.OnTest, expected.OnTest);
        EXPECT_EQ(numericValue(got.OnValue.text()), numericValue(expected.OnValue.text()));
        EXPECT_EQ(got.OffTest, expected.OffTest);
        EXPECT_EQ(numericValue(got.OffValue.text()), numericValue(expected.OffValue.text()));
    }
    for (int module = Loop420First; module <= Loop420Last; ++module) {
        const QString reply = withoutLineEnd(ask(loop420ReadLine(module).trimmed().toLatin1()));
        int number = -1;
        ASSERT_EQ(applyLoop420Reply(reply, read, &number), ReplyOutcome::Applied)
            << reply.toStdString();
        EXPECT_EQ(number, module);
        EXPECT_EQ(read.Loop420Records[module], sampleLoop420(module)) << reply.toStdString();
    }
}

TEST_F(SimulatedUnitTest, ClockIsSetByTimeAndDateLinesAndKeepsRunning) {
    tell("SRTCT093015");
    tell("SRTCD070424");
    EXPECT_EQ(ask("GRTCT"), "RTC 07/04/24 09:30:15\r\n");

    pcNow = pcNow.addSecs(65);
    EXPECT_EQ(ask("GRTCT"), "RTC 07/04/24 09:31:20\r\n");

    tell("SRTCT235950");
    pcNow = pcNow.addSecs(20);
    EXPECT_EQ(ask("GRTCT"), "RTC 07/05/24 00:00:10\r\n");
}

TEST_F(SimulatedUnitTest, ClockIgnoresImpossibleTimesAndDates) {
    for (const char* line : {"SRTCT250000", "SRTCT126000", "SRTCT12:00:", "SRTCT1200", "SRTCT",
                             "SRTCD133100", "SRTCD023024", "SRTCD1231", "SRTCT-10000"})
        tell(QString::fromLatin1(line));
    EXPECT_EQ(ask("GRTCT"), "RTC 02/29/24 13:05:07\r\n");
}

TEST_F(SimulatedUnitTest, LinesItDoesNotUnderstandGetNoAnswer) {
    for (const char* line :
         {"GX",    "gpp",  "GPP ",   " GPP",   "GPPX",  "GU16", "GU5", "GU-1", "GU0A",   "GG4",
          "GG410", "GG4A", "G420C0", "G420C9", "G420C", "GV2",  "G",   "SU00", "SPP060", "HELLO"})
        EXPECT_TRUE(ask(line).isEmpty()) << line;
}

// A line the unit cannot parse whole is ignored whole: no record is half changed.
TEST_F(SimulatedUnitTest, MalformedSettingLinesLeaveTheStateUnchanged) {
    RecordTables defaults;
    SetAllDefaults(defaults);
    for (const char* line :
         {"SU00\"NO END QUOTE", "SU01\"LABEL     \"X", "SU02\"LABEL     \"L1I", "SU16\"X\"L1IT1F2E",
          "SG4", "SG45", "SG45U07T3ONGT1", "S420C3", "S420C3U05T2V4M1", "S420C9U05T2V4M1V20M2",
          "SPP99999", "SPP36000", "SLCD5", "SLCD100R01", "SLCD01R100", "SLCDT1\"ABC",
          "SLCDT1\"ABC\"T2\"DEF", "S420MC1"})
        tell(QString::fromLatin1(line));

    EXPECT_EQ(unit.tables(), defaults);
    EXPECT_EQ(ask("GPP"), "PP00060\r\n");
    EXPECT_EQ(ask("GLCD"), "LCD03R05\r\n");
    EXPECT_EQ(ask("GLCDT"), "LCDT1\"Company             \"T2\"Lease Name          \"\r\n");
}

TEST_F(SimulatedUnitTest, SplitsInputIntoLinesAtCarriageReturns) {
    EXPECT_TRUE(unit.receive("GP").isEmpty());
    QList<SimulatedUnit::Request> requests = unit.receive("P\r");
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].line, "GPP");
    EXPECT_EQ(requests[0].answer, "PP00060\r\n");

    requests = unit.receive("\nSPP120\r\n\r\n\rGLCD\rG\nPP\r\nXYZ\r");
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0].line, "SPP120");
    EXPECT_TRUE(requests[0].answer.isEmpty());
    EXPECT_EQ(requests[1].answer, "LCD03R05\r\n");
    EXPECT_EQ(requests[2].line, "GPP"); // LF inside a line is dropped, as everywhere
    EXPECT_EQ(requests[2].answer, "PP00120\r\n");
    EXPECT_EQ(requests[3].line, "XYZ");
    EXPECT_TRUE(requests[3].answer.isEmpty());
}

// An over-long line is dropped whole, not cut and then acted on.
TEST_F(SimulatedUnitTest, DropsOverLongLinesAndRecovers) {
    const QByteArray tooLong = "SPP00300" + QByteArray(SimulatedUnit::MaxLineLength, ' ') + "\r";
    QList<SimulatedUnit::Request> requests = unit.receive(tooLong + "GPP\r");
    ASSERT_EQ(requests.size(), 2);
    EXPECT_TRUE(requests[0].answer.isEmpty());
    EXPECT_EQ(requests[1].answer, "PP00060\r\n");

    requests = unit.receive(QByteArray(100 * 1024, 'G') + "\rGV\r");
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[1].answer, "V7350-2.14\r\n");
}

TEST_F(SimulatedUnitTest, SurvivesBinaryGarbageAndStillAnswersAfterIt) {
    QRandomGenerator random(7350);
    QByteArray garbage(100 * 1024, '\0');
    for (char& byte : garbage)
        byte = char(random.bounded(256));
    garbage[5000] = 'S'; // some lines that look like settings lines
    garbage[5001] = 'U';
    for (qsizetype at = 0; at < garbage.size(); at += 4096)
        unit.receive(
            QByteArrayView(garbage).sliced(at, std::min<qsizetype>(4096, garbage.size() - at)));
    const QList<SimulatedUnit::Request> withNul = unit.receive(QByteArray("\rG\0PP\r", 6));
    ASSERT_FALSE(withNul.isEmpty());
    EXPECT_EQ(withNul.constLast().line, QByteArray("G\0PP", 4));
    EXPECT_TRUE(withNul.constLast().answer.isEmpty());

    const QList<SimulatedUnit::Request> after = unit.receive("\rSPP000\rGPP\r");
    ASSERT_FALSE(after.isEmpty());
    EXPECT_EQ(after.constLast().answer, "PP00000\r\n");
}

TEST_F(SimulatedUnitTest, StateSurvivesADumpAndALoad) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("unit.txt"));
    tell("SPP3723");
    tell("SLCD07R11");
    tell("SLCDT1\"North Field\"T2\"Lease 7\"");
    tell(sensorProgramLine(4, sampleSensor(4)));
    tell(g4ProgramLine(6, sampleG4(6)));
    tell(loop420ProgramLine(8, sampleLoop420(8)));
    tell("SRTCT081500");
    tell("SRTCD011525");
    ASSERT_EQ(unit.saveState(path), QString());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.value(0), "SRTCT081500\r");
    EXPECT_EQ(lines.value(1), "SRTCD011525\r");

    SimulatedUnit restored([this] { return pcNow; });
    ASSERT_TRUE(restored.loadState(path).ok);
    for (const char* line : {"GPP", "GLCD", "GLCDT", "GU04", "GG46", "G420C8", "GU00", "G420C1"})
        EXPECT_EQ(restored.handleLine(line), ask(line)) << line;
    EXPECT_EQ(restored.handleLine("GRTCT"), "RTC 02/29/24 13:05:07\r\n"); // clock not restored
}

TEST_F(SimulatedUnitTest, LoadingAMissingOrBrokenStateFileFails) {
    QTemporaryDir dir;
    EXPECT_FALSE(unit.loadState(dir.filePath(QStringLiteral("missing.txt"))).ok);

    const QString path = dir.filePath(QStringLiteral("broken.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("SPP120\r\nSU00\"NO END\r\n");
    file.close();
    const LoadResult result = unit.loadState(path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.lineNumber, 2);
}

TEST_F(SimulatedUnitTest, NumbersDoNotDependOnTheLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");

    tell(QStringLiteral("SU03\"TANK 04   \"L2CT1C2.5000M"));
    tell(QStringLiteral("SG42U05T4ONEQ12.5OFFLT3.25"));
    tell(QStringLiteral("S420C2U03L1V4M1.5V20M1234.5"));
    tell(QStringLiteral("SPP1234"));
    const QByteArray sensor = ask("GU03");
    const QByteArray g4 = ask("GG42");
    const QByteArray loop = ask("G420C2");
    const QByteArray period = ask("GPP");

    std::setlocale(LC_ALL, previousC.c_str());
    QLocale::setDefault(previous);
    EXPECT_EQ(sensor, "SU03\"TANK 04   \"L2CT1C2.5000M\r\n");
    EXPECT_EQ(g4, "G42U05T4ONEQ0012.500OFFLT0003.250\r\n");
    EXPECT_EQ(loop, "420C2U03L1V4M001.500V20M1234.500\r\n");
    EXPECT_EQ(period, "PP01234\r\n");
}

} // namespace
} // namespace rtu
