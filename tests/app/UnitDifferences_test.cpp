#include "app/UnitDifferences.h"

#include "support/SessionRig.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// A unit that answers its poll period as the program has it and tank 07 with another label;
// every other read goes unanswered.
struct UnitDifferencesTest : ::testing::Test {
    void SetUp() override {
        rig.openCom1();
        rig.library.answer("GPP", "PP00060\r\n");
        rig.library.answer("GU07", "SU07\"WEST      \"L2CT1C0.5000M\r\n");
        SensorRecord& tank = rig.session.tables.SensorRecords.at(7);
        tank.Label = "EAST";
        tank.Floats = "2";
        tank.LevelUnit = "C";
        tank.TempSensors = "1";
        tank.TempUnit = "C";
        tank.VolumeFactor = "0.5000";
        tank.VolumeUnit = "M";
    }

    QStringList sentSetLines() const {
        QStringList lines = rig.library.sentLines();
        lines.removeIf([](const QString& line) { return !line.startsWith(u'S'); });
        return lines;
    }

    test::SessionRig<> rig;
    UnitDifferences differences{rig.session};
};

TEST_F(UnitDifferencesTest, ComparingReadsTheUnitApartAndNamesTheDifferingRecordOnly) {
    EXPECT_TRUE(differences.compare());
    EXPECT_EQ(rig.session.tables.SensorRecords.at(7).Label.text(), "EAST      ");
    const UnitComparison& comparison = differences.comparison();
    ASSERT_EQ(comparison.differences.size(), 1);
    EXPECT_EQ(comparison.differences[0].record, "SU07");
    EXPECT_EQ(comparison.differences[0].inUnit, "\"WEST\"");
    EXPECT_TRUE(comparison.unanswered.contains("tank 08"));
    EXPECT_EQ(differences.recordsToProgram(), QStringList{"SU07"});
    EXPECT_TRUE(sentSetLines().isEmpty());
}

TEST_F(UnitDifferencesTest, ProgrammingDifferencesSendsTheirLinesAndReadsThemBack) {
    differences.compare();
    rig.library.clearCalls();
    EXPECT_TRUE(differences.programDifferences());
    EXPECT_EQ(sentSetLines(), QStringList{"SU07\"EAST      \"L2CT1C0.5000M"});
    EXPECT_EQ(rig.library.sentLines().last(), "GU07");
    // This unit keeps its label: the read-back still differs, in that record alone.
    ASSERT_EQ(differences.comparison().differences.size(), 1);
    EXPECT_TRUE(differences.comparison().unanswered.isEmpty());
}

TEST_F(UnitDifferencesTest, TakingTheUnitsValuesCopiesOnlyTheChosenRecords) {
    rig.session.settings.setCounter(UnitSettings::Counter::PollMinutes, 5);
    differences.compare();
    differences.takeUnitValues({"SU07"});
    EXPECT_EQ(rig.session.tables.SensorRecords.at(7).Label.text(), "WEST      ");
    EXPECT_EQ(rig.session.settings.values().pollPeriodSeconds(), 300);
    EXPECT_EQ(differences.recordsToProgram(), QStringList{"SPP"});
    differences.takeUnitValues({"SPP"});
    EXPECT_EQ(rig.session.settings.values().pollPeriodSeconds(), 60);
}

} // namespace
} // namespace rtu
