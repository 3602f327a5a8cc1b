#pragma once

#include "cli/CliOptions.h"

class QIODevice;
class QTextStream;

namespace rtu {

// "record": prints the work record in `folder`, oldest first, from `options.since` on: a
// line per action for people, or with --json the lines as written, in one JSON array.
ExitCode printRecord(const CliOptions& options, const QString& folder, QIODevice& out,
                     QTextStream& err);

} // namespace rtu
