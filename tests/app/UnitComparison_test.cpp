#include "app/UnitComparison.h"

#include "protocol/ReadLines.h"
#include "protocol/UnitCommands.h"
#include "support/Configurations.h"

#include <gtest/gtest.h>

namespace rtu {

namespace {

// "SU03 tank 03 (TANK 04) factor: 1.67 2.5": record, field, in the program, in the unit.
QString described(const QList<FieldDifference>& differences) {
    QStringList lines;
    for (const FieldDifference& d : differences)
        lines << QStringLiteral("%1 %2: %3 %4\n").arg(d.record, d.field, d.inProgram, d.inUnit);
    return lines.join(QString());
}

// Every read of "Read All" answered, but the lines named.
ReadReport answeredBut(const QStringList& unanswered, const QStringList& partly = {}) {
    ReadReport report{{}, unanswered, partly};
    for (const ReadLine& line : allReadLines())
        if (!unanswered.contains(line.name) && !partly.contains(line.name))
            report.answered << line.name;
    return report;
}

TEST(UnitComparison, NamesEveryFieldOfEveryRecordKindAsTheWindowsDo) {
    UnitConfiguration program{{}, test::defaultTables()}, unit = program;
    ASSERT_TRUE(LoadConfiguration("SPP900\r\nSLCD04R06\r\nSLCDT1\"Acme\"T2\"North Lease\"\r\n"
                                  "SU03\"NORTH\"L2CT3C2.5M\r\nSG43U05T2ONEQ0012.500OFFGT-3\r\n"
                                  "S420C2U07T3V4M1V20M240\r\n",
                                  unit.settings, unit.tables)
                    .ok);

    const QString expected =
        "SPP time between polls in seconds: 60 900\nSLCD seconds to display each channel: 3 4\n"
        "SLCD times to repeat display: 5 6\nSLCDT1 LCD line 1: \"Company\" \"Acme\"\n"
        "SLCDT1 LCD line 2: \"Lease Name\" \"North Lease\"\n"
        "SU03 tank 03 (TANK 04) label: \"TANK 04\" \"NORTH\"\n"
        "SU03 tank 03 (TANK 04) floats: 0 2\nSU03 tank 03 (TANK 04) level unit: \"I\" \"C\"\n"
        "SU03 tank 03 (TANK 04) temperature sensors: 0 3\n"
        "SU03 tank 03 (TANK 04) temperature unit: \"F\" \"C\"\n"
        "SU03 tank 03 (TANK 04) factor: 1.67 2.5\n"
        "SU03 tank 03 (TANK 04) volume unit: \"E\" \"M\"\nSG43 G4 module 3 monitor unit: 99 5\n"
        "SG43 G4 module 3 monitor: \"L\" \"T\"\nSG43 G4 module 3 float or sensor number: 1 2\n"
        "SG43 G4 module 3 ON test: \"GT\" \"EQ\"\nSG43 G4 module 3 ON value: 0 12.5\n"
        "SG43 G4 module 3 OFF test: \"LT\" \"GT\"\nSG43 G4 module 3 OFF value: 0 -3\n"
        "S420C2 4-20mA module 2 monitor unit: 99 7\n"
        "S420C2 4-20mA module 2 monitor: \"L\" \"T\"\n"
        "S420C2 4-20mA module 2 float or sensor number: 1 3\n"
        "S420C2 4-20mA module 2 4 mA value: 0 1\n"
        "S420C2 4-20mA module 2 20 mA value: 239.5 240\n";
    EXPECT_EQ(described(compareWithUnit(program, unit, answeredBut({})).differences), expected);
}

// A read stores values in the unit's forms, a file load in the shortest forms; padded LCD
// lines and fixed-width labels carry trailing spaces. What a read without a whole reply left
// is no value of the unit, a record not asked for is not compared, nor is the clock.
TEST(UnitComparison, ComparesNumbersByValueTextsWithoutTrailingSpacesAndListsUnreadLinesApart) {
    UnitConfiguration program{{}, test::defaultTables()}, unit = program;
    program.tables.G4Records.at(4).Unit = "5";
    unit.tables.G4Records.at(4).Unit = "05";
    program.tables.Loop420Records[2].Value4mA = "-5";
    unit.tables.Loop420Records[2].Value4mA = "-005.000";
    unit.tables.SensorRecords.at(1).VolumeFactor = "1.6700";
    unit.settings.lcdLines[0] = QStringLiteral("Company             ");
    unit.settings.time = QStringLiteral("08:15:30");
    EXPECT_TRUE(compareWithUnit(program, unit, answeredBut({})).matches());

    unit.tables.SensorRecords.at(5).VolumeFactor = "2.5";
    unit.settings.lcdLines[1] = QStringLiteral("??");
    unit.tables.G4Records.at(6).OnTest = "EQ";
    unit.tables.SensorRecords.at(9).Floats = "4";
    program.tables.SensorRecords.at(7).Label = unit.tables.SensorRecords.at(7).Label = "";
    unit.tables.SensorRecords.at(7).TempUnit = "C";
    const UnitComparison comparison =
        compareWithUnit(program, unit, answeredBut({"GU05", "GLCDT"}, {"GG46"}),
                        {"SU05", "SU07", "SLCDT1", "SG46"});
    EXPECT_EQ(described(comparison.differences), "SU07 tank 07 temperature unit: \"F\" \"C\"\n");
    EXPECT_EQ(comparison.unanswered, QStringList({"tank 05", "LCD text"}));
    EXPECT_EQ(comparison.partlyAnswered, QStringList({"G4 module 6"}));
    EXPECT_FALSE(comparison.matches());
}

} // namespace
} // namespace rtu
