#include "config/Numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace rtu {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A decimal number as text: sign, digits before and after the point (no exponent).
struct DecimalText {
    bool negative = false;
    std::string whole;
    std::string fraction;
};

bool isZero(const DecimalText& d) {
    return d.whole.find_first_not_of('0') == std::string::npos &&
           d.fraction.find_first_not_of('0') == std::string::npos;
}

// The digits with the point after the first wholeDigits of them; wholeDigits may be 0 or
// less (a fraction below 0.1) or beyond the digits (trailing zeros of a large number).
DecimalText placePoint(const std::string& digits, int wholeDigits) {
    DecimalText d;
    const auto size = static_cast<int>(digits.size());
    if (wholeDigits <= 0) {
        d.whole = "0";
        d.fraction = std::string(static_cast<std::size_t>(-wholeDigits), '0') + digits;
    } else if (wholeDigits >= size) {
        d.whole = digits + std::string(static_cast<std::size_t>(wholeDigits - size), '0');
    } else {
        d.whole = digits.substr(0, static_cast<std::size_t>(wholeDigits));
        d.fraction = digits.substr(static_cast<std::size_t>(wholeDigits));
    }
    return d;
}

// Below 2^53 every whole number is a double of its own, so its digits are its shortest text.
// Most numbers of a configuration are such (record numbers, units, counts), and these
// digits come far cheaper than the general search.
DecimalText wholeNumberText(double magnitude) {
    std::array<char, 20> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      static_cast<std::uint64_t>(magnitude));
    return {false, std::string(buffer.data(), result.ptr), {}};
}

// The shortest digits that read back as the same double, placed around the point. Working
// on this text (not on the binary value) makes 2.675 round to 2.68 and 1e23 print as a one
// and 23 zeros, as a person expects.
DecimalText shortestText(double value) {
    if (!std::isfinite(value))
        value = 0.0;
    constexpr double ExactWholeLimit = 9007199254740992.0; // 2^53
    const double magnitude = std::abs(value);
    if (magnitude < ExactWholeLimit && magnitude == std::trunc(magnitude)) {
        DecimalText d = wholeNumberText(magnitude);
        d.negative = std::signbit(value);
        return d;
    }
    std::array<char, 32> buffer{}; // the longest form is "d.dddddddddddddddde+ddd"
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                      std::chars_format::scientific);
    const std::string_view text(buffer.data(),
                                static_cast<std::size_t>(result.ptr - buffer.data()));
    const auto e = text.find('e');
    std::string digits(text.substr(0, e));
    std::erase(digits, '.');
    const char* exponentText = text.data() + e + 1;
    if (*exponentText == '+')
        ++exponentText; // from_chars takes only a minus sign
    int exponent = 0;
    std::from_chars(exponentText, text.data() + text.size(), exponent);

    DecimalText d = placePoint(digits, exponent + 1);
    d.negative = std::signbit(value);
    return d;
}

// Adds one unit of the last fraction digit (or of the last whole digit without fraction).
void incrementLastDigit(DecimalText& d) {
    std::string digits = d.whole + d.fraction;
    auto i = digits.size();
    while (i > 0 && digits[i - 1] == '9')
        digits[--i] = '0';
    if (i == 0)
        digits.insert(digits.begin(), '1');
    else
        ++digits[i - 1];
    const auto wholeLength = digits.size() - d.fraction.size();
    d.whole = digits.substr(0, wholeLength);
    d.fraction = digits.substr(wholeLength);
}

// Half away from zero: the text holds the magnitude, so rounding it up moves away from zero.
void roundToDecimals(DecimalText& d, std::size_t decimals) {
    if (d.fraction.size() <= decimals)
        return;
    const bool up = d.fraction[decimals] >= '5';
    d.fraction.resize(decimals);
    if (up)
        incrementLastDigit(d);
}

void setDigitCounts(DecimalText& d, std::size_t minWhole, std::size_t minDecimals) {
    while (d.fraction.size() > minDecimals && d.fraction.back() == '0')
        d.fraction.pop_back();
    if (d.fraction.size() < minDecimals)
        d.fraction.append(minDecimals - d.fraction.size(), '0');
    const auto firstSignificant = d.whole.find_first_not_of('0');
    d.whole.erase(0, firstSignificant == std::string::npos ? d.whole.size() : firstSignificant);
    if (d.whole.size() < minWhole)
        d.whole.insert(0, minWhole - d.whole.size(), '0');
}

QString toQString(const DecimalText& d) {
    const bool minus = d.negative && !isZero(d);
    QString text;
    text.reserve(qsizetype(minus) + qsizetype(d.whole.size()) + 1 + qsizetype(d.fraction.size()));
    if (minus)
        text += u'-';
    text += QLatin1StringView(d.whole.data(), qsizetype(d.whole.size()));
    if (!d.fraction.empty()) {
        text += u'.';
        text += QLatin1StringView(d.fraction.data(), qsizetype(d.fraction.size()));
    }
    return text;
}

struct PatternDigits {
    std::size_t minWhole = 0;
    std::size_t minDecimals = 0;
    std::size_t maxDecimals = 0;
};

PatternDigits parsePattern(QStringView pattern) {
    const auto point = pattern.indexOf(u'.');
    const QStringView whole = point < 0 ? pattern : pattern.left(point);
    const QStringView fraction = point < 0 ? QStringView() : pattern.sliced(point + 1);
    const auto zeros = static_cast<std::size_t>(fraction.count(u'0'));
    const auto hashes = static_cast<std::size_t>(fraction.count(u'#'));
    return {static_cast<std::size_t>(whole.count(u'0')), zeros, zeros + hashes};
}

// from_chars reports a magnitude beyond the double range for both overflow and underflow.
double outOfRangeMagnitude(const std::string& digits) {
    const auto first = digits.find_first_not_of('0');
    const bool atLeastOne = first != std::string::npos && digits[first] != '.';
    return atLeastOne ? std::numeric_limits<double>::max() : 0.0;
}

} // namespace

LeadingNumber readLeadingNumber(QStringView text) {
    qsizetype pos = 0;
    while (pos < text.size() && text[pos] == u' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    std::string digits; // the magnitude, in the form std::from_chars reads
    bool seenPoint = false;
    bool seenDigit = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (isAsciiDigit(c))
            seenDigit = true;
        else if (c == u'.' && !seenPoint)
            seenPoint = true;
        else
            break;
        digits += static_cast<char>(c.unicode());
    }
    if (!seenDigit)
        return {};
    double magnitude = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude,
                                        std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range)
        magnitude = outOfRangeMagnitude(digits);
    return {negative ? -magnitude : magnitude, pos};
}

double numericValue(QStringView text) {
    return readLeadingNumber(text).value;
}

QString formatNumber(double value, QStringView pattern) {
    const PatternDigits digits = parsePattern(pattern);
    DecimalText d = shortestText(value);
    roundToDecimals(d, digits.maxDecimals);
    setDigitCounts(d, digits.minWhole, digits.minDecimals);
    return toQString(d);
}

QString shortestDecimal(double value) {
    return toQString(shortestText(value));
}

double roundHalfEven(double value) {
    const double nearest = std::round(value); // halves away from zero
    if (std::abs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return nearest;
}

} // namespace rtu
