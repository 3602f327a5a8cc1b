#pragma once

#include <QByteArray>
#include <QDate>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace rtu {

class FileChooser;

// Which lines of the work record to show: those of the days from `from` to `to` (either may
// be null: open-ended), as the clock of the computer that wrote them read, and of one unit
// (empty: every unit).
struct WorkRecordFilter {
    QDate from;
    QDate to;
    QString unit;
};

// The unit a line names: the stable name of the adapter it was reached through (the same
// whichever socket it is plugged into), else the device. Empty for a line without a port
// (a save or load with the port closed).
QString unitOf(const QJsonObject& entry);

// The units the lines name, sorted, each once.
QStringList unitsOf(const QList<QJsonObject>& entries);

// The lines `filter` lets through, newest first, from `entries` oldest first.
QList<QJsonObject> filterRecord(const QList<QJsonObject>& entries, const WorkRecordFilter& filter);

// The columns of the window and of a CSV export, and one line's cells under them.
QStringList recordColumns();
QStringList recordCells(const QJsonObject& entry);

// A CSV file of `entries`: a header line, then one line each, CR LF ends, fields quoted as
// needed.
QByteArray recordCsv(const QList<QJsonObject>& entries);

// "Export CSV...": `shown` into the file the operator chooses, written whole or not at all.
// Returns the outcome for the window's status line.
QString exportRecordCsv(const QList<QJsonObject>& shown, FileChooser& files);

// One line for a terminal: time, action, unit and counts, with each change and the file on
// lines of their own below it.
QString describeEntry(const QJsonObject& entry);

} // namespace rtu
