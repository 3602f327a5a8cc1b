#include "config/Numbers.h"

#include "config/CommaDecimalLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace rtu {
namespace {

struct TextCase {
    const char* text;
    double value;
};

TEST(NumericValue, ReadsTheNumberAtTheStartOfTheText) {
    const TextCase cases[] = {
        {"", 0},           {"abc", 0},       {"  -2.5xyz", -2.5},
        {".5", 0.5},       {"+7", 7},        {"12.34.5", 12.34},
        {"1e5", 1},        {"1.", 1},        {"-", 0},
        {".", 0},          {" 9", 9},        {"9 ", 9},
        {"0000.000", 0},   {"1,5", 1},       {"- 5", 0},
        {"1.6700E", 1.67}, {"05", 5},        {"239.5   ", 239.5},
        {"x12", 0},        {"-0.25", -0.25},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numericValue(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
}

TEST(NumericValue, ReportsHowFarTheNumberReaches) {
    EXPECT_EQ(readLeadingNumber(u"1.6700E").length, 6);
    EXPECT_EQ(readLeadingNumber(u"  12x").length, 4);
    EXPECT_EQ(readLeadingNumber(u"1.5.3").length, 3);
    EXPECT_EQ(readLeadingNumber(u"E").length, 0);
    EXPECT_EQ(readLeadingNumber(u"-E").length, 0);
}

TEST(NumericValue, StaysFiniteForNumbersBeyondTheDoubleRange) {
    const QString huge = QStringLiteral("1") + QString(400, u'0');
    EXPECT_EQ(numericValue(huge), std::numeric_limits<double>::max());
    EXPECT_EQ(numericValue(QStringLiteral("-") + huge), -std::numeric_limits<double>::max());
    EXPECT_EQ(numericValue(QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1")), 0.0);
    EXPECT_TRUE(std::isfinite(numericValue(QString(100000, u'7'))));
}

struct FormatCase {
    double value;
    const char* pattern;
    const char* text;
};

void expectFormats(std::initializer_list<FormatCase> cases) {
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(c.value, QString::fromLatin1(c.pattern)).toStdString(), c.text)
            << c.value << " in " << c.pattern;
}

TEST(FormatNumber, IntegerPatternsPadToTheirZeros) {
    expectFormats({{0, "#0", "0"},
                   {7, "#0", "7"},
                   {12, "#0", "12"},
                   {0, "##00", "00"},
                   {5, "##00", "05"},
                   {99, "##00", "99"},
                   {123, "##00", "123"},
                   {-5, "##00", "-05"},
                   {0, "###000", "000"},
                   {60, "###000", "060"},
                   {7507, "###000", "7507"},
                   {35999, "###000", "35999"}});
}

TEST(FormatNumber, DecimalPatternsKeepMinimumAndMaximumDecimals) {
    expectFormats({{0, "#0.000###", "0.000"},
                   {239.5, "#0.000###", "239.500"},
                   {12.5, "#0.000###", "12.500"},
                   {140.25, "#0.000###", "140.250"},
                   {12.3456789, "#0.000###", "12.345679"},
                   {1.67, "#0.0000####", "1.6700"},
                   {0, "#0.0000####", "0.0000"},
                   {0.5, "#0.0000####", "0.5000"},
                   {123456, "#0.0000####", "123456.0000"},
                   {12.345678912, "#0.0000####", "12.34567891"},
                   {0, "###000.000###", "000.000"},
                   {239.5, "###000.000###", "239.500"},
                   {4.25, "###000.000###", "004.250"},
                   {1234.5, "###000.000###", "1234.500"},
                   {12.3456789, "###000.000###", "012.345679"},
                   {-5, "###000.000###", "-005.000"},
                   {0, "####0000.000###", "0000.000"},
                   {12.5, "####0000.000###", "0012.500"},
                   {239.5, "####0000.000###", "0239.500"},
                   {12345.5, "####0000.000###", "12345.500"},
                   {-5, "####0000.000###", "-0005.000"},
                   {-2.5, "####0000.000###", "-0002.500"},
                   {150, "####0000.000###", "0150.000"}});
}

TEST(FormatNumber, RoundsHalfAwayFromZeroOnTheDecimalText) {
    expectFormats({{2.675, "#0.00", "2.68"},
                   {0.5, "#0", "1"},
                   {2.5, "#0", "3"},
                   {-2.5, "#0", "-3"},
                   {1.0000005, "#0.000###", "1.000001"},
                   {-1.0000005, "#0.000###", "-1.000001"},
                   {9.9999995, "#0.000###", "10.000"},
                   {999.9999999, "###000.000###", "1000.000"},
                   {0.123456785, "#0.0000####", "0.12345679"}});
}

TEST(FormatNumber, AValueRoundingToZeroHasNoMinusSign) {
    expectFormats({{-0.0000001, "#0.000###", "0.000"},
                   {-0.0, "#0", "0"},
                   {-0.4, "##00", "00"},
                   {-0.0000004, "####0000.000###", "0000.000"}});
}

TEST(FormatNumber, ExtremeValuesNeverFail) {
    EXPECT_EQ(formatNumber(1e300, u"#0"), QStringLiteral("1") + QString(300, u'0'));
    EXPECT_EQ(formatNumber(1e22, u"#0.000###"), QStringLiteral("10000000000000000000000.000"));
    EXPECT_EQ(formatNumber(5e-324, u"#0.0000####"), QStringLiteral("0.0000"));
    EXPECT_EQ(formatNumber(-std::numeric_limits<double>::max(), u"##00").size(), 310);
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::quiet_NaN(), u"##00"), u"00");
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::infinity(), u"#0.000###"), u"0.000");
    EXPECT_EQ(formatNumber(-std::numeric_limits<double>::infinity(), u"#0"), u"0");
}

TEST(ShortestDecimal, DropsTrailingZerosAndThePointOfWholeNumbers) {
    EXPECT_EQ(shortestDecimal(1.67), u"1.67");
    EXPECT_EQ(shortestDecimal(2.0), u"2");
    EXPECT_EQ(shortestDecimal(-0.0), u"0");
    EXPECT_EQ(shortestDecimal(-2.5), u"-2.5");
    EXPECT_EQ(shortestDecimal(239.5), u"239.5");
    EXPECT_EQ(shortestDecimal(0.1 + 0.2), u"0.30000000000000004");
    EXPECT_EQ(shortestDecimal(1e22), u"10000000000000000000000");
    EXPECT_EQ(shortestDecimal(1e23), u"100000000000000000000000");
    EXPECT_EQ(shortestDecimal(0.000125), u"0.000125");
    EXPECT_EQ(shortestDecimal(std::numeric_limits<double>::quiet_NaN()), u"0");
}

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(2.4), 2);
    EXPECT_EQ(roundHalfEven(2.6), 3);
    EXPECT_EQ(roundHalfEven(-2.6), -3);
    EXPECT_EQ(roundHalfEven(1e300), 1e300);
}

TEST(NumbersUnderCommaDecimalLocale, StillUseThePoint) {
    const CommaDecimalLocale german;
    ASSERT_EQ(QLocale().decimalPoint(), u",");
    EXPECT_EQ(formatNumber(1234.5, u"###000.000###"), u"1234.500");
    EXPECT_EQ(formatNumber(1.67, u"#0.0000####"), u"1.6700");
    EXPECT_EQ(shortestDecimal(239.5), u"239.5");
    EXPECT_EQ(numericValue(u"2.5"), 2.5);
    EXPECT_EQ(numericValue(u"2,5"), 2.0);
}

} // namespace
} // namespace rtu
