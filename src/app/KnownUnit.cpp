#include "app/KnownUnit.h"

#include "config/ConfigurationFile.h"
#include "protocol/ReadLines.h"
#include "protocol/RecordReads.h"

namespace rtu {

KnownUnit::KnownUnit() {
    SetAllDefaults(unit_.tables);
}

// Copied as a file holding those records would load them.
void KnownUnit::take(const UnitConfiguration& from, const QStringList& records) {
    LoadConfiguration(WriteConfiguration(from.settings, from.tables, records), unit_.settings,
                      unit_.tables);
}

void KnownUnit::noteRead(const UnitConfiguration& unit, const ReadReport& read) {
    take(unit, recordsRead(read.answered));
    known_.answered << read.answered;
    known_.answered.removeDuplicates();
    if (read.answered.contains(unitReadLine(UnitGroup::Version).name))
        version_ = unit.settings.version.trimmed();
}

void KnownUnit::noteProgrammed(const UnitConfiguration& program, const QStringList& records,
                               bool completed) {
    const QStringList lines = readLinesOf(records);
    if (!completed) {
        known_.answered.removeIf([&lines](const QString& line) { return lines.contains(line); });
        return;
    }
    take(program, records);
    known_.answered << lines;
    known_.answered.removeDuplicates();
}

QList<FieldDifference> KnownUnit::changes(const UnitConfiguration& program,
                                          const QStringList& records) const {
    return compareWithUnit(program, unit_, known_, records).differences;
}

} // namespace rtu
