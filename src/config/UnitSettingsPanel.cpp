#include "config/UnitSettingsPanel.h"

#include "config/Numbers.h"
#include "config/RuntimeError.h"
#include "config/UserNotifier.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace rtu {

namespace {

struct ScrollRange {
    int min;
    int max;
};
// VScroll2..VScroll6: poll period hours, minutes, seconds; LCD seconds, LCD repeats.
constexpr std::array<ScrollRange, 5> ScrollRanges{{{0, 9}, {0, 59}, {0, 59}, {0, 99}, {0, 99}}};

std::size_t scrollSlot(int n) {
    if (n < UnitSettingsPanel::FirstScroll || n > UnitSettingsPanel::LastScroll)
        throw std::out_of_range("no scroll bar VScroll" + std::to_string(n));
    return static_cast<std::size_t>(n - UnitSettingsPanel::FirstScroll);
}

// Control arrays are indexed with int; a negative index must not wrap into a huge size_t.
std::size_t slot(int index) {
    if (index < 0)
        throw std::out_of_range("negative control index " + std::to_string(index));
    return static_cast<std::size_t>(index);
}

void requireVersionLabel(int index) {
    if (index != UnitSettingsPanel::VersionLabel)
        throw std::out_of_range("no version label Label2(" + std::to_string(index) + ")");
}

// The clock boxes' input check: too long a text empties the box and shows the format; a
// piece out of range puts the replacement text in with a beep. The pieces are cut by
// position (characters 1-2, 4-5 and the last ones), so the separators are never checked
// and a partly typed text passes while its pieces are in range.
struct ClockBoxRule {
    int maxLength;
    const char* formatMessage;
    const char* replacement;
    int firstMax;  // hours, month
    int secondMax; // minutes, day
    int lastWidth; // seconds (2), year (4)
    int lastMax;
};
// Indexed by clock box: 0 the time, 1 the date. The date's message shows slashes: with
// dashes, the year piece of "12-05-" reads -5 and the box replaces the text as it is typed.
constexpr std::array<ClockBoxRule, 2> ClockBoxRules{{
    {8, "Please use this format for Time 17:08:23 ", "12:00:00", 23, 59, 2, 59},
    {10, "Please use this format for Date 12/05/2000 ", "01-01-2000", 12, 31, 4, 2099},
}};

bool inRange(double value, double min, double max) {
    return value >= min && value <= max;
}

} // namespace

UnitSettingsPanel::UnitSettingsPanel(UserNotifier& notifier, QObject* parent)
    : QObject(parent),
      notifier_(notifier), text2_{QStringLiteral("12:00:00"), QStringLiteral("12/31/2000")},
      text1_{QStringLiteral("Company"), QStringLiteral("Lease Name")}, vscroll_{0, 1, 0, 3, 5} {
    for (std::size_t i = 0; i < label8_.size(); ++i)
        label8_[i] = formatNumber(vscroll_[i], u"##00");
}

QString UnitSettingsPanel::text2(int index) const {
    return text2_.at(slot(index));
}

void UnitSettingsPanel::setText2(int index, const QString& text) {
    QString& current = text2_.at(slot(index));
    if (current == text)
        return;
    current = text;
    emit text2Changed(index);
    checkClockBox(index);
}

void UnitSettingsPanel::checkClockBox(int index) {
    const ClockBoxRule& rule = ClockBoxRules.at(slot(index));
    const QString text = text2_.at(slot(index));
    if (text.size() > rule.maxLength) {
        setText2(index, QString());
        notifier_.showMessage(QString::fromLatin1(rule.formatMessage), QStringLiteral("Hi"),
                              MessageIcon::Information);
        return;
    }
    if (!inRange(numericValue(text.left(2)), 0, rule.firstMax) ||
        !inRange(numericValue(text.mid(3, 2)), 0, rule.secondMax) ||
        !inRange(numericValue(text.right(rule.lastWidth)), 0, rule.lastMax)) {
        setText2(index, QString::fromLatin1(rule.replacement));
        notifier_.beep();
    }
}

void UnitSettingsPanel::setClockTexts(const QString& time, const QString& date) {
    setText2(0, time);
    setText2(1, date);
}

int UnitSettingsPanel::pollPeriodSeconds() const {
    return vscroll(PollSecondsScroll) + 60 * vscroll(PollMinutesScroll) +
           3600 * vscroll(PollHoursScroll);
}

std::array<double, 3> UnitSettingsPanel::splitPollPeriod(double seconds) {
    const double hours = std::floor(seconds / 3600);
    const double minutes = std::floor((seconds - 3600 * hours) / 60);
    return {hours, minutes, std::floor(seconds - 3600 * hours - 60 * minutes)};
}

QString UnitSettingsPanel::text1(int index) const {
    return text1_.at(slot(index));
}

void UnitSettingsPanel::setText1(int index, const QString& text) {
    QString& current = text1_.at(slot(index));
    if (current == text)
        return;
    current = text;
    emit text1Changed(index);
}

int UnitSettingsPanel::vscroll(int n) const {
    return vscroll_[scrollSlot(n)];
}

int UnitSettingsPanel::vscrollMin(int n) {
    return ScrollRanges[scrollSlot(n)].min;
}

int UnitSettingsPanel::vscrollMax(int n) {
    return ScrollRanges[scrollSlot(n)].max;
}

void UnitSettingsPanel::setVScroll(int n, int value) {
    const std::size_t i = scrollSlot(n);
    if (value < vscrollMin(n) || value > vscrollMax(n))
        throw RuntimeError("VScroll" + std::to_string(n) + " does not accept " +
                           std::to_string(value));
    if (vscroll_[i] == value)
        return;
    vscroll_[i] = value;
    setLabel8(static_cast<int>(i), formatNumber(value, u"##00"));
    emit vscrollChanged(n);
}

QString UnitSettingsPanel::label8(int index) const {
    return label8_.at(slot(index));
}

void UnitSettingsPanel::setLabel8(int index, const QString& caption) {
    QString& current = label8_.at(slot(index));
    if (current == caption)
        return;
    current = caption;
    emit label8Changed(index);
}

QString UnitSettingsPanel::label2(int index) const {
    requireVersionLabel(index);
    return version_;
}

void UnitSettingsPanel::setLabel2(int index, const QString& caption) {
    requireVersionLabel(index);
    if (version_ == caption)
        return;
    version_ = caption;
    emit label2Changed(index);
}

int UnitSettingsPanel::check1(int index) const {
    return check1_.at(slot(index));
}

void UnitSettingsPanel::setCheck1(int index, int value) {
    int& current = check1_.at(slot(index));
    if (value != 0 && value != 1)
        throw RuntimeError("Check1 does not accept " + std::to_string(value));
    if (current == value)
        return;
    current = value;
    emit check1Changed(index);
}

void UnitSettingsPanel::setAllChecks(int value) {
    for (int i = 0; i < CheckCount; ++i)
        setCheck1(i, value);
}

void UnitSettingsPanel::setClockAuto(bool autoMode) {
    if (clockAuto_ == autoMode)
        return;
    clockAuto_ = autoMode;
    emit clockModeChanged();
}

} // namespace rtu
