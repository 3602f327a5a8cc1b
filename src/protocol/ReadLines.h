#pragma once

#include "config/Records.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace rtu {

// One read line of the unit: the "G" line as sent, without its CR LF; what it reads, as the
// operator knows it; and the records of a configuration file that its reply fills.
struct ReadLine {
    QString name;        // "GPP", "GU05", "G420C3"
    QString description; // "poll period", "tank 05", "4-20mA module 3"
    QStringList records; // "SPP"; "SRTCT" and "SRTCD" for the clock; none for the version
};

// The unit-settings groups, in the order they are read.
enum class UnitGroup { Clock, PollPeriod, LcdTiming, LcdText, Version };

// Every read line in "Read All" order: the unit-settings groups, then every tank, G4 module
// and 4-20mA module.
const QList<ReadLine>& allReadLines();
const ReadLine& unitReadLine(UnitGroup group);
const ReadLine& moduleReadLine(ModuleKind kind, int number);

// The name of the read line that fills `record` ("GPP" for "SPP", "GRTCT" for either clock
// record), or empty when no read line fills it.
QString readLineOf(const QString& record);
// What the read line named `name` reads; the name itself for a line the unit has not.
QString describeReadLine(const QString& name);

} // namespace rtu
