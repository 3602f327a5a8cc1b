#include "protocol/UnitCommands.h"

#include "config/ConfigurationFile.h"
#include "config/Numbers.h"
#include "config/UnitSettingsLines.h"
#include "config/UnitSettingsPanel.h"
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

using Panel = UnitSettingsPanel;

bool selected(const UnitSettingsPanel& panel, int allFlag, int row) {
    return allFlag == 1 || panel.check1(row) == 1;
}

// A manual clock box is cut by position, whatever its separators: characters 1-2, 4-5 and
// the last two.
QString clockDigits(const QString& text) {
    return text.left(2) + text.mid(3, 2) + text.right(2);
}

// The unit-settings lines of the rows that `wanted` picks, in the order they are sent.
template <typename Wanted>
QStringList unitProgramLines(const UnitSettingsPanel& panel, const QDateTime& now, Wanted wanted) {
    const QLocale c = QLocale::c();
    QStringList lines;
    if (wanted(Panel::TimeRow))
        lines << QStringLiteral("SRTCT") + (panel.clockAuto() ? c.toString(now.time(), u"hhmmss")
                                                              : clockDigits(panel.timeText()));
    if (wanted(Panel::DateRow))
        lines << QStringLiteral("SRTCD") + (panel.clockAuto() ? c.toString(now.date(), u"MMddyy")
                                                              : clockDigits(panel.dateText()));
    if (wanted(Panel::PollRow))
        lines << pollPeriodLine(panel);
    if (wanted(Panel::LcdTimingRow))
        lines << lcdTimingLine(panel);
    if (wanted(Panel::LcdTextRow))
        lines << lcdTextLine(panel);
    for (QString& line : lines)
        line += LineEnd;
    return lines;
}

