#include "protocol/UnitReads.h"

#include "config/Numbers.h"
#include "config/UnitSettingsLines.h"
#include "protocol/Exchange.h"

#include <cmath>
#include <optional>

namespace rtu {

namespace unitreads {

namespace {

const QString UnknownValue = QStringLiteral("??");
const QString UnknownVersion = QStringLiteral("????????  ");

using Counter = UnitSettings::Counter;

// The longest poll period the three scroll bars can show (9:59:59).
int longestPollPeriod() {
    return UnitSettings::counterMax(Counter::PollHours) * 3600 +
           UnitSettings::counterMax(Counter::PollMinutes) * 60 +
           UnitSettings::counterMax(Counter::PollSeconds);
}

bool startsWithDigit(QStringView text) {
    while (!text.isEmpty() && text.front() == u' ')
        text = text.mid(1);
    return !text.isEmpty() && text.front() >= u'0' && text.front() <= u'9';
}

// The period in whole seconds from the five-character field of a "PP" reply, or nothing
// when the field is not a number or the period does not fit the scroll bars.
std::optional<int> pollPeriodSeconds(const QString& field) {
    if (!startsWithDigit(field))
        return std::nullopt;
    const double seconds = std::floor(numericValue(field));
    if (seconds > longestPollPeriod())
        return std::nullopt;
    return static_cast<int>(seconds);
}

// A two-character LCD timing field as the scroll bar would take it, if the bar accepts it.
// A field without a digit is no answer: an echoed "GLCD" holds the keyword followed by its
// own line end.
std::optional<int> counterValue(Counter counter, const QString& field) {
    if (!startsWithDigit(field))
        return std::nullopt;
    const double value = roundHalfEven(numericValue(field));
    if (value < UnitSettings::counterMin(counter) || value > UnitSettings::counterMax(counter))
        return std::nullopt;
    return static_cast<int>(value);
}

// No usable reply: cut off when the keyword was found but its line had not ended as the
// wait did.
ReplyOutcome noAnswer(const Exchange& exchange, int at) {
    return at != 0 && !exchange.lineEndedAt(at) ? ReplyOutcome::stillArriving() : ReplyOutcome{};
}

// The clock boxes are cut by position when programmed, so only whole fields are taken; a
// field goes through the boxes' input check.
ReplyOutcome applyClock(GroupRead& read) {
    struct ClockField {
        UnitRow row;
        ClockBox box;
        int offset;
        QLatin1StringView name;
    };
    static constexpr std::array<ClockField, 2> clockFields{{
        {UnitRow::Date, ClockBox::Date, 4, QLatin1StringView("date")},
        {UnitRow::Time, ClockBox::Time, 13, QLatin1StringView("time")},
    }};
    constexpr int clockFieldWidth = 8;
    Exchange& exchange = read.exchange;
    const int at = exchange.FindReply(u"RTC");
    if (at == 0 || !exchange.lineEndedAt(at))
        return noAnswer(exchange, at);
    QList<QLatin1StringView> names;
    for (const ClockField& field : clockFields) {
        if (read.selected(field.row))
            names << field.name;
    }
    ReplyFields fields(names);
    for (const ClockField& field : clockFields) {
        const QString text = exchange.replyField(at, field.offset, clockFieldWidth);
        if (read.selected(field.row) && text.size() == clockFieldWidth) {
            const ClockEntry entry = checkClockText(field.box, text);
            clockText(read.settings, field.box) = entry.text;
            read.clockNotices << entry.notice;
            fields.given(field.name);
        }
    }
    return fields.outcome();
}

// Periods the poll counters cannot hold, and fields that are no number, count as no answer:
// the displays show "??" and the counters keep their values.
ReplyOutcome applyPollPeriod(GroupRead& read) {
    Exchange& exchange = read.exchange;
    const int at = exchange.FindReply(u"PP");
    const std::optional<int> period = at == 0 || !exchange.lineEndedAt(at)
                                          ? std::nullopt
                                          : pollPeriodSeconds(exchange.replyField(at, 2, 5));
    const std::array<double, 3> parts = UnitSettings::splitPollPeriod(period.value_or(0));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        CounterSetting& counter = read.settings.counter(UnitSettings::Counters[i]);
        counter.shown = period ? twoDigits(parts[i]) : UnknownValue;
        if (period)
            read.settings.setCounter(UnitSettings::Counters[i], static_cast<int>(parts[i]));
    }
    return period ? ReplyOutcome::answered() : noAnswer(exchange, at);
}

// The displays show the reply's two characters as they are; values the counters refuse make
// the whole group unanswered.
ReplyOutcome applyLcdTiming(GroupRead& read) {
    Exchange& exchange = read.exchange;
    const int at = exchange.FindReply(u"LCD");
    const std::array<QString, 2> captions{exchange.replyField(at, 3, 2),
                                          exchange.replyField(at, 6, 2)};
    constexpr std::array<Counter, 2> counters{Counter::LcdSeconds, Counter::LcdRepeats};
    const std::array<std::optional<int>, 2> values{counterValue(counters[0], captions[0]),
                                                   counterValue(counters[1], captions[1])};
    const bool answered = at != 0 && exchange.lineEndedAt(at) && values[0] && values[1];
    for (std::size_t i = 0; i < counters.size(); ++i) {
        read.settings.counter(counters[i]).shown = answered ? captions[i] : UnknownValue;
        if (answered)
            read.settings.setCounter(counters[i], *values[i]);
    }
    return answered ? ReplyOutcome::answered() : noAnswer(exchange, at);
}

// A display line is quoted in the reply; a shorter line ends at its closing quote, which
// never becomes part of the text (the configuration file could not carry it). A line that
// ends before its closing quote and its 20 characters was cut short: it is not taken.
std::optional<QString> quotedField(const Exchange& exchange, int at, int offset) {
    if (at == 0 || !exchange.lineEndedAt(at))
        return std::nullopt;
    const QString field = exchange.replyField(at, offset, UnitSettings::LcdTextMaxLength);
    const qsizetype quote = field.indexOf(QLatin1Char('"'));
    if (quote < 0 && field.size() < UnitSettings::LcdTextMaxLength)
        return std::nullopt;
    return field.left(quote);
}

ReplyOutcome applyLcdText(GroupRead& read) {
    Exchange& exchange = read.exchange;
    const std::array<QLatin1StringView, 2> names{QLatin1StringView("line 1"),
                                                 QLatin1StringView("line 2")};
    ReplyFields fields({names[0], names[1]});
    const int line1 = exchange.FindReply(u"LCDT1");
    const std::array<std::optional<QString>, 2> texts{
        quotedField(exchange, line1, 6), quotedField(exchange, exchange.FindReply(u"T2"), 3)};
    for (std::size_t line = 0; line < texts.size(); ++line) {
        read.settings.lcdLines[line] = texts[line].value_or(lcdTextPlaceholder());
        if (texts[line])
            fields.given(names[line]);
    }
    const ReplyOutcome outcome = fields.outcome();
    return outcome.state == ReplyOutcome::Unanswered ? noAnswer(exchange, line1) : outcome;
}

// The version display shows everything received, line end included.
ReplyOutcome applyVersion(GroupRead& read) {
    Exchange& exchange = read.exchange;
    const int at = exchange.FindReply(u"V");
    const bool found = at != 0 && exchange.lineEndedAt(at);
    read.settings.version = found ? exchange.reply() : UnknownVersion;
    return found ? ReplyOutcome::answered() : noAnswer(exchange, at);
}

} // namespace

bool selected(const UnitRows& rows, int allFlag, UnitRow row) {
    return allFlag == 1 || rows[row];
}

const std::array<UnitRead, UnitSettingsLineCount> UnitReads{{
    {UnitGroup::Clock,
     UnitRow::Time,
     UnitRow::Date,
     applyClock,
     {QLatin1StringView("RTC")}}, // RTC MM/DD/YY HH:MM:SS
    {UnitGroup::PollPeriod,
     UnitRow::Poll,
     UnitRow::Poll,
     applyPollPeriod,
     {QLatin1StringView("PP")}}, // PP00900
    {UnitGroup::LcdTiming,
     UnitRow::LcdTiming,
     UnitRow::LcdTiming,
     applyLcdTiming,
     {QLatin1StringView("LCD")}}, // LCD03R05
    {UnitGroup::LcdText,
     UnitRow::LcdText,
     UnitRow::LcdText,
     applyLcdText,
     {QLatin1StringView("LCDT1")}}, // LCDT1"<20>"T2"<20>"
    {UnitGroup::Version,
     UnitRow::Version,
     UnitRow::Version,
     applyVersion,
     {QLatin1StringView("V")}}, // V7350-2.14
}};

bool selected(const UnitRows& rows, int allFlag, const UnitRead& read) {
    for (int row = int(read.firstRow); row <= int(read.lastRow); ++row) {
        if (selected(rows, allFlag, UnitRow(row)))
            return true;
    }
    return false;
}

QStringList unitReadLines(const UnitRows& rows, int allFlag) {
    QStringList lines;
    for (const UnitRead& read : UnitReads) {
        if (selected(rows, allFlag, read))
            lines << unitReadLine(read.group).name;
    }
    return lines;
}

} // namespace unitreads

} // namespace rtu
