#include "protocol/CommandLines.h"

#include "config/CommaDecimalLocale.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

class CommandLinesTest : public ::testing::Test {
protected:
    CommandLinesTest() { SetAllDefaults(tables); }
    RecordTables tables;
};

// --- "S" and "G" lines ---------------------------------------------------------------------

TEST_F(CommandLinesTest, DefaultRecordsGiveTheUnitsProgramLines) {
    EXPECT_EQ(sensorProgramLine(0, tables.SensorRecords[0]),
              u"SU00\"TANK 01   \"L0IT0F1.6700E\r\n");
    EXPECT_EQ(sensorProgramLine(15, tables.SensorRecords[15]),
              u"SU15\"TANK 16   \"L0IT0F1.6700E\r\n");
    EXPECT_EQ(g4ProgramLine(0, tables.G4Records[0]), u"SG40U99L1ONGT0000.000OFFLT0000.000\r\n");
    EXPECT_EQ(loop420ProgramLine(1, tables.Loop420Records[1]),
              u"S420C1U99L1V4M000.000V20M239.500\r\n");
    EXPECT_EQ(loop420ProgramLine(8, tables.Loop420Records[8]),
              u"S420C8U99L1V4M000.000V20M239.500\r\n");
}

TEST_F(CommandLinesTest, ReadLinesNumberTanksWithTwoDigitsAndModulesWithOne) {
    EXPECT_EQ(sensorReadLine(0), u"GU00\r\n");
    EXPECT_EQ(sensorReadLine(5), u"GU05\r\n");
    EXPECT_EQ(sensorReadLine(15), u"GU15\r\n");
    EXPECT_EQ(g4ReadLine(3), u"GG43\r\n");
    EXPECT_EQ(loop420ReadLine(3), u"G420C3\r\n");
    EXPECT_EQ(loop420ReadLine(8), u"G420C8\r\n");
}

TEST_F(CommandLinesTest, G4LineFormatsUnitAndValues) {
    G4Record& module = tables.G4Records[9];
    module.Unit = "7";
    module.Source = "T";
    module.Channel = "3";
    module.OnTest = "GT";
    module.OnValue = "150";
    module.OffTest = "LT";
    module.OffValue = "140.25";
    EXPECT_EQ(g4ProgramLine(9, module), u"SG49U07T3ONGT0150.000OFFLT0140.250\r\n");
    module.OnValue = "-2.5";
    module.OffValue = "";
    EXPECT_EQ(g4ProgramLine(9, module), u"SG49U07T3ONGT-0002.500OFFLT0000.000\r\n");
}

TEST_F(CommandLinesTest, Loop420LineFormatsUnitAndValues) {
    Loop420Record& module = tables.Loop420Records[2];
    module.Unit = "5";
    module.Value4mA = "4.25";
    module.Value20mA = "";
    EXPECT_EQ(loop420ProgramLine(2, module), u"S420C2U05L1V4M004.250V20M000.000\r\n");
    module.Value20mA = "1234.5";
    EXPECT_EQ(loop420ProgramLine(2, module), u"S420C2U05L1V4M004.250V20M1234.500\r\n");
}

TEST_F(CommandLinesTest, SensorLineQuotesTenCharactersAndFormatsTheFactor) {
    SensorRecord& tank = tables.SensorRecords[3];
    tank.Label = "AB";
    tank.VolumeFactor = "0.5";
    EXPECT_EQ(sensorProgramLine(3, tank), u"SU03\"AB        \"L0IT0F0.5000E\r\n");
    tank.VolumeFactor = "";
    EXPECT_EQ(sensorProgramLine(3, tank), u"SU03\"AB        \"L0IT0F0.0000E\r\n");
    tank.VolumeFactor = "123456";
    EXPECT_EQ(sensorProgramLine(3, tank), u"SU03\"AB        \"L0IT0F123456.0000E\r\n");
}

TEST_F(CommandLinesTest, LinesUseAPointUnderACommaDecimalLocale) {
    CommaDecimalLocale german;
    tables.G4Records[0].OnValue = "12.5";
    EXPECT_EQ(g4ProgramLine(0, tables.G4Records[0]), u"SG40U99L1ONGT0012.500OFFLT0000.000\r\n");
    EXPECT_EQ(sensorProgramLine(0, tables.SensorRecords[0]),
              u"SU00\"TANK 01   \"L0IT0F1.6700E\r\n");
    RecordTables read;
    applyLoop420Reply(QStringLiteral("420C1U99L1V4M001.250V20M239.500\r\n"), read);
    EXPECT_EQ(read.Loop420Records[1].Value4mA.text(), u"1.25    ");
}

// --- Tank replies ----------------------------------------------------------------------------

