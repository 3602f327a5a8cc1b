#include "protocol/CommandLines.h"

#include "config/CommaDecimalLocale.h"

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

RecordTables defaultTables() {
    RecordTables tables;
    SetAllDefaults(tables);
    return tables;
}

TEST(CommandLines, ProgramLinesPadAndFormatTheirFields) {
    inBothLocales([] {
        RecordTables tables = defaultTables();
        G4Record& g4 = tables.G4Records[9];
        g4.Unit = "7";
        g4.Source = "T";
        g4.Channel = "3";
        g4.OnValue = "150";
        g4.OffValue = "140.25";
        EXPECT_EQ(g4ProgramLine(9, g4), u"SG49U07T3ONGT0150.000OFFLT0140.250\r\n");
        g4.OnValue = "-2.5";
        g4.OffValue = "";
        EXPECT_EQ(g4ProgramLine(9, g4), u"SG49U07T3ONGT-0002.500OFFLT0000.000\r\n");

        Loop420Record& loop = tables.Loop420Records[2];
        loop.Unit = "5";
        loop.Value4mA = "4.25";
        loop.Value20mA = "1234.5";
        EXPECT_EQ(loop420ProgramLine(2, loop), u"S420C2U05L1V4M004.250V20M1234.500\r\n");

        SensorRecord& tank = tables.SensorRecords[3];
        tank.Label = "AB";
        tank.VolumeFactor = "0.5";
        EXPECT_EQ(sensorProgramLine(3, tank), u"SU03\"AB        \"L0IT0F0.5000E\r\n");
    });
}

// Each reply, read for record `number`, is applied to the default records. `line` is that
// record afterwards as a program line; null when no record may change at all.
TEST(CommandLines, RepliesFillTheRecordTheyNameUpToWhereTheyStop) {
    using enum ReplyOutcome;
    using enum ModuleKind;
    const struct {
        ModuleKind kind;
        const char* reply;
        int number;
        ReplyOutcome outcome;
        const char16_t* line;
    } cases[] = {
        {Tank, "SU09\"NEW LABEL \"L3CT2C2.0000M\r\n", 9, Applied,
         u"SU09\"NEW LABEL \"L3CT2C2.0000M\r\n"},
        {Tank, "SU9 \"NEW LABEL \"L3CT2C2.0000M\r\n", 9, Applied,
         u"SU09\"NEW LABEL \"L3CT2C2.0000M\r\n"},
        {Tank, "SU03\"NEW LABEL \"L3CT2C2.0000M\r\n", 9, NoReply, nullptr},
        {Tank, "GU09\"NEW LABEL \"L3CT2C2.0000M\r\n", 9, NoReply, nullptr},
        {Tank, "", 4, NoReply, nullptr},
        {Tank, "SU02\"TWELVE CHARS\"L1IT1F12.3457%\r\n", 2, Applied,
         u"SU02\"TWELVE CHA\"L1IT1F12.3450%\r\n"},
        // No "T" after the closing quote (the label's T does not count).
        {Tank, "SU01\"TOP TANK  \"L4C\r\n", 1, Partial, u"SU01\"TOP TANK  \"L4CT0F1.6700E\r\n"},
        {Tank, "SU01\"NO CLOSING QUOTE", 1, Partial, nullptr},
        // No point after the factor: the volume unit stays.
        {Tank, "SU01\"X\"LxIT9F7M", 1, Partial, u"SU01\"X         \"L0IT9F7.0000E\r\n"},

        {G4, "G41U05L2ONEQ0010.000OFFGT0020.000\r\n", 1, Applied,
         u"SG41U05L2ONEQ0010.000OFFGT0020.000\r\n"},
        {G4, "G4xU05L2ON", 0, NoReply, nullptr},
        {G4, "GG40U05", 0, NoReply, nullptr},
        {G4, "G40", 0, Partial, nullptr},
        {G4, "G44U12T3\r\n", 4, Partial, u"SG44U12T3ONGT0000.000OFFLT0000.000\r\n"},
        // Nothing after ON is stored without OFF.
        {G4, "G44U12T3ONEQ0005.000\r\n", 4, Partial, u"SG44U12T3ONGT0000.000OFFLT0000.000\r\n"},

        {Loop420, "420C2U05T2V4M010.000V20M1234.56789\r\n", 2, Applied,
         u"S420C2U05T2V4M010.000V20M1234.567\r\n"},
        {Loop420, "420C4U07T3V4M012.500\r\n", 4, Partial, u"S420C4U07T3V4M012.500V20M239.500\r\n"},
        {Loop420, "420C9U05T2V4M010.000", 1, NoReply, nullptr},
        {Loop420, "420C0U05T2V4M010.000", 1, NoReply, nullptr},
        {Loop420, "G420C1U05", 1, NoReply, nullptr},
    };
    // By kind, the earliest piece that a complete reply needs.
    const char* const completeFrom[] = {".", "OFF", "V20M"};
    inBothLocales([&] {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.reply);
            const ModuleCommands& commands = moduleCommands(c.kind);
            const QString reply = QString::fromLatin1(c.reply);
            RecordTables tables = defaultTables();
            EXPECT_EQ(commands.applyReply(reply, c.number, tables), c.outcome);
            if (c.line) {
                EXPECT_EQ(commands.programLine(c.number, tables), c.line);
            } else {
                EXPECT_EQ(tables, defaultTables());
            }
            // A complete reply cut before its last part is never taken as complete.
            for (qsizetype n = 0; c.outcome == Applied && n < reply.size(); ++n) {
                if (!reply.left(n).contains(QLatin1String(completeFrom[int(c.kind)]))) {
                    EXPECT_NE(commands.applyReply(reply.left(n), c.number, tables), Applied) << n;
                }
            }
        }
    });
}

TEST(CommandLines, RepliesKeepTheUnitsTextCutToTheFieldWidths) {
    inBothLocales([] {
        const RecordTables defaults = defaultTables();
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
        EXPECT_EQ(loop.Value4mA.text(), u"1.25    ");
        EXPECT_EQ(loop.Value20mA.text(), u"239.5   ");

        RecordTables expected = defaults;
        expected.G4Records[2] = g4;
        expected.Loop420Records[1] = loop;
        EXPECT_EQ(tables, expected) << "only the named records change";
    });
}

} // namespace
} // namespace rtu
