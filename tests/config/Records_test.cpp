#include "config/Records.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace rtu {
namespace {

TEST(RecordTables, StartWithEveryFieldBlank) {
    const RecordTables tables;
    EXPECT_EQ(tables.SensorRecords[0].Label.text(), QString(10, u' '));
    EXPECT_EQ(tables.G4Records[9].OnValue.text(), QString(8, u' '));
    EXPECT_EQ(tables.Loop420Records[8].Unit.text(), u"  ");
}

TEST(RecordDefaults, FillEveryTankWithItsNumberedLabel) {
    RecordTables tables;
    SetSensorDefaults(tables);
    EXPECT_EQ(tables.SensorRecords[0].Label.text(), u"TANK 01   ");
    EXPECT_EQ(tables.SensorRecords[9].Label.text(), u"TANK 10   ");
    EXPECT_EQ(tables.SensorRecords[15].Label.text(), u"TANK 16   ");
    for (const SensorRecord& r : tables.SensorRecords) {
        EXPECT_EQ(r.Floats.text(), u"0");
        EXPECT_EQ(r.LevelUnit.text(), u"I");
        EXPECT_EQ(r.TempSensors.text(), u"0");
        EXPECT_EQ(r.TempUnit.text(), u"F");
        EXPECT_EQ(r.VolumeFactor.text(), u"1.67  ");
        EXPECT_EQ(r.VolumeUnit.text(), u"E");
    }
    EXPECT_EQ(tables.G4Records, RecordTables().G4Records) << "sensor defaults touch G4 records";
}

TEST(RecordDefaults, DisableEveryG4And420Module) {
    RecordTables tables;
    SetAllDefaults(tables);
    for (const G4Record& r : tables.G4Records) {
        EXPECT_EQ(r.Unit.text(), u"99");
        EXPECT_EQ(r.Source.text(), u"L");
        EXPECT_EQ(r.Channel.text(), u"1");
        EXPECT_EQ(r.OnTest.text(), u"GT");
        EXPECT_EQ(r.OnValue.text(), u"0.0     ");
        EXPECT_EQ(r.OffTest.text(), u"LT");
        EXPECT_EQ(r.OffValue.text(), u"0.0     ");
    }
    for (int module = Loop420First; module <= Loop420Last; ++module) {
        const Loop420Record& r = tables.Loop420Records[module];
        EXPECT_EQ(r.Unit.text(), u"99");
        EXPECT_EQ(r.Source.text(), u"L");
        EXPECT_EQ(r.Channel.text(), u"1");
        EXPECT_EQ(r.Value4mA.text(), u"0.0     ");
        EXPECT_EQ(r.Value20mA.text(), u"239.5   ");
    }
}

TEST(RecordFields, CutLongTextsAndPadShortOnes) {
    SensorRecord sensor;
    sensor.Label = "ABCDEFGHIJKL";
    EXPECT_EQ(sensor.Label.text(), u"ABCDEFGHIJ");
    G4Record g4;
    g4.Unit = "7";
    EXPECT_EQ(g4.Unit.text(), u"7 ");
}

TEST(Loop420Table, IsNumberedOneToEight) {
    RecordTables tables;
    SetLoop420Defaults(tables);
    tables.Loop420Records[1].Unit = "01";
    tables.Loop420Records[8].Unit = "08";
    EXPECT_EQ(tables.Loop420Records[1].Unit.text(), u"01");
    EXPECT_EQ(tables.Loop420Records[8].Unit.text(), u"08");
    EXPECT_EQ(tables.Loop420Records[2].Unit.text(), u"99");
    EXPECT_THROW((void)tables.Loop420Records[0], std::out_of_range);
    EXPECT_THROW((void)tables.Loop420Records[9], std::out_of_range);
    const Loop420Table& constTable = tables.Loop420Records;
    EXPECT_THROW((void)constTable[-1], std::out_of_range);
    EXPECT_FALSE(Loop420Table::contains(0));
    EXPECT_TRUE(Loop420Table::contains(8));
}

} // namespace
} // namespace rtu
