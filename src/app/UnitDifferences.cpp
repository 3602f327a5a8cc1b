#include "app/UnitDifferences.h"

#include "app/Session.h"
#include "config/ConfigurationFile.h"
#include "protocol/RecordReads.h"

namespace rtu {

namespace {

// Every record a file names but the clock's: the clock runs on and never matches a reading.
QStringList comparedRecords() {
    QStringList records = configurationRecords();
    records.removeIf(isClockRecord);
    return records;
}

} // namespace

UnitDifferences::UnitDifferences(Session& session)
    : session_(session), unitCommands_(session.exchange, unit_.settings, unitRows_, unit_.tables) {
    SetAllDefaults(unit_.tables);
}

bool UnitDifferences::compare() {
    const bool completed = readAndCompare(unitCommands_.wholeUnitReadLines(), comparedRecords());
    session_.record.compared(QStringLiteral("Compare"), unit_, lastRead_);
    return completed;
}

bool UnitDifferences::readAndCompare(const QStringList& readLines, const QStringList& records) {
    lastRead_ = {};
    const bool completed = unitCommands_.readListed(readLines, &lastRead_);
    comparison_ =
        compareWithUnit({session_.settings.values(), session_.tables}, unit_, lastRead_, records);
    return completed;
}

QStringList UnitDifferences::recordsToProgram() const {
    QStringList records = configurationRecords();
    records.removeIf([this](const QString& record) {
        return std::none_of(
            comparison_.differences.cbegin(), comparison_.differences.cend(),
            [&record](const FieldDifference& difference) { return difference.record == record; });
    });
    return records;
}

bool UnitDifferences::programDifferences() {
    const QStringList records = recordsToProgram();
    if (records.isEmpty())
        return true;
    const bool sent = session_.commands.programListed(records);
    session_.record.programmedDifferences(records, sent);
    return sent && readAndCompare(readLinesOf(records), records);
}

void UnitDifferences::takeUnitValues(const QStringList& records) {
    const QByteArray lines = WriteConfiguration(unit_.settings, unit_.tables, records);
    const LoadResult taken =
        LoadConfiguration(lines, session_.settings.storedValues(), session_.tables);
    session_.settings.publish();
    session_.unanswered.noteLoaded(taken.records);
    // Those records now hold what the unit holds: they no longer differ.
    comparison_.differences.removeIf([&records](const FieldDifference& difference) {
        return records.contains(difference.record);
    });
}

} // namespace rtu
