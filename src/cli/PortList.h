#pragma once

#include "cli/CliOptions.h"

#include <QString>

class QIODevice;

namespace rtu {

// The "ports" command: one line per port, the device, its stable name (empty when it has
// none), description, manufacturer and serial number, separated by tabs.
ExitCode printPorts(QIODevice& out);

// What to do about a device that does not exist: name one that does.
QString existingPortsAdvice();

} // namespace rtu
