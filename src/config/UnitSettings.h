#pragma once

#include <QString>

#include <array>

namespace rtu {

// A value set with a scroll bar, and what its display shows. The display normally shows the
// value in two digits, but it shows a reply's or a file's caption as it came ("3" for 3 when
// the value did not change) and "??" after a read that got no usable reply.
struct CounterSetting {
    int value = 0;
    QString shown;
    friend bool operator==(const CounterSetting&, const CounterSetting&) = default;
};

// The unit-wide settings: the clock texts, the poll period, the LCD timing and text, the
// software version, and whether the clock is set from the PC. The configuration file, the
// command lines and the simulated unit read and write it; the desktop program keeps one in
// its settings model.
struct UnitSettings {
    static constexpr int LcdTextMaxLength = 20;

    // The counters, in the order of their displays.
    enum class Counter { PollHours, PollMinutes, PollSeconds, LcdSeconds, LcdRepeats };
    static constexpr std::array<Counter, 5> Counters{Counter::PollHours, Counter::PollMinutes,
                                                     Counter::PollSeconds, Counter::LcdSeconds,
                                                     Counter::LcdRepeats};

    // The clock texts as typed or read: cut by position when sent ("12:00:00", "12/31/2000").
    QString time = QStringLiteral("12:00:00");
    QString date = QStringLiteral("12/31/2000");
    CounterSetting pollHours{0, QStringLiteral("00")};
    CounterSetting pollMinutes{1, QStringLiteral("01")};
    CounterSetting pollSeconds{0, QStringLiteral("00")};
    CounterSetting lcdSeconds{3, QStringLiteral("03")};
    CounterSetting lcdRepeats{5, QStringLiteral("05")};
    // The unit's two display lines; a read or a file may leave them longer than the LCD.
    std::array<QString, 2> lcdLines{QStringLiteral("Company"), QStringLiteral("Lease Name")};
    QString version; // as received, line end included
    bool clockFromPc = true;

    CounterSetting& counter(Counter which);
    const CounterSetting& counter(Counter which) const;
    static int counterMin(Counter which);
    static int counterMax(Counter which);
    static const char* counterMeaning(Counter which); // "poll period hours"

    // Sets a counter as its scroll bar does: a value outside its range throws RuntimeError
    // and changes nothing; a real change shows the value in two digits ("##00").
    void setCounter(Counter which, int value);

    int pollPeriodSeconds() const; // at most 9:59:59
    // Hours, minutes and seconds of a period as the three poll counters show it (whole
    // numbers; the hours are not limited).
    static std::array<double, 3> splitPollPeriod(double seconds);

    friend bool operator==(const UnitSettings&, const UnitSettings&) = default;
};

// The rows of settings the operator ticks for "Program" and "Read". Which rows are ticked is
// the operator's choice, not a value of the unit, so it is kept apart from UnitSettings.
enum class UnitRow { Time, Date, Poll, LcdTiming, LcdText, Version };
struct UnitRows {
    static constexpr int Count = 6;
    std::array<bool, Count> ticked{};
    bool operator[](UnitRow row) const { return ticked[std::size_t(row)]; }
    friend bool operator==(const UnitRows&, const UnitRows&) = default;
};

// The clock boxes' input check. A text too long for its box is emptied, and the operator is
// shown the format; a piece out of range puts the box's replacement text in, with a beep. The
// pieces are cut by position (characters 1-2, 4-5 and the last ones), so the separators are
// never checked and a partly typed text passes while its pieces are in range.
enum class ClockBox { Time, Date };
enum class ClockNotice { None, FormatMessage, Beep };
struct ClockEntry {
    QString text; // what the box holds after the check
    ClockNotice notice = ClockNotice::None;
    friend bool operator==(const ClockEntry&, const ClockEntry&) = default;
};
ClockEntry checkClockText(ClockBox box, const QString& text);
// The format message of a box: "Please use this format for Time 17:08:23 ".
QString clockFormatMessage(ClockBox box);
// The box's text in the settings.
QString& clockText(UnitSettings& settings, ClockBox box);
const QString& clockText(const UnitSettings& settings, ClockBox box);

} // namespace rtu
