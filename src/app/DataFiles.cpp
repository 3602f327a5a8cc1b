#include "app/DataFiles.h"

#include <QDir>
#include <QStandardPaths>

namespace rtu {

QStringList dataFileCandidates(const QString& programDir, const QString& fileName) {
    const QString inFolder = QStringLiteral("%1/%2").arg(QLatin1String(DataFolder), fileName);
    QStringList candidates{
        QDir::cleanPath(programDir + u'/' + fileName),
        QDir::cleanPath(programDir + QStringLiteral("/../share/") + inFolder),
    };
    for (const QString& dataDir :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates << QDir::cleanPath(dataDir + u'/' + inFolder);
    candidates.removeDuplicates();
    return candidates;
}

} // namespace rtu