TEST_F(CommandLinesTest, SensorReplyInTheProgramLinesShapeFillsTheRecord) {
    SensorRecord record; // blank
    const QString reply = QStringLiteral("SU00\"TANK 01   \"L0IT0F1.6700E\r\n");
    EXPECT_EQ(applySensorReply(reply, 0, record), ReplyOutcome::Applied);
    EXPECT_EQ(record, tables.SensorRecords[0]);
    EXPECT_EQ(record.VolumeFactor.text(), u"1.67  ");
}

TEST_F(CommandLinesTest, SensorReplyMustStartWithSuAndNameTheTankAsked) {
    const SensorRecord before = tables.SensorRecords[9];
    const QString body = QStringLiteral("\"NEW LABEL \"L3CT2C2.0000M\r\n");
    for (const char* head : {"SU03", " SU09", "XSU09", "GU09", "su09"}) {
        SensorRecord record = before;
        EXPECT_EQ(applySensorReply(QLatin1String(head) + body, 9, record), ReplyOutcome::NoReply)
            << head;
        EXPECT_EQ(record, before) << head;
    }
    for (const char* head : {"SU09", "SU9 "}) {
        SensorRecord record = before;
        EXPECT_EQ(applySensorReply(QLatin1String(head) + body, 9, record), ReplyOutcome::Applied)
            << head;
        EXPECT_EQ(record.Label.text(), u"NEW LABEL ");
        EXPECT_EQ(record.Floats.text(), u"3");
        EXPECT_EQ(record.LevelUnit.text(), u"C");
        EXPECT_EQ(record.TempSensors.text(), u"2");
        EXPECT_EQ(record.TempUnit.text(), u"C");
        EXPECT_EQ(record.VolumeFactor.text(), u"2     ");
        EXPECT_EQ(record.VolumeUnit.text(), u"M");
    }
    SensorRecord record = before;
    EXPECT_EQ(applySensorReply(QStringLiteral("SU03") + body, 4, record), ReplyOutcome::NoReply);
    EXPECT_EQ(applySensorReply(QString(), 4, record), ReplyOutcome::NoReply);
    EXPECT_EQ(record, before);
}

TEST_F(CommandLinesTest, SensorReplyCutsLabelAndFactorToTheirFields) {
    SensorRecord record = tables.SensorRecords[2];
    EXPECT_EQ(applySensorReply(QStringLiteral("SU02\"TWELVE CHARS\"L1IT1F12.3457%\r\n"), 2, record),
              ReplyOutcome::Applied);
    EXPECT_EQ(record.Label.text(), u"TWELVE CHA");
    EXPECT_EQ(record.VolumeFactor.text(), u"12.345");
    EXPECT_EQ(record.VolumeUnit.text(), u"%");
}

TEST_F(CommandLinesTest, SensorReplyStoppingPartWayKeepsTheFieldsBeforeTheStop) {
    const SensorRecord before = tables.SensorRecords[1];
    SensorRecord record = before;
    // A level part but no "T" after the closing quote (the label's T does not count).
    EXPECT_EQ(applySensorReply(QStringLiteral("SU01\"TOP TANK  \"L4C\r\n"), 1, record),
              ReplyOutcome::Partial);
    EXPECT_EQ(record.Label.text(), u"TOP TANK  ");
    EXPECT_EQ(record.Floats.text(), u"4");
    EXPECT_EQ(record.LevelUnit.text(), u"C");
    EXPECT_EQ(record.TempSensors, before.TempSensors);
    EXPECT_EQ(record.VolumeFactor, before.VolumeFactor);

    record = before;
    EXPECT_EQ(applySensorReply(QStringLiteral("SU01\"NO CLOSING QUOTE"), 1, record),
              ReplyOutcome::Partial);
    EXPECT_EQ(record, before);

    // No point after the factor: the factor is stored, the volume unit is not.
    record = before;
    EXPECT_EQ(applySensorReply(QStringLiteral("SU01\"X\"LxIT9F7M"), 1, record),
              ReplyOutcome::Partial);
    EXPECT_EQ(record.Floats.text(), u"0") << "a character that is no digit counts as 0";
    EXPECT_EQ(record.TempSensors.text(), u"9");
    EXPECT_EQ(record.VolumeFactor.text(), u"7     ");
    EXPECT_EQ(record.VolumeUnit, before.VolumeUnit);
}

// --- G4 replies ------------------------------------------------------------------------------

