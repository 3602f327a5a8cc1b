#include "sim/SimulatedUnit.h"

#include "config/CommaDecimalLocale.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace rtu {
namespace {

const QByteArray DefaultLcdText = "LCDT1\"Company             \"T2\"Lease Name          \"\r\n";

// A unit whose PC clock the test sets.
class SimulatedUnitTest : public ::testing::Test {
protected:
    QByteArray ask(const QByteArray& line) { return unit.handleLine(line); }
    void tell(const QString& line) {
        EXPECT_TRUE(unit.handleLine(line.toLatin1()).isEmpty()) << qPrintable(line);
    }

    QDateTime pcNow{QDate(2024, 2, 29), QTime(13, 5, 7)};
    SimulatedUnit unit{[this] { return pcNow; }};
};

TEST_F(SimulatedUnitTest, AnswersTheReadLinesInTheReplyLayoutsAndAppliesSettings) {
    const std::pair<const char*, QByteArray> defaults[] = {
        {"GRTCT", "RTC 02/29/24 13:05:07\r\n"},
        {"GPP", "PP00060\r\n"},
        {"GLCD", "LCD03R05\r\n"},
        {"GLCDT", DefaultLcdText},
        {"GV", "V7350-2.14\r\n"},
        {"GU15", "SU15\"TANK 16   \"L0IT0F1.6700E\r\n"},
        {"GG49", "G49U99L1ONGT0000.000OFFLT0000.000\r\n"},
        {"G420C1", "420C1U99L1V4M000.000V20M239.500\r\n"},
    };
    for (const auto& [line, answer] : defaults)
        EXPECT_EQ(ask(line), answer) << line;

    tell("SPP7507");
    tell("SLCD12R34");
    tell("SLCDT1\"ABC\"T2\"DEFG\"");
    EXPECT_EQ(ask("GPP"), "PP07507\r\n");
    EXPECT_EQ(ask("GLCD"), "LCD12R34\r\n");
    EXPECT_EQ(ask("GLCDT"), "LCDT1\"ABC                 \"T2\"DEFG                \"\r\n");
    tell("SPP000");
    EXPECT_EQ(ask("GPP"), "PP00000\r\n");
}

TEST_F(SimulatedUnitTest, ClockIsSetByTimeAndDateLinesKeepsRunningAndIgnoresImpossibleValues) {
    tell("SRTCT235950");
    tell("SRTCD070424");
    for (const char* line : {"SRTCT250000", "SRTCT126000", "SRTCT12:00:", "SRTCT1200", "SRTCT",
                             "SRTCD133100", "SRTCD023024", "SRTCD1231", "SRTCT-10000"})
        tell(QString::fromLatin1(line));
    EXPECT_EQ(ask("GRTCT"), "RTC 07/04/24 23:59:50\r\n");
    pcNow = pcNow.addSecs(20);
    EXPECT_EQ(ask("GRTCT"), "RTC 07/05/24 00:00:10\r\n");
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
    EXPECT_EQ(ask("GLCDT"), DefaultLcdText);
}

TEST_F(SimulatedUnitTest, SplitsInputIntoLinesAtCarriageReturns) {
    EXPECT_TRUE(unit.receive("GP").isEmpty());
    QList<SimulatedUnit::Request> requests = unit.receive("P\r");
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].answer, "PP00060\r\n");

    requests = unit.receive("\nSPP120\r\n\r\n\rGLCD\rG\nPP\r\nXYZ\r");
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0].line, "SPP120");
    EXPECT_EQ(requests[1].answer, "LCD03R05\r\n");
    EXPECT_EQ(requests[2].line, "GPP"); // LF inside a line is dropped, as everywhere
    EXPECT_EQ(requests[2].answer, "PP00120\r\n");
    EXPECT_TRUE(requests[3].answer.isEmpty());
}

// An over-long line is dropped whole, not cut and then acted on; binary garbage is survived.
TEST_F(SimulatedUnitTest, DropsOverLongLinesSurvivesGarbageAndRecovers) {
    const QByteArray tooLong = "SPP00300" + QByteArray(SimulatedUnit::MaxLineLength, ' ') + "\r";
    QList<SimulatedUnit::Request> requests = unit.receive(tooLong + "GPP\r");
    ASSERT_EQ(requests.size(), 2);
    EXPECT_TRUE(requests[0].answer.isEmpty());
    EXPECT_EQ(requests[1].answer, "PP00060\r\n");

    QRandomGenerator random(7350);
    QByteArray garbage(100 * 1024, '\0');
    for (char& byte : garbage)
        byte = char(random.bounded(256));
    garbage.replace(5000, 2, "SU"); // a line that looks like a settings line
    for (qsizetype at = 0; at < garbage.size(); at += 4096)
        unit.receive(
            QByteArrayView(garbage).sliced(at, std::min<qsizetype>(4096, garbage.size() - at)));
    requests = unit.receive(QByteArray("\rG\0PP\rSPP000\rGPP\r", 18));
    ASSERT_GE(requests.size(), 3);
    EXPECT_EQ(requests[requests.size() - 3].line, QByteArray("G\0PP", 4));
    EXPECT_TRUE(requests[requests.size() - 3].answer.isEmpty());
    EXPECT_EQ(requests.constLast().answer, "PP00000\r\n");
}

TEST_F(SimulatedUnitTest, NumbersDoNotDependOnTheLocale) {
    const CommaDecimalLocale german;
    tell(QStringLiteral("SU03\"TANK 04   \"L2CT1C2.5000M"));
    tell(QStringLiteral("SG42U05T4ONEQ12.5OFFLT3.25"));
    tell(QStringLiteral("S420C2U03L1V4M1.5V20M1234.5"));
    EXPECT_EQ(ask("GU03"), "SU03\"TANK 04   \"L2CT1C2.5000M\r\n");
    EXPECT_EQ(ask("GG42"), "G42U05T4ONEQ0012.500OFFLT0003.250\r\n");
    EXPECT_EQ(ask("G420C2"), "420C2U03L1V4M001.500V20M1234.500\r\n");
}

} // namespace
} // namespace rtu
