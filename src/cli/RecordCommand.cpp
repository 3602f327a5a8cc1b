#include "cli/RecordCommand.h"

#include "app/WorkRecordFile.h"
#include "app/WorkRecordList.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

#include <algorithm>

namespace rtu {

ExitCode printRecord(const CliOptions& options, const QString& folder, QIODevice& out,
                     QTextStream& err) {
    // The filter gives the newest first; a terminal reads a record from its start.
    QList<QJsonObject> entries =
        filterRecord(WorkRecordFile(folder).readAll(), {options.since, {}, {}});
    std::reverse(entries.begin(), entries.end());
    QByteArray text;
    if (options.json) {
        QJsonArray array;
        for (const QJsonObject& entry : entries)
            array.append(entry);
        text = QJsonDocument(array).toJson(QJsonDocument::Indented);
    } else {
        for (const QJsonObject& entry : entries)
            text += describeEntry(entry).toUtf8() + '\n';
    }
    if (out.write(text) == text.size())
        return ExitCode::Success;
    err << "rtu7350-cli: cannot write to standard output: " << out.errorString() << Qt::endl;
    return ExitCode::Failure;
}

} // namespace rtu
