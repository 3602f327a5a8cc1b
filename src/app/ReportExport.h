#pragma once

#include <QString>

namespace rtu {

class Session;
struct UnitComparison;

// "Export Report..." once the file dialog has named the file: the site report of the
// configuration on screen, with `lastComparison` when there is one, in the format the file's
// suffix names. Returns the one-line outcome for the status bar and shows a failure in a
// message box as well.
QString exportSiteReportTo(Session& session, const QString& path,
                           const UnitComparison* lastComparison);

} // namespace rtu
