#include "cli/ConfigurationComparison.h"

#include "config/CommaDecimalLocale.h"
#include "config/ConfigurationFile.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

ConfigurationSnapshot defaults() {
    ConfigurationSnapshot snapshot;
    SetAllDefaults(snapshot.tables);
    snapshot.unit = {60, 3, 5, QStringLiteral("Company"), QStringLiteral("Lease Name")};
    return snapshot;
}

// A read stores values in the unit's forms, a file load in the shortest forms; padded
// LCD lines and fixed-width labels carry trailing spaces.
TEST(ConfigurationComparison, NumbersCompareByValueTextsIgnoreTrailingSpacesAndDifferencesNameAll) {
    ConfigurationSnapshot file = defaults();
    ConfigurationSnapshot unit = defaults();
    // Equal: the file's forms and the unit's.
    file.tables.G4Records.at(4).Unit = "5";
    unit.tables.G4Records.at(4).Unit = "05";
    file.tables.Loop420Records[2].Value4mA = "-5";
    unit.tables.Loop420Records[2].Value4mA = "-005.000";
    file.tables.SensorRecords.at(1).VolumeFactor = "0.1";
    unit.tables.SensorRecords.at(1).VolumeFactor = "0.1000";
    unit.unit.lcdLine1 = QStringLiteral("Company             ");

    // Different, printed with a point whatever the locale.
    const CommaDecimalLocale german;
    file.unit.pollPeriodSeconds = 900;
    unit.unit.lcdRepeats = 7;
    unit.unit.lcdLine2 = QStringLiteral(" Lease Name");
    file.tables.SensorRecords.at(5).VolumeFactor = "1.67";
    unit.tables.SensorRecords.at(5).VolumeFactor = "2.5";
    unit.tables.SensorRecords.at(5).LevelUnit = "C";
    unit.tables.SensorRecords.at(12).Label = "CRUDE 1";
    unit.tables.G4Records.at(3).OnValue = "0012.500";
    unit.tables.G4Records.at(9).OffTest = "GT";
    unit.tables.Loop420Records[2].Value20mA = "240";
    unit.tables.Loop420Records[8].Source = "T";

    EXPECT_EQ(configurationDifferences(file, unit, configurationRecords()),
              QStringList({
                  "unit PollPeriod: file 900, unit 60",
                  "unit LcdRepeats: file 5, unit 7",
                  "unit LcdLine2: file \"Lease Name\", unit \" Lease Name\"",
                  "tank 05 LevelUnit: file \"I\", unit \"C\"",
                  "tank 05 VolumeFactor: file 1.67, unit 2.5",
                  "tank 12 Label: file \"TANK 13\", unit \"CRUDE 1\"",
                  "G4 module 3 OnValue: file 0, unit 12.5",
                  "G4 module 9 OffTest: file \"LT\", unit \"GT\"",
                  "4-20mA module 2 Value20mA: file 239.5, unit 240",
                  "4-20mA module 8 Source: file \"L\", unit \"T\"",
              }));
}

} // namespace
} // namespace rtu
