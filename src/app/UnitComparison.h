#pragma once

#include "config/ConfigurationFile.h"
#include "config/Records.h"
#include "config/UnitSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace rtu {

struct ReadReport;

// What a configuration holds: the unit-wide settings and the three record tables. The
// program has one on its screen; a read of the unit fills another.
struct UnitConfiguration {
    UnitSettings settings;
    RecordTables tables;
};

// One setting that differs. The record is named as a configuration file names it ("SU05"),
// the field as the windows name it, a tank with its label beside its number ("tank 05 (NORTH
// TANK) factor", "G4 module 3 ON value", "4-20mA module 2 20 mA value", "LCD line 1");
// numbers in their shortest form with a point ("1.67"), texts in quotes without their
// trailing spaces.
struct FieldDifference {
    QString record;
    QString field;
    QString inProgram;
    QString inUnit;
    friend bool operator==(const FieldDifference&, const FieldDifference&) = default;
};

// How the unit differs from the program, in "Read All" order. The reads that got no whole
// reply are listed apart, as the operator knows them ("tank 05", "LCD text"): what they
// left in the unit's copy is no value of the unit.
struct UnitComparison {
    QList<FieldDifference> differences;
    QStringList unanswered;
    QStringList partlyAnswered;
    bool matches() const {
        return differences.isEmpty() && unanswered.isEmpty() && partlyAnswered.isEmpty();
    }
};

// Compares the records `records` names whose read `read` shows wholly answered. Numbers
// compare by value ("5" and "05", "-5" and "-005.000" are the same setting), texts as texts
// with trailing spaces ignored. The clock is never compared: it runs on.
UnitComparison compareWithUnit(const UnitConfiguration& program, const UnitConfiguration& unit,
                               const ReadReport& read,
                               const QStringList& records = configurationRecords());

} // namespace rtu
