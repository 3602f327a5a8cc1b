#include "cli/RecordReads.h"

#include "config/ConfigurationFile.h"

namespace rtu {

QString readLineOf(const QString& record) {
    if (isClockRecord(record))
        return QStringLiteral("GRTCT");
    if (record == u"SLCDT1")
        return QStringLiteral("GLCDT");
    // The unit asks with "G" for what "S" sets: "SPP" and "GPP", "SG43" and "GG43".
    return u'G' + record.mid(1);
}

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
    return record == u"SRTCT" || record == u"SRTCD";
}

} // namespace rtu
