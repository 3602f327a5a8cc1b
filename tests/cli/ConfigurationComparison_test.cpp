#include "cli/ConfigurationComparison.h"

#include "app/UnitSettingsPanel.h"
#include "config/CommaDecimalLocale.h"
#include "support/RecordingNotifier.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

ConfigurationSnapshot defaults() {
    ConfigurationSnapshot snapshot;
    SetAllDefaults(snapshot.tables);
    snapshot.unit = {60, 3, 5, QStringLiteral("Company"), QStringLiteral("Lease Name")};
    return snapshot;
}

TEST(ConfigurationComparison, EqualConfigurationsHaveNoDifferences) {
    EXPECT_TRUE(configurationDifferences(defaults(), defaults()).isEmpty());
}

// A read stores values in the unit's forms, a file load in the shortest forms; padded
// LCD lines and fixed-width labels carry trailing spaces.
TEST(ConfigurationComparison, NumbersCompareByValueAndTextsIgnoreTrailingSpaces) {
    ConfigurationSnapshot file = defaults();
    ConfigurationSnapshot unit = defaults();
    file.tables.G4Records.at(3).OnValue = "150";
    unit.tables.G4Records.at(3).OnValue = "0150.000";
    file.tables.G4Records.at(4).Unit = "5";
    unit.tables.G4Records.at(4).Unit = "05";
    file.tables.Loop420Records[2].Value4mA = "-5";
    unit.tables.Loop420Records[2].Value4mA = "-005.000";
    file.tables.SensorRecords.at(1).VolumeFactor = "0.1";
    unit.tables.SensorRecords.at(1).VolumeFactor = "0.1000";
    unit.unit.lcdLine1 = QStringLiteral("Company             ");
    EXPECT_TRUE(configurationDifferences(file, unit).isEmpty());
}

TEST(ConfigurationComparison, EachDifferenceNamesRecordFieldAndBothValuesInFileOrder) {
    ConfigurationSnapshot file = defaults();
    ConfigurationSnapshot unit = defaults();
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

    const QStringList expected{
        "unit PollPeriod: file 900, unit 60",
        "unit LcdRepeats: file 5, unit 7",
        "unit LcdLine2: file \"Lease Name\", unit \" Lease Name\"",
        "tank 05 LevelUnit: file \"I\", unit \"C\"",
        "tank 05 VolumeFactor: file 1.67, unit 2.5",
        "tank 12 Label: file \"TANK 13\", unit \"CRUDE 1\"",
        "g4 3 OnValue: file 0, unit 12.5",
        "g4 9 OffTest: file \"LT\", unit \"GT\"",
        "4-20mA 2 Value20mA: file 239.5, unit 240",
        "4-20mA 8 Source: file \"L\", unit \"T\"",
    };
    EXPECT_EQ(configurationDifferences(file, unit), expected);
}

TEST(ConfigurationComparison, SettingsWithoutAReadingAreLeftOut) {
    ConfigurationSnapshot file = defaults();
    ConfigurationSnapshot unit = defaults();
    unit.unit.pollPeriodSeconds = 1;
    unit.unit.lcdSeconds = 1;
    unit.unit.lcdLine1 = QStringLiteral("????????????????????");
    unit.tables.SensorRecords.at(5).Floats = "3";
    unit.tables.G4Records.at(0).Channel = "2";
    unit.tables.Loop420Records[8].Unit = "7";
    unit.tables.Loop420Records[7].Unit = "7";

    EXPECT_EQ(configurationDifferences(file, unit, {"GPP", "GLCDT", "GU05", "GG40", "G420C8"}),
              QStringList({"unit LcdSeconds: file 3, unit 1", "4-20mA 7 Unit: file 99, unit 7"}));
}

TEST(ConfigurationComparison, ValuesPrintWithAPointWhateverTheLocale) {
    const CommaDecimalLocale german;
    ConfigurationSnapshot file = defaults();
    ConfigurationSnapshot unit = defaults();
    unit.tables.SensorRecords.at(0).VolumeFactor = "2.5";
    EXPECT_EQ(configurationDifferences(file, unit),
              QStringList{"tank 00 VolumeFactor: file 1.67, unit 2.5"});
}

TEST(ConfigurationComparison, UnitWideValuesComeFromThePanel) {
    RecordingNotifier notifier;
    UnitSettingsPanel panel(notifier);
    panel.setVScroll(2, 2);
    panel.setVScroll(3, 5);
    panel.setVScroll(4, 7);
    panel.setVScroll(5, 9);
    panel.setVScroll(6, 42);
    panel.setText1(0, QStringLiteral("NORTHFIELD"));
    panel.setText1(1, QStringLiteral("LEASE 14"));
    const UnitWideValues values = unitWideValues(panel);
    EXPECT_EQ(values.pollPeriodSeconds, 7507);
    EXPECT_EQ(values.lcdSeconds, 9);
    EXPECT_EQ(values.lcdRepeats, 42);
    EXPECT_EQ(values.lcdLine1, "NORTHFIELD");
    EXPECT_EQ(values.lcdLine2, "LEASE 14");
}

} // namespace
} // namespace rtu
