#pragma once

#include "cli/CliOptions.h"

class QTextStream;

namespace rtu {

// rtu7350-cli report: the site report of FILE, written to --output in the format its suffix
// names; failures on `err`. PDF and PNG need a QGuiApplication.
ExitCode writeSiteReport(const CliOptions& options, QTextStream& err);

} // namespace rtu
