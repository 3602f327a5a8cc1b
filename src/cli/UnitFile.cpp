#include "cli/UnitFile.h"

#include "config/ConfigurationFile.h"

namespace rtu {

namespace {

QString loadFailure(const QString& path, const LoadResult& result) {
    return result.lineNumber > 0
               ? QStringLiteral("%1:%2: %3").arg(path).arg(result.lineNumber).arg(result.reason)
               : QStringLiteral("%1: %2").arg(path, result.reason);
}

} // namespace

QStringList loadUnitFile(const QString& path, bool partial, UnitSettings& settings,
                         RecordTables& tables, QStringList& records) {
    const auto refuse = [&path](const QString& reason) {
        return QStringList{path + QStringLiteral(": ") + reason};
    };
    const ReadResult file = readConfigurationFile(path);
    if (!file.error.isEmpty())
        return refuse(file.error);
    // A truncated or foreign file would otherwise set the defaults in the unit.
    if (const QStringList problems = wholeConfigurationProblems(file.content);
        !problems.isEmpty() && !partial)
        return refuse(QStringLiteral("not a whole configuration (%1); --partial takes only "
                                     "the records it names")
                          .arg(problems.join(QStringLiteral("; "))));
    const LoadResult loaded = LoadConfiguration(file.content, settings, tables);
    if (!loaded.ok)
        return {loadFailure(path, loaded)};
    // A line that loads, but not as the program writes it, would send the unit what its
    // writer never meant (an exponent cut to its mantissa, a NUL in a label).
    if (const QStringList refusals = loadRefusals(path, loaded); !refusals.isEmpty())
        return refusals;
    records = loaded.records;
    records.removeDuplicates();
    // What a read without a reply left in the boxes is no setting of the unit.
    for (const int line : placeholderLines(file.content)) {
        if (!partial)
            return {QStringLiteral("%1:%2: the LCD text is the placeholder of a read that got no "
                                   "reply (20 question marks); --partial leaves the line out")
                        .arg(path)
                        .arg(line)};
        records.removeAll(QStringLiteral("SLCDT1"));
    }
    if (records.isEmpty())
        return refuse(QStringLiteral("names no record of the unit"));
    return {};
}

} // namespace rtu
