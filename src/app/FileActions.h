#pragma once

#include <QString>

namespace rtu {

class Session;
struct UnitComparison;

// The main window's "Save", "Load" and "Export Report..." once the file dialog has named the
// file. Each returns the one-line outcome for the status bar and shows a failure in a message
// box as well.

// "Save" covering fields the last read left unread asks first, as "Program" does; Cancel
// writes nothing.
QString saveConfigurationTo(Session& session, const QString& path);

// "Load" says how many of the configuration's records the file named ("Loaded site.txt: 39
// of 39 records"). A file that names none (empty, binary, any other text) is an error, as a
// bad line is: it would otherwise pass for a configuration that changed nothing. Lines that
// loaded, but not as the program writes them, are applied as they read and named ("; not as
// the program writes them: line 5: number with an exponent: 1e400").
QString loadConfigurationFrom(Session& session, const QString& path);

// "Export Report..." once the file dialog has named the file: the site report of the
// configuration on screen, with `lastComparison` when there is one, in the format the file's
// suffix names.
QString exportSiteReportTo(Session& session, const QString& path,
                           const UnitComparison* lastComparison);

} // namespace rtu
