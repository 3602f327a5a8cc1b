#include "config/Numbers.h"

#include "config/CommaDecimalLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace rtu {
namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double Largest = std::numeric_limits<double>::max();

TEST(NumericValue, ReadsTheNumberAtTheStartOfTheText) {
    // The characters the number covers count leading spaces.
    const struct {
        const char* text;
        double value;
        qsizetype length;
    } cases[] = {
        {"", 0, 0},    {"abc", 0, 0},         {"  -2.5xyz", -2.5, 6}, {".5", 0.5, 2},
        {"+7", 7, 2},  {"12.34.5", 12.34, 5}, {"1e5", 1, 1},          {"1.", 1, 2},
        {"-", 0, 0},   {".", 0, 0},           {"9 ", 9, 1},           {"1,5", 1, 1},
        {"- 5", 0, 0}, {"-E", 0, 0},          {"1.6700E", 1.67, 6},   {"  12x", 12, 4},
        {"x12", 0, 0},
    };
    for (const auto& c : cases) {
        const LeadingNumber number = readLeadingNumber(QString::fromLatin1(c.text));
        EXPECT_EQ(number.value, c.value) << c.text;
        EXPECT_EQ(number.length, c.length) << c.text;
        EXPECT_EQ(numericValue(QString::fromLatin1(c.text)), c.value) << c.text;
    }
    // Numbers beyond the double range stay finite.
    const QString huge = QStringLiteral("1") + QString(400, u'0');
    EXPECT_EQ(numericValue(huge), Largest);
    EXPECT_EQ(numericValue(QStringLiteral("-") + huge), -Largest);
    EXPECT_EQ(numericValue(QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1")), 0.0);
    EXPECT_TRUE(std::isfinite(numericValue(QString(100000, u'7'))));
}

// Padding to the zeros (a "#" is written only when needed); rounding half away from zero
// on the decimal text, carrying into the whole digits; no minus sign on a value rounding
// to zero; values out of the ordinary.
TEST(FormatNumber, PadsRoundsAndNeverFails) {
    const struct {
        double value;
        const char* pattern;
        const char* text;
    } cases[] = {
        {-5, "##00", "-05"},
        {12.3456789, "#0.000###", "12.345679"},
        {4.25, "###000.000###", "004.250"},
        {-2.5, "####0000.000###", "-0002.500"},
        {2.675, "#0.00", "2.68"},
        {2.5, "#0", "3"},
        {-2.5, "#0", "-3"},
        {9.9999995, "#0.000###", "10.000"},
        {999.9999999, "###000.000###", "1000.000"},
        {-0.0000001, "#0.000###", "0.000"},
        {-0.4, "##00", "00"},
        {5e-324, "#0.0000####", "0.0000"},
        {Nan, "##00", "00"},
        {Infinity, "#0.000###", "0.000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatNumber(c.value, QString::fromLatin1(c.pattern)).toStdString(), c.text)
            << c.value << " in " << c.pattern;
    }
    EXPECT_EQ(formatNumber(1e22, u"#0.000###"), u"10000000000000000000000.000");
    EXPECT_EQ(formatNumber(1e300, u"#0"), QStringLiteral("1") + QString(300, u'0'));
    EXPECT_EQ(formatNumber(-Largest, u"##00").size(), 310);
}

TEST(ShortestDecimalAndRoundHalfEven, GiveTheShortestTextAndTheEvenNeighbour) {
    EXPECT_EQ(shortestDecimal(2.0), u"2");
    EXPECT_EQ(shortestDecimal(-0.0), u"0");
    EXPECT_EQ(shortestDecimal(0.1 + 0.2), u"0.30000000000000004");
    EXPECT_EQ(shortestDecimal(1e23), u"100000000000000000000000");
    EXPECT_EQ(shortestDecimal(0.000125), u"0.000125");
    EXPECT_EQ(shortestDecimal(Nan), u"0");
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(2.6), 3);
    EXPECT_EQ(roundHalfEven(1e300), 1e300);
}

TEST(NumbersUnderCommaDecimalLocale, StillUseThePoint) {
    const CommaDecimalLocale german;
    ASSERT_EQ(QLocale().decimalPoint(), u",");
    EXPECT_EQ(formatNumber(1234.5, u"###000.000###"), u"1234.500");
    EXPECT_EQ(shortestDecimal(239.5), u"239.5");
    EXPECT_EQ(numericValue(u"2.5"), 2.5);
    EXPECT_EQ(numericValue(u"2,5"), 2.0);
}

} // namespace
} // namespace rtu
