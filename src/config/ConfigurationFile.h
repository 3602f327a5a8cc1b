#pragma once

#include "config/Records.h"

#include <QByteArray>
#include <QString>

namespace rtu {

class UnitSettingsPanel;

// The configuration file: 39 lines shaped like the unit's "S" command lines, CR LF,
// one byte per character.
QByteArray WriteConfiguration(const UnitSettingsPanel& panel, const RecordTables& tables);

// Writes the configuration to path through QSaveFile: a failed or interrupted save never
// leaves a half-written file nor destroys the previous one. Returns an empty string on
// success, else a one-line reason.
QString saveConfigurationFile(const QString& path, const UnitSettingsPanel& panel,
                              const RecordTables& tables);

struct LoadResult {
    bool ok = true;
    int lineNumber = 0; // 1-based line of the error; 0 when the file itself failed
    QString reason;     // empty when ok
};

// Applies a configuration text line by line, as the "Load" button does. Lines applied
// before an error stay applied. Lines matching no prefix, and records numbered out of
// range, are skipped.
LoadResult LoadConfiguration(const QByteArray& content, UnitSettingsPanel& panel,
                             RecordTables& tables);

// Opens, reads and applies a file; a file that cannot be opened or read is an error.
LoadResult loadConfigurationFile(const QString& path, UnitSettingsPanel& panel,
                                 RecordTables& tables);

// The message the operator sees for any load error (three spaces before the words).
inline const char* const FileErrorMessage = "   File ERROR";

} // namespace rtu
