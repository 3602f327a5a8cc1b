#include "app/WorkRecorder.h"

#include "app/PortSelection.h"
#include "app/Session.h"
#include "serial/LineCodes.h"
#include "serial/SerialDevices.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

namespace rtu {

namespace {

QJsonObject portOf(const LinkState& link, const SerialLibrary& library) {
    if (link.CurrentPort == NoPort)
        return {};
    const QString device = library.device(link.CurrentPort);
    return {{QStringLiteral("name"), portName(link.CurrentPort)},
            {QStringLiteral("device"), device},
            {QStringLiteral("stableName"), stableDeviceName(device, stableNameDirectory())}};
}

QJsonObject lineSettingsOf(const PortParameterBlock& record) {
    return {{QStringLiteral("baud"), baudRate(record.BaudCode()).value_or(0)},
            {QStringLiteral("parity"), parityCaptions().value(record.ParityCode())},
            {QStringLiteral("dataBits"), record.LengthCode() + 5},
            {QStringLiteral("stopBits"), record.StopBitsCode() + 1}};
}

QJsonArray changesOf(const QList<FieldDifference>& changes) {
    QJsonArray array;
    for (const FieldDifference& change : changes)
        array.append(QJsonObject{{QStringLiteral("record"), change.record},
                                 {QStringLiteral("field"), change.field},
                                 {QStringLiteral("before"), change.inUnit},
                                 {QStringLiteral("after"), change.inProgram}});
    return array;
}

QStringList unansweredOf(const ReadReport& report) {
    return report.unanswered + report.partlyAnswered;
}

} // namespace

void WorkRecorder::setFolder(const QString& folder, const QString& programVersion) {
    file_.reset();
    if (!folder.isEmpty())
        file_.emplace(folder);
    programVersion_ = programVersion;
}

UnitConfiguration WorkRecorder::program() const {
    return {session_.settings.values(), session_.tables};
}

void WorkRecorder::programmed(const QString& action, const QStringList& records, bool completed,
                              std::optional<int> linesSent, const QString& modules) {
    const UnitConfiguration now = program();
    WorkEntry entry{action, linesSent.value_or(session_.exchange.completedLines())};
    entry.changes = known_.changes(now, records);
    entry.modules = modules;
    known_.noteProgrammed(now, records, completed);
    append(entry);
}

// A completed action has read the records back since: the last batch is no longer theirs.
void WorkRecorder::programmedDifferences(const QStringList& records, bool completed) {
    programmed(QStringLiteral("Program Differences"), records, completed,
               completed ? std::optional<int>(int(records.size())) : std::nullopt);
}

void WorkRecorder::read(const QString& action, const ReadReport& report, const QString& modules) {
    known_.noteRead(program(), report);
    WorkEntry entry{action, session_.exchange.completedLines(), unansweredOf(report)};
    entry.modules = modules;
    append(entry);
}

void WorkRecorder::compared(const QString& action, const UnitConfiguration& unit,
                            const ReadReport& report) {
    known_.noteRead(unit, report);
    append({action, session_.exchange.completedLines(), unansweredOf(report)});
}

void WorkRecorder::fileUsed(const QString& action, const QString& path) {
    WorkEntry entry{action};
    entry.file = path;
    append(entry);
}

void WorkRecorder::append(const WorkEntry& entry) {
    if (!file_)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    QJsonObject line{
        {QStringLiteral("time"), now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate)},
        {QStringLiteral("version"), programVersion_},
        {QStringLiteral("action"), entry.action},
        {QStringLiteral("port"), portOf(session_.link, session_.library())},
        {QStringLiteral("line"), lineSettingsOf(session_.link.PortRecord)},
        {QStringLiteral("linesSent"), entry.linesSent},
        {QStringLiteral("unanswered"), QJsonArray::fromStringList(entry.unanswered)},
        {QStringLiteral("changes"), changesOf(entry.changes)}};
    if (!known_.version().isEmpty())
        line.insert(QStringLiteral("unitVersion"), known_.version());
    if (!entry.file.isEmpty())
        line.insert(QStringLiteral("file"), entry.file);
    if (!entry.modules.isEmpty())
        line.insert(QStringLiteral("modules"), entry.modules);
    if (const QString problem = file_->append(line); !problem.isEmpty() && failure_.isEmpty())
        failure_ = QStringLiteral("Work record not written: ") + problem;
}

QString WorkRecorder::noticeOnce() {
    if (told_ || failure_.isEmpty())
        return {};
    told_ = true;
    return failure_;
}

QString WorkRecorder::withNotice(const QString& outcome) {
    const QString notice = noticeOnce();
    if (notice.isEmpty())
        return outcome;
    return outcome.isEmpty() ? notice : outcome + QStringLiteral("; ") + notice;
}

} // namespace rtu
