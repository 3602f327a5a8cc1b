#pragma once

#include <QString>
#include <QStringList>

namespace rtu {

// The read line that brings back a record of a configuration file: "GPP" for "SPP",
// "GU05" for "SU05"; both clock lines come back with "GRTCT".
QString readLineOf(const QString& record);

// The read lines that bring back `records`, once each, in the order of the records.
QStringList readLinesOf(const QStringList& records);

// The records of a configuration file, in its order, that the reads `answered` brought back.
QStringList recordsRead(const QStringList& answered);

// The clock lines: a file names them, but the clock runs on, so they never match a reading.
bool isClockRecord(const QString& record);

} // namespace rtu
