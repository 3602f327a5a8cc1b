#include "protocol/UnitCommands.h"

#include "config/ConfigurationFile.h"
#include "config/Numbers.h"
#include "config/UnitSettingsLines.h"
#include "protocol/Exchange.h"
#include "protocol/ReadLines.h"
#include "serial/LinkState.h"

#include <QLocale>

#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace rtu {

namespace {

const QString UnknownValue = QStringLiteral("??");
const QString UnknownVersion = QStringLiteral("????????  ");

using Counter = UnitSettings::Counter;

bool selected(const UnitRows& rows, int allFlag, UnitRow row) {
    return allFlag == 1 || rows[row];
}

// A manual clock box is cut by position, whatever its separators: characters 1-2, 4-5 and
// the last two.
QString clockDigits(const QString& text) {
    return text.left(2) + text.mid(3, 2) + text.right(2);
}

// The unit-settings lines of the rows that `wanted` picks, in the order they are sent.
template <typename Wanted>
QStringList unitProgramLines(const UnitSettings& settings, const QDateTime& now, Wanted wanted) {
    const QLocale c = QLocale::c();
    const bool fromPc = settings.clockFromPc;
    QStringList lines;
    if (wanted(UnitRow::Time))
        lines << QStringLiteral("SRTCT") +
                     (fromPc ? c.toString(now.time(), u"hhmmss") : clockDigits(settings.time));
    if (wanted(UnitRow::Date))
        lines << QStringLiteral("SRTCD") +
                     (fromPc ? c.toString(now.date(), u"MMddyy") : clockDigits(settings.date));
    if (wanted(UnitRow::Poll))
        lines << pollPeriodLine(settings);
    if (wanted(UnitRow::LcdTiming))
        lines << lcdTimingLine(settings);
    if (wanted(UnitRow::LcdText))
        lines << lcdTextLine(settings);
    for (QString& line : lines)
        line += LineEnd;
    return lines;
}

QStringList unitProgramLines(const UnitSettings& settings, const UnitRows& rows, int allFlag,
                             const QDateTime& now) {
    return unitProgramLines(settings, now,
                            [&rows, allFlag](UnitRow row) { return selected(rows, allFlag, row); });
}

// The unit-settings lines by row, as a listed program names them: the records that the
// unit-settings reads fill.
QStringList unitProgramLineNames() {
    QStringList lines;
    for (const ReadLine& line : allReadLines().first(qsizetype(UnitGroup::Version) + 1))
        lines << line.records;
    return lines;
}

// The lines of "Program All" in order, as a listed program names them.
QStringList wholeUnitProgramLines() {
    return unitProgramLineNames() + moduleRecords();
}

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

// What a reply parser works on: it stores what the reply holds into the settings and tells
// what it took.
struct GroupRead {
    Exchange& exchange;
    UnitSettings& settings;
    const UnitRows& rows;
    int allFlag;
    QList<ClockNotice> clockNotices = {}; // of the clock texts set, in order
    bool selected(UnitRow row) const { return rtu::selected(rows, allFlag, row); }
};

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

struct UnitRead {
    UnitGroup group;
    UnitRow firstRow; // the group runs when one of these rows is ticked
    UnitRow lastRow;
    ReplyOutcome (*apply)(GroupRead&);
    ReplyShape reply;
};

// Both the program and the read of the unit settings take five lines when all run.
constexpr int UnitSettingsLineCount = 5;

constexpr std::array<UnitRead, UnitSettingsLineCount> UnitReads{{
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

static_assert(UnitSettingsLineCount + ModuleRecordCount == UnitCommands::WholeUnitLineCount);

// A tank or module read: the reply buffer is cleared so that only this line's reply counts.
void askModule(Exchange& exchange, const QString& readLine, const ReplyShape& shape) {
    exchange.clearReplyBuffer();
    exchange.SendReadLine(readLine, ModuleReadSettleCount, shape);
}

void note(ReadReport* report, const QString& readLine, const ReplyOutcome& outcome) {
    if (!report)
        return;
    switch (outcome.state) {
    case ReplyOutcome::Answered:
        report->answered << readLine;
        break;
    case ReplyOutcome::PartlyAnswered:
        report->partlyAnswered << readLine;
        report->kept.insert(readLine, outcome.kept);
        break;
    case ReplyOutcome::Unanswered:
        report->unanswered << readLine;
        if (outcome.cutOff)
            report->cutOff << readLine;
        break;
    }
}

// Runs a read action in the read-order bracket. Reads that a lost port kept from being sent
// are reported unanswered, in the order they were planned.
template <typename Body>
bool runReportedReads(Exchange& exchange, const Batch& batch, const QStringList& planned,
                      ReadReport* report, Body&& body) {
    ReadReport own;
    ReadReport& result = report ? *report : own;
    const qsizetype before = result.lineCount();
    const bool completed = exchange.runBatch(batch, [&] { body(result); });
    result.unanswered << planned.mid(result.lineCount() - before);
    return completed;
}

} // namespace

UnitCommands::UnitCommands(Exchange& exchange, UnitSettings& settings, const UnitRows& rows,
                           RecordTables& tables, Clock clock, SettingsStored stored)
    : exchange_(exchange), settings_(settings), rows_(rows), tables_(tables),
      clock_(std::move(clock)), stored_(std::move(stored)) {}

void UnitCommands::ProgramUnitSettings(int allFlag) {
    sendUnitLines(unitProgramLines(settings_, rows_, allFlag, clock_()));
}

void UnitCommands::sendUnitLines(const QStringList& lines) {
    exchange_.clearReplyBuffer();
    for (const QString& line : lines)
        exchange_.SendCommandLine(line, UnitSettleCount);
}

void UnitCommands::ReadUnitSettings(int allFlag, ReadReport* report) {
    for (std::size_t group = 0; group < UnitReads.size(); ++group) {
        if (selected(rows_, allFlag, UnitReads[group]))
            readGroup(group, allFlag, report);
    }
}

void UnitCommands::readGroup(std::size_t group, int allFlag, ReadReport* report) {
    const UnitRead& unitRead = UnitReads[group];
    const QString& line = unitReadLine(unitRead.group).name;
    exchange_.clearReplyBuffer();
    exchange_.SendReadLine(line + LineEnd, UnitSettleCount, unitRead.reply);
    GroupRead read{exchange_, settings_, rows_, allFlag};
    note(report, line, unitRead.apply(read));
    if (stored_)
        stored_(read.clockNotices);
}

void UnitCommands::programModule(ModuleKind kind, int number) {
    exchange_.SendCommandLine(moduleCommands(kind).programLine(number, tables_),
                              ModuleProgramSettleCount);
}

ReplyOutcome UnitCommands::readModule(ModuleKind kind, int number) {
    const ModuleCommands& commands = moduleCommands(kind);
    askModule(exchange_, commands.readLine(number), commands.reply);
    return commands.applyReply(exchange_.reply(), number, tables_);
}

bool UnitCommands::programModules(ModuleKind kind, const QList<int>& numbers) {
    return exchange_.runBatch({BatchAction::Program, BatchScope::Module, kind}, [&] {
        for (const int number : numbers)
            programModule(kind, number);
    });
}

bool UnitCommands::readModules(ModuleKind kind, const QList<int>& numbers, ReadReport* report) {
    return runReportedReads(exchange_, {BatchAction::Read, BatchScope::Module, kind},
                            moduleReadLines(kind, numbers), report, [&](ReadReport& result) {
                                for (const int number : numbers)
                                    note(&result, moduleReadLine(kind, number).name,
                                         readModule(kind, number));
                            });
}

bool UnitCommands::programButton() {
    return exchange_.runBatch({BatchAction::Program, BatchScope::UnitSettings},
                              [this] { ProgramUnitSettings(0); });
}

bool UnitCommands::readButton(ReadReport* report) {
    return runReportedReads(exchange_, {BatchAction::Read, BatchScope::UnitSettings},
                            unitReadLines(rows_, 0), report,
                            [this](ReadReport& result) { ReadUnitSettings(0, &result); });
}

bool UnitCommands::programAll() {
    return programListed(wholeUnitProgramLines());
}

bool UnitCommands::programListed(const QStringList& lines) {
    BatchListener& listener = exchange_.listener();
    QStringList planned = wholeUnitProgramLines();
    planned.removeIf([&lines](const QString& line) { return !lines.contains(line); });
    const auto total = int(planned.size());
    return exchange_.runBatch({BatchAction::Program, BatchScope::WholeUnit}, [&] {
        const QStringList unitLines = unitProgramLines(settings_, clock_(), [&](UnitRow row) {
            return planned.contains(unitProgramLineNames().at(qsizetype(row)));
        });
        if (!unitLines.isEmpty()) {
            listener.progress(0, total, QStringLiteral("Programming unit settings"));
            sendUnitLines(unitLines);
        }
        auto done = int(unitLines.size());
        for (const ModuleRange& range : ModuleRanges) {
            for (const int number : range.numbers()) {
                if (!planned.contains(moduleRecord(range.kind, number)))
                    continue;
                listener.progress(done++, total,
                                  QStringLiteral("Programming ") + range.describe(number));
                programModule(range.kind, number);
            }
        }
    });
}

bool UnitCommands::readAll(ReadReport* report) {
    return readListed(wholeUnitReadLines(), report);
}

bool UnitCommands::readListed(const QStringList& lines, ReadReport* report) {
    BatchListener& listener = exchange_.listener();
    QStringList planned = wholeUnitReadLines();
    planned.removeIf([&lines](const QString& line) { return !lines.contains(line); });
    const auto total = int(planned.size());
    const Batch batch{BatchAction::Read, BatchScope::WholeUnit};
    return runReportedReads(exchange_, batch, planned, report, [&](ReadReport& result) {
        int done = 0;
        for (std::size_t group = 0; group < UnitReads.size(); ++group) {
            if (!lines.contains(unitReadLine(UnitReads[group].group).name))
                continue;
            if (done++ == 0)
                listener.progress(0, total, QStringLiteral("Reading unit settings"));
            readGroup(group, 1, &result);
        }
        for (const ModuleRange& range : ModuleRanges) {
            for (const int number : range.numbers()) {
                const QString& line = moduleReadLine(range.kind, number).name;
                if (!lines.contains(line))
                    continue;
                listener.progress(done++, total,
                                  QStringLiteral("Reading ") + range.describe(number));
                note(&result, line, readModule(range.kind, number));
            }
        }
    });
}

QStringList UnitCommands::unitSettingsReadLines(int allFlag) const {
    return unitReadLines(rows_, allFlag);
}

QStringList UnitCommands::moduleReadLines(ModuleKind kind, const QList<int>& numbers) {
    QStringList lines;
    for (const int number : numbers)
        lines << moduleReadLine(kind, number).name;
    return lines;
}

QStringList UnitCommands::wholeUnitReadLines() const {
    QStringList lines = unitSettingsReadLines(1);
    for (const ModuleRange& range : ModuleRanges)
        lines << moduleReadLines(range.kind, range.numbers());
    return lines;
}

int UnitCommands::unitProgramLineCount(int allFlag) const {
    return int(unitProgramLines(settings_, rows_, allFlag, clock_()).size());
}

} // namespace rtu
