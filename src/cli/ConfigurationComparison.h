#pragma once

#include "config/Records.h"

#include <QString>
#include <QStringList>

namespace rtu {

struct UnitSettings;

// The unit-wide settings that a configuration file carries and a read brings back (the
// clock is left out: it runs on, so it never matches a file).
struct UnitWideValues {
    int pollPeriodSeconds = 0;
    int lcdSeconds = 0;
    int lcdRepeats = 0;
    QString lcdLine1;
    QString lcdLine2;
};

UnitWideValues unitWideValues(const UnitSettings& settings);

// One side of a comparison: the unit-wide values and the three record tables.
struct ConfigurationSnapshot {
    UnitWideValues unit;
    RecordTables tables;
};

// The differences between a file's configuration and the unit's in the records `compared`
// names ("SPP", "SLCDT1", "SU05", as a configuration file names them), one line each, in the
// order of the file: "unit PollPeriod: file 900, unit 60", "tank 05 VolumeFactor: file 1.67,
// unit 2.5", "G4 module 3 OnValue: ...", "4-20mA module 2 Value20mA: ...". Numbers compare
// by numeric value, texts as texts with trailing spaces ignored.
QStringList configurationDifferences(const ConfigurationSnapshot& file,
                                     const ConfigurationSnapshot& unit,
                                     const QStringList& compared);

} // namespace rtu
