#include "sim/SimulatedUnit.h"

#include "config/CommaDecimalLocale.h"
#include "support/Configurations.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

const QByteArray DefaultLcdText = "LCDT1\"Company             \"T2\"Lease Name          \"\r\n";

// A unit whose PC clock the test sets.
class SimulatedUnitTest : public ::testing::Test {
protected:
    QByteArray ask(const QByteArray& line) { return unit.handleLine(line); }
    // The requests that `bytes` complete: each line taken, '>' and its answer, '|' between.
    QByteArray receive(const QByteArray& bytes) {
        QByteArrayList requests;
        for (const SimulatedUnit::Request& request : unit.receive(bytes))
            requests << request.line + '>' + request.answer;
        return requests.join('|');
    }
    void tell(const QString& line) {
        EXPECT_TRUE(unit.handleLine(line.toLatin1()).isEmpty()) << qPrintable(line);
    }

    QDateTime pcNow{QDate(2024, 2, 29), QTime(13, 5, 7)};
    SimulatedUnit unit{[this] { return pcNow; }};
};

// Whatever the locale: numbers always take the point.
TEST_F(SimulatedUnitTest, AnswersTheReadLinesInTheReplyLayoutsAndAppliesSettingsAndTheClock) {
    const CommaDecimalLocale german;
    EXPECT_EQ(ask("GRTCT"), "RTC 02/29/24 13:05:07\r\n");
    EXPECT_EQ(ask("GPP") + ask("GLCD") + ask("GV"), "PP00060\r\nLCD03R05\r\nV7350-2.14\r\n");
    EXPECT_EQ(ask("GLCDT"), DefaultLcdText);
    EXPECT_EQ(ask("GU15"), "SU15\"TANK 16   \"L0IT0F1.6700E\r\n");
    EXPECT_EQ(ask("GG49"), "G49U99L1ONGT0000.000OFFLT0000.000\r\n");
    EXPECT_EQ(ask("G420C1"), "420C1U99L1V4M000.000V20M239.500\r\n");

    for (const char* line :
         {"SPP7507", "SLCD12R34", "SLCDT1\"ABC\"T2\"DEFG\"", "SU03\"TANK 04   \"L2CT1C2.5000M",
          "SG42U05T4ONEQ12.5OFFLT3.25", "S420C2U03L1V4M1.5V20M1234.5"})
        tell(line);
    EXPECT_EQ(ask("GPP") + ask("GLCD"), "PP07507\r\nLCD12R34\r\n");
    EXPECT_EQ(ask("GLCDT"), "LCDT1\"ABC                 \"T2\"DEFG                \"\r\n");
    EXPECT_EQ(ask("GU03"), "SU03\"TANK 04   \"L2CT1C2.5000M\r\n");
    EXPECT_EQ(ask("GG42"), "G42U05T4ONEQ0012.500OFFLT0003.250\r\n");
    EXPECT_EQ(ask("G420C2"), "420C2U03L1V4M001.500V20M1234.500\r\n");
    tell("SPP000");
    EXPECT_EQ(ask("GPP"), "PP00000\r\n");

    // The clock is set by time and date lines, keeps running and ignores impossible values.
    for (const char* line :
         {"SRTCT235950", "SRTCD070424", "SRTCT250000", "SRTCT126000", "SRTCT12:00:", "SRTCT1200",
          "SRTCT", "SRTCD133100", "SRTCD023024", "SRTCD1231", "SRTCT-10000"})
        tell(line);
    EXPECT_EQ(ask("GRTCT"), "RTC 07/04/24 23:59:50\r\n");
    pcNow = pcNow.addSecs(20);
    EXPECT_EQ(ask("GRTCT"), "RTC 07/05/24 00:00:10\r\n");
}

// A line the unit cannot parse whole gets no answer and is ignored whole: no record is half
// changed.
TEST_F(SimulatedUnitTest, LinesItCannotTakeWholeChangeNothingAndInputSplitsAtCarriageReturns) {
    const QString lines = "GX|gpp|GPP | GPP|GPPX|GU16|GU5|GU-1|GU0A|GG4|GG410|GG4A|G420C0|G420C9|"
                          "G420C|GV2|G|SU00|HELLO|SU00\"NO END QUOTE|SU01\"LABEL     \"X|"
                          "SU02\"LABEL     \"L1I|SU16\"X\"L1IT1F2E|SG4|SG45|SG45U07T3ONGT1|S420C3|"
                          "S420C3U05T2V4M1|S420C9U05T2V4M1V20M2|SPP99999|SPP36000|SLCD5|"
                          "SLCD100R01|SLCD01R100|SLCDT1\"ABC|SLCDT1\"ABC\"T2\"DEF|S420MC1";
    for (const QString& line : lines.split('|'))
        tell(line);
    EXPECT_EQ(unit.tables(), test::defaultTables());
    EXPECT_EQ(ask("GPP") + ask("GLCD") + ask("GLCDT"), "PP00060\r\nLCD03R05\r\n" + DefaultLcdText);

    // An over-long line is dropped whole, not cut and then acted on; binary garbage is survived.
    EXPECT_EQ(receive("GP"), "");
    EXPECT_EQ(receive("P\r"), "GPP>PP00060\r\n");
    // LF inside a line is dropped, as everywhere.
    EXPECT_EQ(receive("\nSPP120\r\n\r\n\rGLCD\rG\nPP\r\nXYZ\r"),
              "SPP120>|GLCD>LCD03R05\r\n|GPP>PP00120\r\n|XYZ>");
    const QByteArray tooLong = "SPP00300" + QByteArray(SimulatedUnit::MaxLineLength, ' ') + "\r";
    const QByteArray taken = receive(tooLong + QByteArray("\xff\0SU\x80\rG\0PP\rGPP\r", 15));
    EXPECT_TRUE(taken.endsWith(QByteArray(">|\xff\0SU\x80>|G\0PP>|GPP>PP00120\r\n", 28)))
        << taken.right(40).toHex().constData();
}

} // namespace
} // namespace rtu
