#include "protocol/CommandLines.h"

#include "config/CommaDecimalLocale.h"
#include "support/Configurations.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// Runs `check` under the C locale and again under a comma-decimal one.
template <typename Check> void inBothLocales(const Check& check) {
    check();
    const CommaDecimalLocale german;
    SCOPED_TRACE("comma-decimal locale");
    check();
}

TEST(CommandLines, ProgramLinesPadAndFormatTheFieldsRepliesFillTheRecordTheyNameCutToTheWidths) {
    inBothLocales([] {
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
    });

    // Each reply, read for record `number`, is applied to the default records: the outcome, then
    // that record afterwards as a program line ("unchanged" when no record changed at all). A
    // complete reply cut before its last part is never taken as complete.
    inBothLocales([] {
        const auto apply = [](ModuleKind kind, const char* text, int number) {
            const ModuleCommands& commands = moduleCommands(kind);
            const QString reply = QString::fromLatin1(text);
            RecordTables tables = test::defaultTables();
            const ReplyOutcome outcome = commands.applyReply(reply, number, tables);
            const char* const outcomes[] = {"no reply ", "partial ", "applied "};
            const QString result =
                outcomes[int(outcome)] + (tables == test::defaultTables()
                                              ? QStringLiteral("unchanged")
                                              : commands.programLine(number, tables));
            const char* const completeFrom[] = {".", "OFF", "V20M"}; // by kind
            for (qsizetype n = 0; outcome == ReplyOutcome::Applied && n < reply.size(); ++n) {
                if (!reply.left(n).contains(QLatin1String(completeFrom[int(kind)]))) {
                    EXPECT_NE(commands.applyReply(reply.left(n), number, tables),
                              ReplyOutcome::Applied)
                        << text << " cut at " << n;
                }
            }
            return result;
        };
        using enum ModuleKind;
        EXPECT_EQ(apply(Tank, "SU09\"NEW LABEL \"L3CT2C2.0000M\r\n", 9),
                  "applied SU09\"NEW LABEL \"L3CT2C2.0000M\r\n");
        EXPECT_EQ(apply(Tank, "SU9 \"NEW LABEL \"L3CT2C2.0000M\r\n", 9),
                  "applied SU09\"NEW LABEL \"L3CT2C2.0000M\r\n");
        EXPECT_EQ(apply(Tank, "SU03\"NEW LABEL \"L3CT2C2.0000M\r\n", 9), "no reply unchanged");
        EXPECT_EQ(apply(Tank, "GU09\"NEW LABEL \"L3CT2C2.0000M\r\n", 9), "no reply unchanged");
        EXPECT_EQ(apply(Tank, "", 4), "no reply unchanged");
        EXPECT_EQ(apply(Tank, "SU02\"TWELVE CHARS\"L1IT1F12.3457%\r\n", 2),
                  "applied SU02\"TWELVE CHA\"L1IT1F12.3450%\r\n");
        // No "T" after the closing quote (the label's T does not count).
        EXPECT_EQ(apply(Tank, "SU01\"TOP TANK  \"L4C\r\n", 1),
                  "partial SU01\"TOP TANK  \"L4CT0F1.6700E\r\n");
        EXPECT_EQ(apply(Tank, "SU01\"NO CLOSING QUOTE", 1), "partial unchanged");
        // No point after the factor: the volume unit stays.
        EXPECT_EQ(apply(Tank, "SU01\"X\"LxIT9F7M", 1),
                  "partial SU01\"X         \"L0IT9F7.0000E\r\n");

        EXPECT_EQ(apply(G4, "G41U05L2ONEQ0010.000OFFGT0020.000\r\n", 1),
                  "applied SG41U05L2ONEQ0010.000OFFGT0020.000\r\n");
        EXPECT_EQ(apply(G4, "G4xU05L2ON", 0), "no reply unchanged");
        EXPECT_EQ(apply(G4, "GG40U05", 0), "no reply unchanged");
        EXPECT_EQ(apply(G4, "G40", 0), "partial unchanged");
        EXPECT_EQ(apply(G4, "G44U12T3\r\n", 4), "partial SG44U12T3ONGT0000.000OFFLT0000.000\r\n");
        // Nothing after ON is stored without OFF.
        EXPECT_EQ(apply(G4, "G44U12T3ONEQ0005.000\r\n", 4),
                  "partial SG44U12T3ONGT0000.000OFFLT0000.000\r\n");

        EXPECT_EQ(apply(Loop420, "420C2U05T2V4M010.000V20M1234.56789\r\n", 2),
                  "applied S420C2U05T2V4M010.000V20M1234.567\r\n");
        EXPECT_EQ(apply(Loop420, "420C4U07T3V4M012.500\r\n", 4),
                  "partial S420C4U07T3V4M012.500V20M239.500\r\n");
        for (const char* other : {"420C9U05T2V4M010.000", "420C0U05T2V4M010.000", "G420C1U05"})
            EXPECT_EQ(apply(Loop420, other, 1), "no reply unchanged") << other;
    });

    inBothLocales([] {
        const RecordTables defaults = test::defaultTables();
        SensorRecord tank; // blank
        EXPECT_EQ(applySensorReply(sensorProgramLine(0, defaults.SensorRecords[0]), 0, tank),
                  ReplyOutcome::Applied);
        EXPECT_EQ(tank, defaults.SensorRecords[0]);
        EXPECT_EQ(tank.VolumeFactor.text(), u"1.67  ");

        RecordTables tables = defaults;
        applyG4Reply(QStringLiteral("G42U01T1ONLT12.5OFFGT7\r\n"), tables);
        const G4Record& g4 = tables.G4Records[2];
        EXPECT_EQ(g4.Unit.text(), u"1 ");
        EXPECT_EQ(g4.OnValue.text(), u"12.5OFFG") << "short values carry what follows";
        EXPECT_EQ(g4.OffValue.text(), u"7       ") << "a field ends at the line end";

        applyLoop420Reply(QStringLiteral("420C1U99L1V4M001.250V20M239.500\r\n"), tables);
        const Loop420Record& loop = tables.Loop420Records[1];
        EXPECT_EQ(loop.Value4mA.text() + u'|' + loop.Value20mA.text(), u"1.25    |239.5   ");

        RecordTables expected = defaults;
        expected.G4Records[2] = g4;
        expected.Loop420Records[1] = loop;
        EXPECT_EQ(tables, expected) << "only the named records change";
    });
}

} // namespace
} // namespace rtu
