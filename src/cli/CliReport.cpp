#include "cli/CliReport.h"

#include "app/SiteReport.h"
#include "cli/UnitFile.h"

#include <QTextStream>

namespace rtu {

ExitCode writeSiteReport(const CliOptions& options, QTextStream& err) {
    UnitConfiguration site;
    SetAllDefaults(site.tables);
    QStringList records;
    const QStringList refusals =
        loadUnitFile(options.file, options.partial, site.settings, site.tables, records);
    for (const QString& refusal : refusals)
        err << "rtu7350-cli: " << refusal << Qt::endl;
    if (!refusals.isEmpty())
        return ExitCode::Failure;
    const QString reason = SiteReport(site, QDateTime::currentDateTime()).write(options.output);
    if (reason.isEmpty())
        return ExitCode::Success;
    err << "rtu7350-cli: " << options.output << ": " << reason << Qt::endl;
    return ExitCode::Failure;
}

} // namespace rtu
