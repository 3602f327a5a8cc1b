#pragma once

#include "config/Records.h"
#include "config/UnitSettings.h"

#include <QString>
#include <QStringList>

namespace rtu {

// Loads the configuration file `path` for program or verify into `settings` and `tables` and
// gives the records to send or compare. Refuses, one line each ("FILE:LINE: reason"), a file
// that cannot be read or loaded, one that is not a whole configuration or holds a placeholder
// (unless `partial`), one with lines that load but not as the program writes them, and one
// that names no record; an empty list means loaded.
QStringList loadUnitFile(const QString& path, bool partial, UnitSettings& settings,
                         RecordTables& tables, QStringList& records);

} // namespace rtu