TEST_F(CommandLinesTest, G4ReplyFillsTheRecordItNames) {
    int named = -1;
    EXPECT_EQ(applyG4Reply(QStringLiteral("G41U05L2ONEQ0010.000OFFGT0020.000\r\n"), tables, &named),
              ReplyOutcome::Applied);
    EXPECT_EQ(named, 1);
    const G4Record& module = tables.G4Records[1];
    EXPECT_EQ(module.Unit.text(), u"5 ");
    EXPECT_EQ(module.Source.text(), u"L");
    EXPECT_EQ(module.Channel.text(), u"2");
    EXPECT_EQ(module.OnTest.text(), u"EQ");
    EXPECT_EQ(module.OnValue.text(), u"0010.000");
    EXPECT_EQ(module.OffTest.text(), u"GT");
    EXPECT_EQ(module.OffValue.text(), u"0020.000");
    EXPECT_EQ(g4ProgramLine(1, module), u"SG41U05L2ONEQ0010.000OFFGT0020.000\r\n");

    RecordTables expected;
    SetAllDefaults(expected);
    expected.G4Records[1] = module;
    EXPECT_EQ(tables, expected) << "only the named record changes";
}

TEST_F(CommandLinesTest, G4ReplyNamingAnotherModuleWritesThatModule) {
    int named = -1;
    applyG4Reply(QStringLiteral("G45U03T1ONLT0001.000OFFGT0002.000\r\n"), tables, &named);
    EXPECT_EQ(named, 5);
    EXPECT_EQ(tables.G4Records[5].Unit.text(), u"3 ");
    EXPECT_EQ(tables.G4Records[2].Unit.text(), u"99");
}

TEST_F(CommandLinesTest, G4ReplyThatDoesNotStartWithG4AndADigitChangesNothing) {
    const RecordTables before = tables;
    for (const char* reply :
         {" G40U05L2ONEQ0010.000OFFGT0020.000", "XG40U05", "G4xU05L2ON", "G4", "GG40U05", ""}) {
        EXPECT_EQ(applyG4Reply(QString::fromLatin1(reply), tables), ReplyOutcome::NoReply) << reply;
    }
    for (const char* reply : {"G40", "G40 no unit letter"})
        EXPECT_EQ(applyG4Reply(QString::fromLatin1(reply), tables), ReplyOutcome::Partial) << reply;
    EXPECT_EQ(tables, before);
}

TEST_F(CommandLinesTest, G4ReplyWithoutOnOrOffKeepsTheLaterFields) {
    const G4Record before = tables.G4Records[4];
    EXPECT_EQ(applyG4Reply(QStringLiteral("G44U12T3\r\n"), tables), ReplyOutcome::Partial);
    G4Record& module = tables.G4Records[4];
    EXPECT_EQ(module.Unit.text(), u"12");
    EXPECT_EQ(module.Source.text(), u"T");
    EXPECT_EQ(module.Channel.text(), u"3");
    EXPECT_EQ(module.OnTest, before.OnTest);

    EXPECT_EQ(applyG4Reply(QStringLiteral("G44U12T3ONEQ0005.000\r\n"), tables),
              ReplyOutcome::Partial);
    EXPECT_EQ(module.OnTest, before.OnTest) << "nothing after ON is stored without OFF";
    EXPECT_EQ(module.OnValue, before.OnValue);
}

TEST_F(CommandLinesTest, ShortG4ValuesCarryTheFollowingCharacters) {
    applyG4Reply(QStringLiteral("G42U01T1ONLT12.5OFFGT7\r\n"), tables);
    EXPECT_EQ(tables.G4Records[2].OnValue.text(), u"12.5OFFG");
    EXPECT_EQ(tables.G4Records[2].OffValue.text(), u"7\r\n     ");
}

// --- 4-20mA replies --------------------------------------------------------------------------

TEST_F(CommandLinesTest, Loop420ReplyInTheProgramLinesShapeFillsTheRecord) {
    RecordTables read;
    int named = 0;
    EXPECT_EQ(
        applyLoop420Reply(QStringLiteral("420C1U99L1V4M000.000V20M239.500\r\n"), read, &named),
        ReplyOutcome::Applied);
    EXPECT_EQ(named, 1);
    const Loop420Record& module = read.Loop420Records[1];
    EXPECT_EQ(module.Unit.text(), u"99");
    EXPECT_EQ(module.Source.text(), u"L");
    EXPECT_EQ(module.Channel.text(), u"1");
    EXPECT_EQ(module.Value4mA.text(), u"0       ");
    EXPECT_EQ(module.Value20mA.text(), u"239.5   ");
}

