#pragma once

#include <QString>
#include <QStringList>

namespace rtu {

// The read lines that bring back `records` (readLineOf), once each, in their order.
QStringList readLinesOf(const QStringList& records);

// The records of a configuration file, in its order, that the reads `answered` brought back.
QStringList recordsRead(const QStringList& answered);

// The clock lines: a file names them, but the clock runs on, so they never match a reading.
bool isClockRecord(const QString& record);

} // namespace rtu
