#include "protocol/CommandLines.h"

#include "config/CommaDecimalLocale.h"
#include "support/Configurations.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// Under the C locale and again under a comma-decimal one.
TEST(CommandLines, ProgramLinesPadAndFormatTheFields) {
    const auto check = [] {
        RecordTables tables = test::defaultTables();
        G4Record& g4 = tables.G4Records[9];
        std::tie(g4.Unit, g4.Source, g4.Channel, g4.OnValue, g4.OffValue) =
            std::tuple("7", "T", "3", "150", "140.25");
        EXPECT_EQ(g4ProgramLine(9, g4), u"SG49U07T3ONGT0150.000OFFLT0140.250\r\n");
        std::tie(g4.OnValue, g4.OffValue) = std::tuple("-2.5", "");
        EXPECT_EQ(g4ProgramLine(9, g4), u"SG49U07T3ONGT-0002.500OFFLT0000.000\r\n");

        Loop420Record& loop = tables.Loop420Records[2];
        std::tie(loop.Unit, loop.Value4mA, loop.Value20mA) = std::tuple("5", "4.25", "1234.5");
        EXPECT_EQ(loop420ProgramLine(2, loop), u"S420C2U05L1V4M004.250V20M1234.500\r\n");

        SensorRecord& tank = tables.SensorRecords[3];
        std::tie(tank.Label, tank.VolumeFactor) = std::tuple("AB", "0.5");
        EXPECT_EQ(sensorProgramLine(3, tank), u"SU03\"AB        \"L0IT0F0.5000E\r\n");
    };
    check();
    const CommaDecimalLocale german;
    check();
}

} // namespace
} // namespace rtu
