#include "protocol/UnitCommands.h"

#include "app/UnitSettingsPanel.h"
#include "config/Numbers.h"
#include "config/UnitSettingsLines.h"
#include "protocol/Exchange.h"
#include "serial/LinkState.h"

#include <QLocale>

#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace rtu {

namespace {

const QString LineEnd = QStringLiteral("\r\n");
const QString TwoDigits = QStringLiteral("##00");
const QString UnknownValue = QStringLiteral("??");
const QString UnknownVersion = QStringLiteral("????????  ");

// The row check boxes (Check1) of the unit-settings panel.
enum Row {
    TimeRow = 0,
    DateRow = 1,
    PollRow = 2,
    LcdTimingRow = 3,
    LcdTextRow = 4,
    VersionRow = 5
};

// Scroll bars of the poll period (hours, minutes, seconds) and of the LCD timing.
constexpr int HoursScroll = 2;
constexpr int MinutesScroll = 3;
constexpr int SecondsScroll = 4;
constexpr int SecondsPerChannelScroll = 5;
constexpr int RepeatsScroll = 6;

bool selected(const UnitSettingsPanel& panel, int allFlag, int row) {
    return allFlag == 1 || panel.check1(row) == 1;
}

QString twoDigits(int value) {
    return formatNumber(value, TwoDigits);
}

// A manual clock box is cut by position, whatever its separators: characters 1-2, 4-5 and
// the last two.
QString clockDigits(const QString& text) {
    return text.left(2) + text.mid(3, 2) + text.right(2);
}

QStringList unitProgramLines(const UnitSettingsPanel& panel, int allFlag, const QDateTime& now) {
    const QLocale c = QLocale::c();
    QStringList lines;
    if (selected(panel, allFlag, TimeRow))
        lines << QStringLiteral("SRTCT") + (panel.clockAuto() ? c.toString(now.time(), u"hhmmss")
                                                              : clockDigits(panel.text2(0)));
    if (selected(panel, allFlag, DateRow))
        lines << QStringLiteral("SRTCD") + (panel.clockAuto() ? c.toString(now.date(), u"MMddyy")
                                                              : clockDigits(panel.text2(1)));
    if (selected(panel, allFlag, PollRow))
        lines << pollPeriodLine(panel);
    if (selected(panel, allFlag, LcdTimingRow))
        lines << lcdTimingLine(panel);
    if (selected(panel, allFlag, LcdTextRow))
        lines << lcdTextLine(panel);
    for (QString& line : lines)
        line += LineEnd;
    return lines;
}

// The longest poll period the three scroll bars can show (9:59:59).
int longestPollPeriod() {
    return UnitSettingsPanel::vscrollMax(HoursScroll) * 3600 +
           UnitSettingsPanel::vscrollMax(MinutesScroll) * 60 +
           UnitSettingsPanel::vscrollMax(SecondsScroll);
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
std::optional<int> scrollValue(int scroll, const QString& field) {
    const double value = roundHalfEven(numericValue(field));
    if (value < UnitSettingsPanel::vscrollMin(scroll) ||
        value > UnitSettingsPanel::vscrollMax(scroll))
        return std::nullopt;
    return static_cast<int>(value);
}

// Each reply parser stores what the reply holds into the panel and tells whether the unit
// answered usably.
bool applyClock(Exchange& exchange, UnitSettingsPanel& panel, int allFlag) {
    const int at = exchange.FindReply(u"RTC");
    if (at == 0)
        return false;
    if (selected(panel, allFlag, DateRow))
        panel.setText2(1, exchange.replyField(at, 4, 8));
    if (selected(panel, allFlag, TimeRow))
        panel.setText2(0, exchange.replyField(at, 13, 8));
    return true;
}

// Periods the scroll bars cannot show, and fields that are no number, count as no answer:
// the displays show "??" and the scroll bars keep their values.
bool applyPollPeriod(Exchange& exchange, UnitSettingsPanel& panel, int) {
    const int at = exchange.FindReply(u"PP");
    const std::optional<int> period =
        at == 0 ? std::nullopt : pollPeriodSeconds(exchange.replyField(at, 2, 5));
    if (!period) {
        for (int display = 0; display < 3; ++display)
            panel.setLabel8(display, UnknownValue);
        return false;
    }
    const int hours = *period / 3600;
    const int minutes = (*period - 3600 * hours) / 60;
    const std::array<int, 3> parts{hours, minutes, *period - 3600 * hours - 60 * minutes};
    for (int display = 0; display < 3; ++display) {
        panel.setLabel8(display, twoDigits(parts[display]));
        panel.setVScroll(HoursScroll + display,
                         static_cast<int>(numericValue(panel.label8(display))));
    }
    return true;
}

// The displays show the reply's two characters as they are; values the scroll bars refuse
// make the whole group unanswered.
bool applyLcdTiming(Exchange& exchange, UnitSettingsPanel& panel, int) {
    const int at = exchange.FindReply(u"LCD");
    const QString seconds = exchange.replyField(at, 3, 2);
    const QString repeats = exchange.replyField(at, 6, 2);
    const std::optional<int> secondsValue = scrollValue(SecondsPerChannelScroll, seconds);
    const std::optional<int> repeatsValue = scrollValue(RepeatsScroll, repeats);
    if (at == 0 || !secondsValue || !repeatsValue) {
        panel.setLabel8(SecondsPerChannelScroll - HoursScroll, UnknownValue);
        panel.setLabel8(RepeatsScroll - HoursScroll, UnknownValue);
        return false;
    }
    panel.setLabel8(SecondsPerChannelScroll - HoursScroll, seconds);
    panel.setVScroll(SecondsPerChannelScroll, *secondsValue);
    panel.setLabel8(RepeatsScroll - HoursScroll, repeats);
    panel.setVScroll(RepeatsScroll, *repeatsValue);
    return true;
}

bool applyLcdText(Exchange& exchange, UnitSettingsPanel& panel, int) {
    const QString unknown(UnitSettingsPanel::LcdTextMaxLength, QLatin1Char('?'));
    const int line1 = exchange.FindReply(u"LCDT1");
    panel.setText1(0, line1 == 0
                          ? unknown
                          : exchange.replyField(line1, 6, UnitSettingsPanel::LcdTextMaxLength));
    const int line2 = exchange.FindReply(u"T2");
    panel.setText1(1, line2 == 0
                          ? unknown
                          : exchange.replyField(line2, 3, UnitSettingsPanel::LcdTextMaxLength));
    return line1 != 0;
}

// The version display shows everything received, line end included.
bool applyVersion(Exchange& exchange, UnitSettingsPanel& panel, int) {
    const bool found = exchange.FindReply(u"V") != 0;
    panel.setLabel2(2, found ? exchange.link().ReplyBuffer : UnknownVersion);
    return found;
}

struct UnitRead {
    QLatin1String line;
    int firstRow; // the group runs when one of these rows is ticked
    int lastRow;
    bool (*apply)(Exchange&, UnitSettingsPanel&, int allFlag);
};

// Both the program and the read of the unit settings take five lines when all run.
constexpr int UnitSettingsLineCount = 5;

constexpr std::array<UnitRead, UnitSettingsLineCount> UnitReads{{
    {QLatin1String("GRTCT"), TimeRow, DateRow, applyClock},
    {QLatin1String("GPP"), PollRow, PollRow, applyPollPeriod},
    {QLatin1String("GLCD"), LcdTimingRow, LcdTimingRow, applyLcdTiming},
    {QLatin1String("GLCDT"), LcdTextRow, LcdTextRow, applyLcdText},
    {QLatin1String("GV"), VersionRow, VersionRow, applyVersion},
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
            lines << QString(read.line);
    }
    return lines;
}

// The module part of a whole-unit action: tanks, G4 modules, 4-20mA modules, ascending.
enum class ModuleKind { Tank, G4, Loop420 };
struct ModuleStep {
    ModuleKind kind;
    int number;
};

std::vector<ModuleStep> moduleSteps() {
    std::vector<ModuleStep> steps;
    steps.reserve(TankCount + G4Count + Loop420Last - Loop420First + 1);
    for (int tank = 0; tank < TankCount; ++tank)
        steps.push_back({ModuleKind::Tank, tank});
    for (int module = 0; module < G4Count; ++module)
        steps.push_back({ModuleKind::G4, module});
    for (int module = Loop420First; module <= Loop420Last; ++module)
        steps.push_back({ModuleKind::Loop420, module});
    return steps;
}

constexpr int ModuleStepCount = TankCount + G4Count + (Loop420Last - Loop420First + 1);
static_assert(UnitSettingsLineCount + ModuleStepCount == UnitCommands::WholeUnitLineCount);

QString stepName(const ModuleStep& step) {
    switch (step.kind) {
    case ModuleKind::Tank:
        return QStringLiteral("tank %1").arg(step.number, 2, 10, QLatin1Char('0'));
    case ModuleKind::G4:
        return QStringLiteral("G4 module %1").arg(step.number);
    case ModuleKind::Loop420:
        return QStringLiteral("4-20mA module %1").arg(step.number);
    }
    return {};
}

// A read line as reports name it: the line without its CR LF ("GU07").
QString readLineName(const ModuleStep& step) {
    switch (step.kind) {
    case ModuleKind::Tank:
        return sensorReadLine(step.number).chopped(2);
    case ModuleKind::G4:
        return g4ReadLine(step.number).chopped(2);
    case ModuleKind::Loop420:
        return loop420ReadLine(step.number).chopped(2);
    }
    return {};
}

void programStep(UnitCommands& commands, const ModuleStep& step) {
    switch (step.kind) {
    case ModuleKind::Tank:
        return commands.ProgramSensor(step.number);
    case ModuleKind::G4:
        return commands.ProgramG4(step.number);
    case ModuleKind::Loop420:
        return commands.ProgramLoop420(step.number);
    }
}

ReplyOutcome readStep(UnitCommands& commands, const ModuleStep& step) {
    switch (step.kind) {
    case ModuleKind::Tank:
        return commands.ReadSensor(step.number);
    case ModuleKind::G4:
        return commands.ReadG4(step.number);
    case ModuleKind::Loop420:
        return commands.ReadLoop420(step.number);
    }
    return ReplyOutcome::NoReply;
}

// A tank or module read: the reply buffer is cleared so that only this line's reply counts.
void askModule(Exchange& exchange, const QString& readLine) {
    exchange.clearReplyBuffer();
    exchange.SendCommandLine(readLine, ModuleReadSettleCount);
}

void note(ReadReport* report, const QString& readLine, bool answered) {
    if (report)
        (answered ? report->answered : report->unanswered) << readLine;
}

qsizetype notedCount(const ReadReport& report) {
    return report.answered.size() + report.unanswered.size();
}

// Runs a read action in the read-order bracket. Reads that a lost port kept from being sent
// are reported unanswered, in the order they were planned.
template <typename Body>
bool runReportedReads(Exchange& exchange, const QStringList& planned, ReadReport* report,
                      Body&& body) {
    ReadReport own;
    ReadReport& result = report ? *report : own;
    const qsizetype before = notedCount(result);
    const bool completed = exchange.runReadBatch([&] { body(result); });
    result.unanswered << planned.mid(notedCount(result) - before);
    return completed;
}

} // namespace

UnitCommands::UnitCommands(Exchange& exchange, UnitSettingsPanel& panel, RecordTables& tables,
                           Clock clock)
    : exchange_(exchange), panel_(panel), tables_(tables), clock_(std::move(clock)) {}

void UnitCommands::ProgramUnitSettings(int allFlag) {
    exchange_.clearReplyBuffer();
    for (const QString& line : unitProgramLines(panel_, allFlag, clock_()))
        exchange_.SendCommandLine(line, UnitSettleCount);
}

void UnitCommands::ReadUnitSettings(int allFlag, ReadReport* report) {
    for (const UnitRead& read : UnitReads) {
        if (!selected(panel_, allFlag, read))
            continue;
        exchange_.clearReplyBuffer();
        exchange_.SendCommandLine(QString(read.line) + LineEnd, UnitSettleCount);
        note(report, QString(read.line), read.apply(exchange_, panel_, allFlag));
    }
}

void UnitCommands::ProgramSensor(int tank) {
    exchange_.SendCommandLine(sensorProgramLine(tank, tables_.SensorRecords.at(tank)),
                              ModuleProgramSettleCount);
}

ReplyOutcome UnitCommands::ReadSensor(int tank) {
    SensorRecord& record = tables_.SensorRecords.at(tank);
    askModule(exchange_, sensorReadLine(tank));
    return applySensorReply(exchange_.link().ReplyBuffer, tank, record);
}

void UnitCommands::ProgramG4(int module) {
    exchange_.SendCommandLine(g4ProgramLine(module, tables_.G4Records.at(module)),
                              ModuleProgramSettleCount);
}

ReplyOutcome UnitCommands::ReadG4(int module) {
    askModule(exchange_, g4ReadLine(module));
    int named = -1;
    const ReplyOutcome outcome = applyG4Reply(exchange_.link().ReplyBuffer, tables_, &named);
    return named == module ? outcome : ReplyOutcome::NoReply;
}

void UnitCommands::ProgramLoop420(int module) {
    exchange_.SendCommandLine(loop420ProgramLine(module, tables_.Loop420Records[module]),
                              ModuleProgramSettleCount);
}

ReplyOutcome UnitCommands::ReadLoop420(int module) {
    askModule(exchange_, loop420ReadLine(module));
    int named = -1;
    const ReplyOutcome outcome = applyLoop420Reply(exchange_.link().ReplyBuffer, tables_, &named);
    return named == module ? outcome : ReplyOutcome::NoReply;
}

bool UnitCommands::programButton() {
    return exchange_.runProgramBatch(Window::RtuForm, Exchange::ErrorReport::Beep,
                                     [this] { ProgramUnitSettings(0); });
}

bool UnitCommands::readButton(ReadReport* report) {
    return runReportedReads(exchange_, unitReadLines(panel_, 0), report,
                            [this](ReadReport& result) { ReadUnitSettings(0, &result); });
}

bool UnitCommands::programAll() {
    BatchUi& ui = exchange_.ui();
    return exchange_.runProgramBatch(
        Window::RtuForm, Exchange::ErrorReport::MessageAndBeep, [this, &ui] {
            ui.progress(0, WholeUnitLineCount, QStringLiteral("Programming unit settings"));
            ProgramUnitSettings(1);
            int done = UnitSettingsLineCount;
            for (const ModuleStep& step : moduleSteps()) {
                ui.progress(done++, WholeUnitLineCount,
                            QStringLiteral("Programming ") + stepName(step));
                programStep(*this, step);
            }
        });
}

bool UnitCommands::readAll(ReadReport* report) {
    BatchUi& ui = exchange_.ui();
    QStringList planned = unitReadLines(panel_, 1);
    for (const ModuleStep& step : moduleSteps())
        planned << readLineName(step);
    return runReportedReads(exchange_, planned, report, [this, &ui](ReadReport& result) {
        ui.progress(0, WholeUnitLineCount, QStringLiteral("Reading unit settings"));
        ReadUnitSettings(1, &result);
        int done = UnitSettingsLineCount;
        for (const ModuleStep& step : moduleSteps()) {
            ui.progress(done++, WholeUnitLineCount, QStringLiteral("Reading ") + stepName(step));
            note(&result, readLineName(step), readStep(*this, step) != ReplyOutcome::NoReply);
        }
    });
}

} // namespace rtu