TEST_F(CommandLinesTest, Loop420ReplyNamesItsModule) {
    int named = 0;
    applyLoop420Reply(QStringLiteral("420C2U05T2V4M010.000V20M1234.56789\r\n"), tables, &named);
    EXPECT_EQ(named, 2);
    const Loop420Record& module = tables.Loop420Records[2];
    EXPECT_EQ(module.Unit.text(), u"5 ");
    EXPECT_EQ(module.Channel.text(), u"2");
    EXPECT_EQ(module.Value20mA.text(), u"1234.567");
    EXPECT_EQ(loop420ProgramLine(2, module), u"S420C2U05T2V4M010.000V20M1234.567\r\n");
    EXPECT_EQ(tables.Loop420Records[3].Unit.text(), u"99");

    const RecordTables before = tables;
    for (const char* reply : {"420C9U05T2V4M010.000", "420C0U05T2V4M010.000", "420CxU05",
                              " 420C1U05", "G420C1U05", "420"}) {
        EXPECT_EQ(applyLoop420Reply(QString::fromLatin1(reply), tables), ReplyOutcome::NoReply)
            << reply;
    }
    EXPECT_EQ(tables, before);
}

TEST_F(CommandLinesTest, Loop420ReplyWithoutV20mKeepsOnlyThatValue) {
    EXPECT_EQ(applyLoop420Reply(QStringLiteral("420C4U07T3V4M012.500\r\n"), tables),
              ReplyOutcome::Partial);
    const Loop420Record& module = tables.Loop420Records[4];
    EXPECT_EQ(module.Unit.text(), u"7 ");
    EXPECT_EQ(module.Source.text(), u"T");
    EXPECT_EQ(module.Channel.text(), u"3");
    EXPECT_EQ(module.Value4mA.text(), u"12.5    ");
    EXPECT_EQ(module.Value20mA.text(), u"239.5   ");
}

// --- Bad input -------------------------------------------------------------------------------

TEST_F(CommandLinesTest, TruncatedRepliesStopCleanly) {
    const QString sensor = QStringLiteral("SU05\"TANK 06   \"L2IT1F1.6700E\r\n");
    const QString g4 = QStringLiteral("G43U05L2ONEQ0010.000OFFGT0020.000\r\n");
    const QString loop = QStringLiteral("420C3U05L2V4M010.000V20M020.000\r\n");
    for (qsizetype n = 0; n <= sensor.size(); ++n) {
        SensorRecord record;
        const ReplyOutcome outcome = applySensorReply(sensor.left(n), 5, record);
        if (!sensor.left(n).contains(u'.'))
            EXPECT_NE(outcome, ReplyOutcome::Applied) << n;
    }
    for (qsizetype n = 0; n <= g4.size(); ++n) {
        const ReplyOutcome outcome = applyG4Reply(g4.left(n), tables);
        if (!g4.left(n).contains(u"OFF"))
            EXPECT_NE(outcome, ReplyOutcome::Applied) << n;
    }
    for (qsizetype n = 0; n <= loop.size(); ++n) {
        const ReplyOutcome outcome = applyLoop420Reply(loop.left(n), tables);
        if (!loop.left(n).contains(u"V20M"))
            EXPECT_NE(outcome, ReplyOutcome::Applied) << n;
    }
}

TEST_F(CommandLinesTest, HugeAndBinaryRepliesNeverBreakTheFields) {
    const QString digits(100000, QLatin1Char('9'));
    const QString nuls(100000, QChar(0));
    SensorRecord tank;
    applySensorReply(QStringLiteral("SU00\"") + nuls + QStringLiteral("\"L") + digits +
                         QStringLiteral("T") + digits,
                     0, tank);
    EXPECT_EQ(tank.Label.text(), QString(10, QChar(0)));
    EXPECT_EQ(tank.Floats.text(), u"9");
    EXPECT_EQ(tank.VolumeFactor.text().size(), 6);

    applyG4Reply(QStringLiteral("G40U") + digits, tables);
    EXPECT_EQ(tables.G4Records[0].Unit.text(), u"99");
    EXPECT_EQ(applyLoop420Reply(QStringLiteral("420C1U") + digits + QStringLiteral("V4M") + digits +
                                    QStringLiteral("V20M-") + digits,
                                tables),
              ReplyOutcome::Applied);
    for (const auto& field :
         {tables.Loop420Records[1].Value4mA.text(), tables.Loop420Records[1].Value20mA.text()})
        EXPECT_EQ(field.size(), 8);

    QString garbage;
    for (int i = 0; i < 100000; ++i)
        garbage += QChar(char16_t((i * 7919) % 256));
    for (const QString& head :
         {QStringLiteral("SU00"), QStringLiteral("G41"), QStringLiteral("420C2"), QString()}) {
        SensorRecord record;
        applySensorReply(head + garbage, 0, record);
        applyG4Reply(head + garbage, tables);
        applyLoop420Reply(head + garbage, tables);
    }
}

} // namespace
} // namespace rtu
