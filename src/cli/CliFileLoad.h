#pragma once

#include "cli/CliOptions.h"
#include "config/Records.h"
#include "config/UnitSettings.h"

#include <QStringList>

class QTextStream;

namespace rtu {

// Loads the FILE of program, verify or report into `settings` and `tables` and gives the
// records it names. False, after saying why on `err`, for a file that cannot be read or
// loaded, one that is not a whole configuration or holds a placeholder (unless --partial),
// one with lines that load but not as the program writes them, and one that names no record.
bool loadConfigurationFile(const CliOptions& options, QTextStream& err, UnitSettings& settings,
                           RecordTables& tables, QStringList& records);

} // namespace rtu
