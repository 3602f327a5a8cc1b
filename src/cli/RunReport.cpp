#include "cli/RunReport.h"

#include <QFileInfo>
#include <QJsonDocument>

namespace rtu {

namespace {

QString actionName(const CliOptions& options) {
    switch (options.command) {
    case CliCommand::Program:
        return options.changes ? QStringLiteral("program-changes") : QStringLiteral("program");
    case CliCommand::Read:
        return QStringLiteral("read");
    case CliCommand::Verify:
        return QStringLiteral("verify");
    case CliCommand::Ports:
        return QStringLiteral("ports");
    case CliCommand::Report:
        return QStringLiteral("report");
    case CliCommand::Record:
        break;
    }
    return QStringLiteral("record");
}

QString resultName(ExitCode code) {
    switch (code) {
    case ExitCode::Success:
        return QStringLiteral("done");
    case ExitCode::Failure:
    case ExitCode::UsageError:
        return QStringLiteral("failed");
    case ExitCode::Unanswered:
        return QStringLiteral("unanswered");
    case ExitCode::Differs:
        return QStringLiteral("differs");
    case ExitCode::LogFailed:
        return QStringLiteral("log-failed");
    }
    return QStringLiteral("stopped"); // by a signal: 128 and its number
}

} // namespace

RunReport::RunReport(const CliOptions& options) {
    // A stable name under /dev/serial/by-id leads to the device the port really is.
    const QString device = QFileInfo(options.port).canonicalFilePath();
    report_ = {{"action", actionName(options)},
               {"port", options.port},
               {"device", device.isEmpty() ? options.port : device},
               {"differences", QJsonArray()}};
    if (!options.file.isEmpty())
        report_.insert("file", options.file);
}

void RunReport::noteSent(const QString& line) {
    sent_.append(QString(line).remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
}

void RunReport::noteUnanswered(const QStringList& readLines) {
    for (const QString& line : readLines) {
        if (!unanswered_.contains(line))
            unanswered_.append(line);
    }
}

void RunReport::noteDifferences(const QString& key, const QList<FieldDifference>& differences) {
    QJsonArray list;
    for (const FieldDifference& difference : differences)
        list.append(QJsonObject{{"record", difference.record},
                                {"field", difference.field},
                                {"file", difference.inProgram},
                                {"unit", difference.inUnit}});
    report_.insert(key, list);
}

void RunReport::noteConfiguration(const QByteArray& configuration) {
    // The file's bytes are one character each, as the unit's text is.
    report_.insert("configuration", QString::fromLatin1(configuration));
}

QByteArray RunReport::document(ExitCode code) const {
    QJsonObject report = report_;
    report.insert("linesSent", sent_);
    report.insert("unanswered", unanswered_);
    report.insert("exitCode", static_cast<int>(code));
    report.insert("result", resultName(code));
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

} // namespace rtu
