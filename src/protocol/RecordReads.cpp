#include "protocol/RecordReads.h"

#include "config/ConfigurationFile.h"
#include "protocol/ReadLines.h"

namespace rtu {

QStringList readLinesOf(const QStringList& records) {
    QStringList lines;
    for (const QString& record : records)
        lines << readLineOf(record);
    lines.removeDuplicates();
    return lines;
}

QStringList recordsRead(const QStringList& answered) {
    QStringList records = configurationRecords();
    records.removeIf(
        [&answered](const QString& record) { return !answered.contains(readLineOf(record)); });
    return records;
}

bool isClockRecord(const QString& record) {
    return unitReadLine(UnitGroup::Clock).records.contains(record);
}

} // namespace rtu