QStringList unitProgramLines(const UnitSettingsPanel& panel, int allFlag, const QDateTime& now) {
    return unitProgramLines(panel, now,
                            [&panel, allFlag](int row) { return selected(panel, allFlag, row); });
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
    return Panel::vscrollMax(Panel::PollHoursScroll) * 3600 +
           Panel::vscrollMax(Panel::PollMinutesScroll) * 60 +
           Panel::vscrollMax(Panel::PollSecondsScroll);
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
std::optional<int> scrollValue(int scroll, const QString& field) {
    if (!startsWithDigit(field))
        return std::nullopt;
    const double value = roundHalfEven(numericValue(field));
    if (value < UnitSettingsPanel::vscrollMin(scroll) ||
        value > UnitSettingsPanel::vscrollMax(scroll))
        return std::nullopt;
    return static_cast<int>(value);
}

// No usable reply: cut off when the keyword was found but its line had not ended as the
// wait did.
ReplyOutcome noAnswer(const Exchange& exchange, int at) {
    return at != 0 && !exchange.lineEndedAt(at) ? ReplyOutcome::stillArriving() : ReplyOutcome{};
}

// Each reply parser stores what the reply holds into the panel and tells what it took.
// The clock boxes are cut by position when programmed, so only whole fields are taken.
ReplyOutcome applyClock(Exchange& exchange, UnitSettingsPanel& panel, int allFlag) {
    struct ClockField {
        int row;
        int box;
        int offset;
        QLatin1StringView name;
    };
    static constexpr std::array<ClockField, 2> clockFields{{
        {Panel::DateRow, 1, 4, QLatin1StringView("date")},
        {Panel::TimeRow, 0, 13, QLatin1StringView("time")},
    }};
    constexpr int clockFieldWidth = 8;
    const int at = exchange.FindReply(u"RTC");
    if (at == 0 || !exchange.lineEndedAt(at))
        return noAnswer(exchange, at);
    QList<QLatin1StringView> names;
    for (const ClockField& field : clockFields) {
        if (selected(panel, allFlag, field.row))
            names << field.name;
    }
    ReplyFields fields(names);
    for (const ClockField& field : clockFields) {
        const QString text = exchange.replyField(at, field.offset, clockFieldWidth);
        if (selected(panel, allFlag, field.row) && text.size() == clockFieldWidth) {
            panel.setText2(field.box, text);
            fields.given(field.name);
        }
    }
    return fields.outcome();
}

// Periods the scroll bars cannot show, and fields that are no number, count as no answer:
// the displays show "??" and the scroll bars keep their values.
ReplyOutcome applyPollPeriod(Exchange& exchange, UnitSettingsPanel& panel, int) {
    const int at = exchange.FindReply(u"PP");
    const std::optional<int> period = at == 0 || !exchange.lineEndedAt(at)
                                          ? std::nullopt
                                          : pollPeriodSeconds(exchange.replyField(at, 2, 5));
    if (!period) {
        for (int display = 0; display < 3; ++display)
            panel.setLabel8(display, UnknownValue);
        return noAnswer(exchange, at);
    }
    const std::array<double, 3> parts = Panel::splitPollPeriod(*period);
    for (int display = 0; display < 3; ++display) {
        panel.setLabel8(display, twoDigits(parts[display]));
        panel.setVScroll(Panel::PollHoursScroll + display,
                         static_cast<int>(numericValue(panel.label8(display))));
    }
    return ReplyOutcome::answered();
}

// The displays show the reply's two characters as they are; values the scroll bars refuse
// make the whole group unanswered.
ReplyOutcome applyLcdTiming(Exchange& exchange, UnitSettingsPanel& panel, int) {
    const int at = exchange.FindReply(u"LCD");
    const QString seconds = exchange.replyField(at, 3, 2);
    const QString repeats = exchange.replyField(at, 6, 2);
    const std::optional<int> secondsValue = scrollValue(Panel::LcdSecondsScroll, seconds);
    const std::optional<int> repeatsValue = scrollValue(Panel::LcdRepeatsScroll, repeats);
    constexpr int secondsDisplay = Panel::LcdSecondsScroll - Panel::FirstScroll;
    constexpr int repeatsDisplay = Panel::LcdRepeatsScroll - Panel::FirstScroll;
    if (at == 0 || !exchange.lineEndedAt(at) || !secondsValue || !repeatsValue) {
        panel.setLabel8(secondsDisplay, UnknownValue);
        panel.setLabel8(repeatsDisplay, UnknownValue);
        return noAnswer(exchange, at);
    }
    panel.setLabel8(secondsDisplay, seconds);
    panel.setVScroll(Panel::LcdSecondsScroll, *secondsValue);
    panel.setLabel8(repeatsDisplay, repeats);
    panel.setVScroll(Panel::LcdRepeatsScroll, *repeatsValue);
    return ReplyOutcome::answered();
}

// A display line is quoted in the reply; a shorter line ends at its closing quote, which
// never becomes part of the text (the configuration file could not carry it). A line that
// ends before its closing quote and its 20 characters was cut short: it is not taken.
std::optional<QString> quotedField(const Exchange& exchange, int at, int offset) {
    if (at == 0 || !exchange.lineEndedAt(at))
        return std::nullopt;
    const QString field = exchange.replyField(at, offset, Panel::LcdTextMaxLength);
    const qsizetype quote = field.indexOf(QLatin1Char('"'));
    if (quote < 0 && field.size() < Panel::LcdTextMaxLength)
        return std::nullopt;
    return field.left(quote);
}

ReplyOutcome applyLcdText(Exchange& exchange, UnitSettingsPanel& panel, int) {
    const QString unknown = lcdTextPlaceholder();
    const std::array<QLatin1StringView, 2> names{QLatin1StringView("line 1"),
                                                 QLatin1StringView("line 2")};
    ReplyFields fields({names[0], names[1]});
    const int line1 = exchange.FindReply(u"LCDT1");
    const std::array<std::optional<QString>, 2> texts{
        quotedField(exchange, line1, 6), quotedField(exchange, exchange.FindReply(u"T2"), 3)};
    for (int line = 0; line < 2; ++line) {
        panel.setText1(line, texts[line].value_or(unknown));
        if (texts[line])
            fields.given(names[line]);
    }
    const ReplyOutcome outcome = fields.outcome();
    return outcome.state == ReplyOutcome::Unanswered ? noAnswer(exchange, line1) : outcome;
}

// The version display shows everything received, line end included.
ReplyOutcome applyVersion(Exchange& exchange, UnitSettingsPanel& panel, int) {
    const int at = exchange.FindReply(u"V");
    const bool found = at != 0 && exchange.lineEndedAt(at);
    panel.setLabel2(Panel::VersionLabel, found ? exchange.reply() : UnknownVersion);
    return found ? ReplyOutcome::answered() : noAnswer(exchange, at);
}

struct UnitRead {
    UnitGroup group;
    int firstRow; // the group runs when one of these rows is ticked
    int lastRow;
    ReplyOutcome (*apply)(Exchange&, UnitSettingsPanel&, int allFlag);
    ReplyShape reply;
};

// Both the program and the read of the unit settings take five lines when all run.
constexpr int UnitSettingsLineCount = 5;

constexpr std::array<UnitRead, UnitSettingsLineCount> UnitReads{{
    {UnitGroup::Clock,
     Panel::TimeRow,
     Panel::DateRow,
     applyClock,
     {QLatin1StringView("RTC")}}, // RTC MM/DD/YY HH:MM:SS
    {UnitGroup::PollPeriod,
     Panel::PollRow,
     Panel::PollRow,
     applyPollPeriod,
     {QLatin1StringView("PP")}}, // PP00900
    {UnitGroup::LcdTiming,
     Panel::LcdTimingRow,
     Panel::LcdTimingRow,
     applyLcdTiming,
     {QLatin1StringView("LCD")}}, // LCD03R05
    {UnitGroup::LcdText,
     Panel::LcdTextRow,
     Panel::LcdTextRow,
     applyLcdText,
     {QLatin1StringView("LCDT1")}}, // LCDT1"<20>"T2"<20>"
    {UnitGroup::Version,
     Panel::VersionRow,
     Panel::VersionRow,
     applyVersion,
     {QLatin1StringView("V")}}, // V7350-2.14
}};

bool selected(const UnitSettingsPanel& panel, int allFlag, const UnitRead& read) {
    for (int row = read.firstRow; row <= read.lastRow; ++row) {
        if (selected(panel, allFlag, row))
            return true;
    }
    return false;
}

QStringList unitReadLines(const UnitSettingsPanel& panel, int allFlag) {
    QStringList lines;
    for (const UnitRead& read : UnitReads) {
        if (selected(panel, allFlag, read))
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

void readGroup(Exchange& exchange, UnitSettingsPanel& panel, const UnitRead& read, int allFlag,
               ReadReport* report) {
    exchange.clearReplyBuffer();
    const QString& line = unitReadLine(read.group).name;
    exchange.SendReadLine(line + LineEnd, UnitSettleCount, read.reply);
    note(report, line, read.apply(exchange, panel, allFlag));
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

UnitCommands::UnitCommands(Exchange& exchange, UnitSettingsPanel& panel, RecordTables& tables,
                           Clock clock)
    : exchange_(exchange), panel_(panel), tables_(tables), clock_(std::move(clock)) {}

void UnitCommands::ProgramUnitSettings(int allFlag) {
    sendUnitLines(unitProgramLines(panel_, allFlag, clock_()));
}

void UnitCommands::sendUnitLines(const QStringList& lines) {
    exchange_.clearReplyBuffer();
    for (const QString& line : lines)
        exchange_.SendCommandLine(line, UnitSettleCount);
}

void UnitCommands::ReadUnitSettings(int allFlag, ReadReport* report) {
    for (const UnitRead& read : UnitReads) {
        if (selected(panel_, allFlag, read))
            readGroup(exchange_, panel_, read, allFlag, report);
    }
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
                            unitReadLines(panel_, 0), report,
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
        const QStringList unitLines = unitProgramLines(panel_, clock_(), [&](int row) {
            return planned.contains(unitProgramLineNames().at(row));
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
        for (const UnitRead& read : UnitReads) {
            if (!lines.contains(unitReadLine(read.group).name))
                continue;
            if (done++ == 0)
                listener.progress(0, total, QStringLiteral("Reading unit settings"));
            readGroup(exchange_, panel_, read, 1, &result);
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
    return unitReadLines(panel_, allFlag);
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
    return int(unitProgramLines(panel_, allFlag, clock_()).size());
}

} // namespace rtu
