#pragma once

#include "config/ConfigurationFile.h"
#include "config/UnitSettings.h"

namespace rtu::test {

// A record's fields, in the order its command line holds them.
inline QStringList fieldsOf(const SensorRecord& r) {
    return {r.Label,    r.Floats,       r.LevelUnit, r.TempSensors,
            r.TempUnit, r.VolumeFactor, r.VolumeUnit};
}
inline QStringList fieldsOf(const G4Record& r) {
    return {r.Unit, r.Source, r.Channel, r.OnTest, r.OnValue, r.OffTest, r.OffValue};
}
inline QStringList fieldsOf(const Loop420Record& r) {
    return {r.Unit, r.Source, r.Channel, r.Value4mA, r.Value20mA};
}

inline RecordTables defaultTables() {
    RecordTables tables;
    SetAllDefaults(tables);
    return tables;
}

// A configuration file loaded into blank records and saved again, the clock boxes set as
// `clock` holds them (a file does not restore the clock). Empty when the file does not load,
// or loads with a problem: every file the program writes must come back byte for byte.
inline QByteArray savedAgain(const QByteArray& saved, const UnitSettings& clock) {
    UnitSettings reloadedSettings;
    RecordTables reloaded; // blank: every field must come from the file
    const LoadResult result = LoadConfiguration(saved, reloadedSettings, reloaded);
    if (!result.ok || !result.problems.isEmpty())
        return {};
    reloadedSettings.time = clock.time;
    reloadedSettings.date = clock.date;
    return WriteConfiguration(reloadedSettings, reloaded);
}

// The configuration file that `settings` and `tables` save, loaded and saved again.
inline QByteArray savedAgain(const UnitSettings& settings, const RecordTables& tables) {
    return savedAgain(WriteConfiguration(settings, tables), settings);
}

} // namespace rtu::test
