#include "protocol/UnitCommands.h"

#include "config/ConfigurationFile.h"
#include "config/UnitSettingsLines.h"
#include "protocol/Exchange.h"
#include "protocol/ReadLines.h"
#include "protocol/UnitReads.h"
#include "serial/LinkState.h"

#include <QLocale>

#include <vector>

namespace rtu {

namespace {

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
    return unitProgramLines(settings, now, [&rows, allFlag](UnitRow row) {
        return unitreads::selected(rows, allFlag, row);
    });
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

static_assert(unitreads::UnitSettingsLineCount + ModuleRecordCount ==
              UnitCommands::WholeUnitLineCount);

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
    for (std::size_t group = 0; group < unitreads::UnitReads.size(); ++group) {
        if (unitreads::selected(rows_, allFlag, unitreads::UnitReads[group]))
            readGroup(group, allFlag, report);
    }
}

void UnitCommands::readGroup(std::size_t group, int allFlag, ReadReport* report) {
    const unitreads::UnitRead& unitRead = unitreads::UnitReads[group];
    const QString& line = unitReadLine(unitRead.group).name;
    exchange_.clearReplyBuffer();
    exchange_.SendReadLine(line + LineEnd, UnitSettleCount, unitRead.reply);
    unitreads::GroupRead read{exchange_, settings_, rows_, allFlag};
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
                            unitreads::unitReadLines(rows_, 0), report,
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
        for (std::size_t group = 0; group < unitreads::UnitReads.size(); ++group) {
            if (!lines.contains(unitReadLine(unitreads::UnitReads[group].group).name))
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
    return unitreads::unitReadLines(rows_, allFlag);
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
