#include "app/FileActions.h"

#include "app/Session.h"
#include "app/SiteReport.h"
#include "app/UserNotifier.h"
#include "config/ConfigurationFile.h"

#include <QDir>

namespace rtu {

namespace {

// A whole configuration names one record per line.
QString recordsOfWhole(qsizetype count) {
    return QStringLiteral("%1 of %2 records").arg(count).arg(UnitCommands::WholeUnitLineCount);
}

// The lines a load took as they read, although the program never writes them so: the unit
// would be sent what they became. Empty when there are none.
QString notAsWritten(const LoadResult& result) {
    QStringList lines;
    for (const LineProblem& problem : result.problems)
        lines << QStringLiteral("line %1: %2").arg(problem.lineNumber).arg(problem.reason);
    return lines.isEmpty() ? QString()
                           : QStringLiteral("; not as the program writes them: ") +
                                 lines.join(QStringLiteral("; "));
}

// The status line of a load that failed. Lines before a bad one stay applied; a file that
// could not be read, or that names no record, changed nothing.
QString failedLoadOutcome(const QString& path, const LoadResult& result, qsizetype applied) {
    if (result.lineNumber == 0)
        return QStringLiteral("Load of %1: %2, nothing changed: %3")
            .arg(QDir::toNativeSeparators(path), recordsOfWhole(0), result.reason);
    return QStringLiteral("Load stopped at %1; %2 applied before it")
               .arg(loadProblem(path, result), recordsOfWhole(applied)) +
           notAsWritten(result);
}

// A file that was not written: the reason in a message box, and as the outcome's one line.
QString failedWrite(Session& session, const QString& problem) {
    session.notifier().showMessage(problem, QString(), MessageIcon::Critical);
    return QString(problem).replace(u'\n', u' ');
}

} // namespace

QString saveConfigurationTo(Session& session, const QString& path) {
    if (!session.unanswered.confirmSave(session.commands.wholeUnitReadLines(), session.notifier()))
        return QStringLiteral("Save cancelled: nothing written");
    const QString error = saveConfigurationFile(path, session.settings.values(), session.tables);
    if (error.isEmpty()) {
        session.edits.markKept();
        session.record.fileUsed(QStringLiteral("Save"), path);
        return QStringLiteral("Saved ") + QDir::toNativeSeparators(path);
    }
    // A silent failure would leave the operator believing the configuration is on disk.
    return failedWrite(session, QStringLiteral("The configuration was not saved to %1:\n%2")
                                    .arg(QDir::toNativeSeparators(path), error));
}

QString loadConfigurationFrom(Session& session, const QString& path) {
    session.edits.takingBegins();
    LoadResult result =
        loadConfigurationFile(path, session.settings.storedValues(), session.tables);
    session.settings.publish();
    session.edits.takingEnds();
    session.unanswered.noteLoaded(result.records);
    QStringList named = result.records;
    named.removeDuplicates();
    if (result.ok && named.isEmpty())
        result = {false, 0, QStringLiteral("no line names a record of the unit"), {}, {}};
    if (result.ok) {
        const bool whole = named.size() == UnitCommands::WholeUnitLineCount;
        if (whole)
            session.edits.markKept();
        session.record.fileUsed(QStringLiteral("Load"), path);
        const QString loaded =
            QStringLiteral("Loaded %1: %2")
                .arg(QDir::toNativeSeparators(path), recordsOfWhole(named.size()));
        return (whole ? loaded : loaded + QStringLiteral("; the others keep their values")) +
               notAsWritten(result);
    }
    // The message keeps its words and adds where and why, so the file can be mended.
    session.notifier().showMessage(QString::fromLatin1(FileErrorMessage) + u'\n' +
                                       loadProblem(path, result),
                                   QString(), MessageIcon::None);
    return failedLoadOutcome(path, result, named.size());
}

QString exportSiteReportTo(Session& session, const QString& path,
                           const UnitComparison* lastComparison) {
    const SiteReport report({session.settings.values(), session.tables},
                            QDateTime::currentDateTime(), lastComparison);
    const QString error = report.write(path);
    if (error.isEmpty())
        return QStringLiteral("Report written to ") + QDir::toNativeSeparators(path);
    return failedWrite(session, QStringLiteral("The report was not written to %1:\n%2")
                                    .arg(QDir::toNativeSeparators(path), error));
}

} // namespace rtu
