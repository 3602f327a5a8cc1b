#include "app/WorkRecordList.h"

#include "app/FileChooser.h"
#include "config/WholeFile.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>

#include <algorithm>

namespace rtu {

namespace {

QString text(const QJsonObject& entry, const char* key) {
    return entry.value(QLatin1String(key)).toString();
}

QString lineSettings(const QJsonObject& entry) {
    const QJsonObject line = entry.value(QLatin1String("line")).toObject();
    if (line.isEmpty())
        return {};
    return QStringLiteral("%1 %2 %3 %4")
        .arg(line.value(QLatin1String("baud")).toInt())
        .arg(line.value(QLatin1String("parity")).toString())
        .arg(line.value(QLatin1String("dataBits")).toInt())
        .arg(line.value(QLatin1String("stopBits")).toInt());
}

QStringList changes(const QJsonObject& entry) {
    QStringList lines;
    for (const QJsonValue& value : entry.value(QLatin1String("changes")).toArray()) {
        const QJsonObject change = value.toObject();
        lines << QStringLiteral("%1: %2 -> %3")
                     .arg(text(change, "field"), text(change, "before"), text(change, "after"));
    }
    return lines;
}

QStringList unanswered(const QJsonObject& entry) {
    QStringList lines;
    for (const QJsonValue& value : entry.value(QLatin1String("unanswered")).toArray())
        lines << value.toString();
    return lines;
}

QString actionOf(const QJsonObject& entry) {
    const QString modules = text(entry, "modules");
    return modules.isEmpty() ? text(entry, "action") : text(entry, "action") + u' ' + modules;
}

// The day as the computer that wrote the line counted it.
QDate dayOf(const QJsonObject& entry) {
    return QDateTime::fromString(text(entry, "time"), Qt::ISODate).date();
}

QByteArray csvField(const QString& field) {
    QString quoted = field;
    if (field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
        field.contains(u'\r'))
        quoted = u'"' + QString(field).replace(u'"', QStringLiteral("\"\"")) + u'"';
    return quoted.toUtf8();
}

QByteArray csvLine(const QStringList& fields) {
    QList<QByteArray> cells;
    for (const QString& field : fields)
        cells << csvField(field);
    return cells.join(',') + "\r\n";
}

} // namespace

QString unitOf(const QJsonObject& entry) {
    const QJsonObject port = entry.value(QLatin1String("port")).toObject();
    const QString stable = text(port, "stableName");
    return stable.isEmpty() ? text(port, "device") : stable;
}

QStringList unitsOf(const QList<QJsonObject>& entries) {
    QStringList units;
    for (const QJsonObject& entry : entries)
        units << unitOf(entry);
    units.removeAll(QString());
    units.removeDuplicates();
    units.sort();
    return units;
}

QList<QJsonObject> filterRecord(const QList<QJsonObject>& entries, const WorkRecordFilter& filter) {
    QList<QJsonObject> shown;
    for (const QJsonObject& entry : entries) {
        const QDate day = dayOf(entry);
        if ((filter.from.isValid() && day < filter.from) ||
            (filter.to.isValid() && day > filter.to))
            continue;
        if (filter.unit.isEmpty() || unitOf(entry) == filter.unit)
            shown << entry;
    }
    std::reverse(shown.begin(), shown.end());
    return shown;
}

QStringList recordColumns() {
    return {QStringLiteral("Time"),           QStringLiteral("Action"),
            QStringLiteral("Unit"),           QStringLiteral("Port"),
            QStringLiteral("Line"),           QStringLiteral("Unit version"),
            QStringLiteral("Lines sent"),     QStringLiteral("Unanswered"),
            QStringLiteral("Changes"),        QStringLiteral("File"),
            QStringLiteral("Program version")};
}

QStringList recordCells(const QJsonObject& entry) {
    const QJsonObject port = entry.value(QLatin1String("port")).toObject();
    return {text(entry, "time"),
            actionOf(entry),
            unitOf(entry),
            text(port, "name"),
            lineSettings(entry),
            text(entry, "unitVersion"),
            QString::number(entry.value(QLatin1String("linesSent")).toInt()),
            unanswered(entry).join(u' '),
            changes(entry).join(QStringLiteral("; ")),
            text(entry, "file"),
            text(entry, "version")};
}

QByteArray recordCsv(const QList<QJsonObject>& entries) {
    QByteArray csv = csvLine(recordColumns());
    for (const QJsonObject& entry : entries)
        csv += csvLine(recordCells(entry));
    return csv;
}

QString exportRecordCsv(const QList<QJsonObject>& shown, FileChooser& files) {
    const QString pattern = QStringLiteral("*.csv");
    const QString path = files.chooseFile(FileChooser::Purpose::Save, QStringLiteral("Export CSV"),
                                          pattern, QStringLiteral("work-record.csv"));
    if (path.isEmpty())
        return QStringLiteral("Export cancelled");
    if (const QString problem = writeWholeFile(path, recordCsv(shown)); !problem.isEmpty())
        return QStringLiteral("Not exported: ") + problem;
    return QStringLiteral("Exported %1 lines to %2")
        .arg(shown.size())
        .arg(QDir::toNativeSeparators(path));
}

QString describeEntry(const QJsonObject& entry) {
    QString line = QStringLiteral("%1  %2").arg(text(entry, "time"), actionOf(entry));
    if (const QString unit = unitOf(entry); !unit.isEmpty())
        line += QStringLiteral("  %1 (%2)").arg(unit, lineSettings(entry));
    const int sent = entry.value(QLatin1String("linesSent")).toInt();
    if (text(entry, "file").isEmpty()) // a load or save sends nothing
        line += QStringLiteral("  %1 %2 sent").arg(sent).arg(sent == 1 ? "line" : "lines");
    if (const QStringList silent = unanswered(entry); !silent.isEmpty())
        line += QStringLiteral(", unanswered: ") + silent.join(u' ');
    for (const QString& change : changes(entry))
        line += QStringLiteral("\n    ") + change;
    if (const QString file = text(entry, "file"); !file.isEmpty())
        line += QStringLiteral("\n    file ") + file;
    return line;
}

} // namespace rtu
