#include "cli/CliFileLoad.h"

#include "config/ConfigurationFile.h"
#include "config/WholeFile.h"

#include <QTextStream>

namespace rtu {

namespace {

QString loadFailure(const QString& path, const LoadResult& result) {
    return result.lineNumber > 0
               ? QStringLiteral("%1:%2: %3").arg(path).arg(result.lineNumber).arg(result.reason)
               : QStringLiteral("%1: %2").arg(path, result.reason);
}

bool refuseLoad(QTextStream& err, const QString& line) {
    err << "rtu7350-cli: " << line << Qt::endl;
    return false;
}

} // namespace

bool loadConfigurationFile(const CliOptions& options, QTextStream& err, UnitSettings& settings,
                           RecordTables& tables, QStringList& records) {
    const QString& path = options.file;
    const ReadResult file = readConfigurationFile(path);
    if (!file.error.isEmpty())
        return refuseLoad(err, path + QStringLiteral(": ") + file.error);
    // A truncated or foreign file would otherwise set the defaults in the unit.
    if (const QStringList problems = wholeConfigurationProblems(file.content);
        !problems.isEmpty() && !options.partial)
        return refuseLoad(err, path + QStringLiteral(": not a whole configuration (%1); --partial "
                                                     "takes only the records it names")
                                          .arg(problems.join(QStringLiteral("; "))));
    const LoadResult loaded = LoadConfiguration(file.content, settings, tables);
    if (!loaded.ok)
        return refuseLoad(err, loadFailure(path, loaded));
    // A line that loads, but not as the program writes it, would send the unit what its
    // writer never meant (an exponent cut to its mantissa, a NUL in a label).
    if (const QStringList refusals = loadRefusals(path, loaded); !refusals.isEmpty()) {
        for (const QString& refusal : refusals)
            refuseLoad(err, refusal);
        return false;
    }
    records = loaded.records;
    records.removeDuplicates();
    // What a read without a reply left in the boxes is no setting of the unit.
    for (const int line : placeholderLines(file.content)) {
        if (!options.partial)
            return refuseLoad(err, QStringLiteral("%1:%2: the LCD text is the placeholder of a "
                                                  "read that got no reply (20 question marks); "
                                                  "--partial leaves the line out")
                                       .arg(path)
                                       .arg(line));
        records.removeAll(QStringLiteral("SLCDT1"));
    }
    return !records.isEmpty() ||
           refuseLoad(err, path + QStringLiteral(": names no record of the unit"));
}

} // namespace rtu
