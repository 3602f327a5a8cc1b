#include "cli/CliReport.h"

#include "app/SiteReport.h"
#include "cli/CliFileLoad.h"

#include <QTextStream>

namespace rtu {

ExitCode writeSiteReport(const CliOptions& options, QTextStream& err) {
    UnitConfiguration site;
    SetAllDefaults(site.tables);
    QStringList records;
    if (!loadConfigurationFile(options, err, site.settings, site.tables, records))
        return ExitCode::Failure;
    const QString reason = SiteReport(site, QDateTime::currentDateTime()).write(options.output);
    if (reason.isEmpty())
        return ExitCode::Success;
    err << "rtu7350-cli: " << options.output << ": " << reason << Qt::endl;
    return ExitCode::Failure;
}

} // namespace rtu
