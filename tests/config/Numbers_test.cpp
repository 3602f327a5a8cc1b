#include "config/Numbers.h"

#include "config/CommaDecimalLocale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rtu {
namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double Largest = std::numeric_limits<double>::max();

TEST(Numbers, AreReadFromTheStartFormattedByPatternShortestAndEvenRoundedAlwaysWithThePoint) {
    // Text, value, and the characters the number covers, leading spaces counted.
    const std::tuple<const char*, double, qsizetype> cases[] = {
        {"", 0, 0},   {"abc", 0, 0},         {"  -2.5xyz", -2.5, 6}, {".5", 0.5, 2},
        {"+7", 7, 2}, {"12.34.5", 12.34, 5}, {"1e5", 1, 1},          {"1.", 1, 2},
        {"9 ", 9, 1}, {"1,5", 1, 1},         {"- 5", 0, 0},          {"1.6700E", 1.67, 6},
    };
    for (const auto& [text, value, length] : cases) {
        const LeadingNumber number = readLeadingNumber(QString::fromLatin1(text));
        EXPECT_EQ(number.value, value) << text;
        EXPECT_EQ(number.length, length) << text;
        EXPECT_EQ(numericValue(QString::fromLatin1(text)), value) << text;
    }
    // Numbers beyond the double range stay finite.
    const QString huge = QStringLiteral("1") + QString(400, u'0');
    EXPECT_EQ(numericValue(huge), Largest);
    EXPECT_EQ(numericValue(QStringLiteral("-") + huge), -Largest);
    EXPECT_EQ(numericValue(QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1")), 0.0);
    EXPECT_TRUE(std::isfinite(numericValue(QString(100000, u'7'))));

    // Padding to the zeros (a "#" is written only when needed); rounding half away from zero
    // on the decimal text, carrying into the whole digits; no minus sign on a value rounding
    // to zero; values out of the ordinary.
    EXPECT_EQ(formatNumber(-5, u"##00"), u"-05");
    EXPECT_EQ(formatNumber(12.3456789, u"#0.000###"), u"12.345679");
    EXPECT_EQ(formatNumber(2.675, u"#0.00"), u"2.68");
    EXPECT_EQ(formatNumber(2.5, u"#0"), u"3");
    EXPECT_EQ(formatNumber(-2.5, u"#0"), u"-3");
    EXPECT_EQ(formatNumber(9.9999995, u"#0.000###"), u"10.000");
    EXPECT_EQ(formatNumber(-0.0000001, u"#0.000###"), u"0.000");
    EXPECT_EQ(formatNumber(5e-324, u"#0.0000####"), u"0.0000");
    EXPECT_EQ(formatNumber(Nan, u"##00"), u"00");
    EXPECT_EQ(formatNumber(Infinity, u"#0.000###"), u"0.000");
    EXPECT_EQ(formatNumber(1e22, u"#0.000###"), u"10000000000000000000000.000");
    EXPECT_EQ(formatNumber(1e300, u"#0"), QStringLiteral("1") + QString(300, u'0'));
    EXPECT_EQ(formatNumber(-Largest, u"##00").size(), 310);

    // The shortest text and the even neighbour.
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

    // Under a comma-decimal locale the numbers still use the point.
    const CommaDecimalLocale german;
    ASSERT_EQ(QLocale().decimalPoint(), u",");
    EXPECT_EQ(formatNumber(1234.5, u"###000.000###"), u"1234.500");
    EXPECT_EQ(shortestDecimal(239.5), u"239.5");
    EXPECT_EQ(numericValue(u"2.5"), 2.5);
    EXPECT_EQ(numericValue(u"2,5"), 2.0);
}

} // namespace
} // namespace rtu
