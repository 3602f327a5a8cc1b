#include "app/ReportExport.h"

#include "app/Session.h"
#include "app/SiteReport.h"
#include "app/UserNotifier.h"

#include <QDir>

namespace rtu {

QString exportSiteReportTo(Session& session, const QString& path,
                           const UnitComparison* lastComparison) {
    const SiteReport report({session.settings.values(), session.tables},
                            QDateTime::currentDateTime(), lastComparison);
    const QString error = report.write(path);
    if (error.isEmpty())
        return QStringLiteral("Report written to ") + QDir::toNativeSeparators(path);
    const QString problem = QStringLiteral("The report was not written to %1:\n%2")
                                .arg(QDir::toNativeSeparators(path), error);
    session.notifier().showMessage(problem, QString(), MessageIcon::Critical);
    return QString(problem).replace(u'\n', u' ');
}

} // namespace rtu
