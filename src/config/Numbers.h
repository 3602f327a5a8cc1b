#pragma once

#include <QString>
#include <QStringView>

namespace rtu {

// Numeric value of a text: leading spaces skipped, an optional sign, digits with at most
// one decimal point; reading stops at the first character that cannot continue the number.
// An empty or non-numeric text gives 0. Never depends on the locale.
double numericValue(QStringView text);

// The number at the start of a text as numericValue reads it, with the count of characters
// it covers (leading spaces included; 0 when the text does not start with a number). The
// value is always finite: a number too large for a double reads as the largest double.
struct LeadingNumber {
    double value = 0.0;
    qsizetype length = 0;
};
LeadingNumber readLeadingNumber(QStringView text);

// Formats value with one of the unit's patterns: "#0", "##00", "###000", "#0.000###",
// "#0.0000####", "###000.000###", "####0000.000###". A "0" is a digit always written,
// a "#" one written only when needed; rounding is half away from zero at the last
// position of the pattern, done on the shortest decimal text of the value so that
// 2.675 rounds to 2.68 as a person expects. "." is the point whatever the locale.
QString formatNumber(double value, QStringView pattern);

// Shortest decimal text of a value: no trailing zeros, no point when whole, no exponent
// (1.67 -> "1.67", 2.0 -> "2", -0.0 -> "0").
QString shortestDecimal(double value);

// Rounds to the nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

} // namespace rtu
