#include "config/UnitSettings.h"

#include "config/Numbers.h"
#include "config/RuntimeError.h"

#include <cmath>
#include <string>

namespace rtu {

namespace {

struct CounterRange {
    int min;
    int max;
    const char* meaning;
};
// Indexed by Counter.
constexpr std::array<CounterRange, 5> CounterRanges{{{0, 9, "poll period hours"},
                                                     {0, 59, "poll period minutes"},
                                                     {0, 59, "poll period seconds"},
                                                     {0, 99, "LCD seconds per channel"},
                                                     {0, 99, "LCD repeat count"}}};

constexpr std::array<CounterSetting UnitSettings::*, 5> CounterFields{
    &UnitSettings::pollHours, &UnitSettings::pollMinutes, &UnitSettings::pollSeconds,
    &UnitSettings::lcdSeconds, &UnitSettings::lcdRepeats};

struct ClockBoxRule {
    int maxLength;
    const char* formatMessage;
    const char* replacement;
    int firstMax;  // hours, month
    int secondMax; // minutes, day
    int lastWidth; // seconds (2), year (4)
    int lastMax;
};
// Indexed by ClockBox. The date's message shows slashes: with dashes, the year piece of
// "12-05-" reads -5 and the box replaces the text as it is typed.
constexpr std::array<ClockBoxRule, 2> ClockBoxRules{{
    {8, "Please use this format for Time 17:08:23 ", "12:00:00", 23, 59, 2, 59},
    {10, "Please use this format for Date 12/05/2000 ", "01-01-2000", 12, 31, 4, 2099},
}};

bool inRange(double value, double max) {
    return value >= 0 && value <= max;
}

} // namespace

CounterSetting& UnitSettings::counter(Counter which) {
    return this->*CounterFields.at(std::size_t(which));
}

const CounterSetting& UnitSettings::counter(Counter which) const {
    return this->*CounterFields.at(std::size_t(which));
}

int UnitSettings::counterMin(Counter which) {
    return CounterRanges.at(std::size_t(which)).min;
}

int UnitSettings::counterMax(Counter which) {
    return CounterRanges.at(std::size_t(which)).max;
}

const char* UnitSettings::counterMeaning(Counter which) {
    return CounterRanges.at(std::size_t(which)).meaning;
}

void UnitSettings::setCounter(Counter which, int value) {
    if (value < counterMin(which) || value > counterMax(which))
        throw RuntimeError(std::string("the ") + counterMeaning(which) + " does not accept " +
                           std::to_string(value));
    CounterSetting& setting = counter(which);
    if (setting.value == value)
        return;
    setting.value = value;
    setting.shown = formatNumber(value, u"##00");
}

int UnitSettings::pollPeriodSeconds() const {
    return pollSeconds.value + 60 * pollMinutes.value + 3600 * pollHours.value;
}

std::array<double, 3> UnitSettings::splitPollPeriod(double seconds) {
    const double hours = std::floor(seconds / 3600);
    const double minutes = std::floor((seconds - 3600 * hours) / 60);
    return {hours, minutes, std::floor(seconds - 3600 * hours - 60 * minutes)};
}

ClockEntry checkClockText(ClockBox box, const QString& text) {
    const ClockBoxRule& rule = ClockBoxRules.at(std::size_t(box));
    if (text.size() > rule.maxLength)
        return {QString(), ClockNotice::FormatMessage};
    if (!inRange(numericValue(text.left(2)), rule.firstMax) ||
        !inRange(numericValue(text.mid(3, 2)), rule.secondMax) ||
        !inRange(numericValue(text.right(rule.lastWidth)), rule.lastMax))
        return {QString::fromLatin1(rule.replacement), ClockNotice::Beep};
    return {text, ClockNotice::None};
}

QString clockFormatMessage(ClockBox box) {
    return QString::fromLatin1(ClockBoxRules.at(std::size_t(box)).formatMessage);
}

QString& clockText(UnitSettings& settings, ClockBox box) {
    return box == ClockBox::Time ? settings.time : settings.date;
}

const QString& clockText(const UnitSettings& settings, ClockBox box) {
    return box == ClockBox::Time ? settings.time : settings.date;
}

} // namespace rtu
