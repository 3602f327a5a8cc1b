#pragma once

#include "cli/CliOptions.h"

class QIODevice;
class QTextStream;

namespace rtu {

class SerialLibrary;

// Runs one parsed command of rtu7350-cli against the serial port it names, which `library`
// puts behind its first port. Results (the configuration read, verify's differences, the
// port list) go to `out`; progress and failures to `err`, one line each. Needs a
// QCoreApplication: the settle delays run its event loop.
ExitCode runCommand(const CliOptions& options, SerialLibrary& library, QIODevice& out,
                    QTextStream& err);

} // namespace rtu
