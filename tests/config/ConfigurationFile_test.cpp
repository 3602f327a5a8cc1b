#include "config/ConfigurationFile.h"

#include "app/UnitSettingsPanel.h"
#include "config/CommaDecimalLocale.h"
#include "support/RecordingNotifier.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

class ConfigurationFileTest : public ::testing::Test {
protected:
    ConfigurationFileTest() { SetAllDefaults(tables); }

    QList<QByteArray> writtenLines() const {
        QList<QByteArray> lines = WriteConfiguration(panel, tables).split('\n');
        lines.removeLast(); // after the last line end
        for (QByteArray& line : lines)
            line.chop(1); // the CR
        return lines;
    }

    LoadResult load(const QByteArray& content) { return LoadConfiguration(content, panel, tables); }

    RecordTables defaults() const {
        RecordTables t;
        SetAllDefaults(t);
        return t;
    }

    RecordingNotifier notifier;
    UnitSettingsPanel panel{notifier};
    RecordTables tables;
};

// All fields of all records as one readable text, so that a failed comparison shows where.
std::string fieldsOf(const RecordTables& t) {
    QStringList fields;
    for (const SensorRecord& r : t.SensorRecords)
        fields << r.Label << r.Floats << r.LevelUnit << r.TempSensors << r.TempUnit
               << r.VolumeFactor << r.VolumeUnit;
    for (const G4Record& r : t.G4Records)
        fields << r.Unit << r.Source << r.Channel << r.OnTest << r.OnValue << r.OffTest
               << r.OffValue;
    for (int n = Loop420First; n <= Loop420Last; ++n) {
        const Loop420Record& r = t.Loop420Records[n];
        fields << r.Unit << r.Source << r.Channel << r.Value4mA << r.Value20mA;
    }
    return fields.join(u'|').toStdString();
}

// ---- Writing -------------------------------------------------------------------------------

TEST_F(ConfigurationFileTest, DefaultsGiveThirtyNineCrLfLines) {
    const QByteArray bytes = WriteConfiguration(panel, tables);
    EXPECT_EQ(bytes.count("\r\n"), 39);
    EXPECT_EQ(bytes.count('\n'), 39);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = writtenLines();
    ASSERT_EQ(lines.size(), 39);
    EXPECT_EQ(lines[0], "SRTCT120000");
    EXPECT_EQ(lines[1], "SRTCD123100");
    EXPECT_EQ(lines[2], "SLCD03R05");
    EXPECT_EQ(lines[3], "SLCDT1\"Company\"T2\"Lease Name\"");
    EXPECT_EQ(lines[4], "SPP060");
    EXPECT_EQ(lines[5], "SU00\"TANK 01   \"L0IT0F1.6700E");
    EXPECT_EQ(lines[20], "SU15\"TANK 16   \"L0IT0F1.6700E");
    EXPECT_EQ(lines[21], "SG40U99L1ONGT0.000OFFLT0.000");
    EXPECT_EQ(lines[30], "SG49U99L1ONGT0.000OFFLT0.000");
    EXPECT_EQ(lines[31], "S420C1U99L1V4M0.000V20M239.500");
    EXPECT_EQ(lines[38], "S420C8U99L1V4M0.000V20M239.500");
}

TEST_F(ConfigurationFileTest, RecordLinesTakeNumericValuesOfTheFields) {
    G4Record& g4 = tables.G4Records[9];
    g4.Unit = "7";
    g4.Source = "T";
    g4.Channel = "3";
    g4.OnValue = "150";
    g4.OffValue = "140.25";
    tables.Loop420Records[2].Unit = "5";
    tables.Loop420Records[2].Value4mA = "";
    tables.Loop420Records[2].Value20mA = "-2.5";
    SensorRecord& tank = tables.SensorRecords[3];
    tank.Floats = "x";
    tank.VolumeFactor = "12.345678"; // cut to 12.345
    const QList<QByteArray> lines = writtenLines();
    EXPECT_EQ(lines[30], "SG49U07T3ONGT150.000OFFLT140.250");
    EXPECT_EQ(lines[32], "S420C2U05L1V4M0.000V20M-2.500");
    EXPECT_EQ(lines[8], "SU03\"TANK 04   \"L0IT0F12.3450E");
}

TEST_F(ConfigurationFileTest, PanelLinesFollowTheControls) {
    panel.setVScroll(2, 2);
    panel.setVScroll(3, 5);
    panel.setVScroll(4, 7);
    panel.setVScroll(5, 9);
    panel.setVScroll(6, 99);
    panel.setText2(1, QStringLiteral("07-04-1999"));
    panel.setClockAuto(false); // the clock lines take the boxes in either mode
    const QList<QByteArray> lines = writtenLines();
    EXPECT_EQ(lines[1], "SRTCD070499");
    EXPECT_EQ(lines[2], "SLCD09R99");
    EXPECT_EQ(lines[4], "SPP7507");
}

TEST_F(ConfigurationFileTest, ClockLinesCopeWithShortTexts) {
    panel.setText2(0, QStringLiteral("17:0"));
    panel.setText2(1, QStringLiteral("1"));
    const QList<QByteArray> lines = writtenLines();
    EXPECT_EQ(lines[0], "SRTCT170");
    EXPECT_EQ(lines[1], "SRTCD11");
}

TEST_F(ConfigurationFileTest, WritesOneBytePerCharacter) {
    panel.setText1(0, QStringLiteral("Caf\u00e9 \u20ac"));
    panel.setText1(1, QString::fromUcs4(U"x\U0001F600y"));
    EXPECT_EQ(writtenLines()[3], "SLCDT1\"Caf\xe9 ?\"T2\"x?y\"");
}

TEST_F(ConfigurationFileTest, WritesTheSameBytesUnderACommaDecimalLocale) {
    const QByteArray plain = WriteConfiguration(panel, tables);
    const CommaDecimalLocale german;
    EXPECT_EQ(WriteConfiguration(panel, tables), plain);
}

// ---- Loading -------------------------------------------------------------------------------

TEST_F(ConfigurationFileTest, PollPeriodSplitsIntoHoursMinutesSeconds) {
    EXPECT_TRUE(load("SPP7507\r\n").ok);
    EXPECT_EQ(panel.vscroll(2), 2);
    EXPECT_EQ(panel.vscroll(3), 5);
    EXPECT_EQ(panel.vscroll(4), 7);
    EXPECT_EQ(panel.label8(0), u"02");
    EXPECT_EQ(panel.label8(1), u"05");
    EXPECT_EQ(panel.label8(2), u"07");
    EXPECT_TRUE(load("SPP300").ok);
    EXPECT_EQ(panel.label8(0) + panel.label8(1) + panel.label8(2), u"000500");
    EXPECT_EQ(panel.vscroll(3), 5);
}

TEST_F(ConfigurationFileTest, PollPeriodBeyondTheScrollRangeIsAFileError) {
    const LoadResult tooLong = load("SPP36000\r\n");
    EXPECT_FALSE(tooLong.ok);
    EXPECT_EQ(tooLong.lineNumber, 1);
    EXPECT_EQ(tooLong.reason, u"value out of range for the poll period hours");
    EXPECT_EQ(panel.vscroll(2), 0);
    EXPECT_FALSE(load("SPP-5").ok);
    EXPECT_FALSE(load("SPP" + QByteArray(100000, '9')).ok);
}

TEST_F(ConfigurationFileTest, LcdTimingSetsCaptionThenScrollValue) {
    EXPECT_TRUE(load("SLCD07R09").ok);
    EXPECT_EQ(panel.vscroll(5), 7);
    EXPECT_EQ(panel.vscroll(6), 9);
    EXPECT_EQ(panel.label8(3), u"07");
    EXPECT_EQ(panel.label8(4), u"09");

    EXPECT_TRUE(load("SLCD2.5R3.5").ok); // halves go to the even neighbour
    EXPECT_EQ(panel.vscroll(5), 2);
    EXPECT_EQ(panel.vscroll(6), 4);
    EXPECT_EQ(panel.label8(3), u"02"); // the scroll bar's reaction reformats the caption

    const LoadResult noR = load("SLCD0709");
    EXPECT_FALSE(noR.ok);
    EXPECT_EQ(noR.reason, u"no R");
    const LoadResult tooBig = load("SLCD100R05");
    EXPECT_EQ(tooBig.reason, u"value out of range for the LCD seconds per channel");
    EXPECT_EQ(panel.label8(3), u"100");
    EXPECT_EQ(panel.vscroll(5), 2);
}

TEST_F(ConfigurationFileTest, LcdTextsComeFromBetweenTheQuotes) {
    EXPECT_TRUE(load("SLCDT1\"ABC\"T2\"DEFG\"").ok);
    EXPECT_EQ(panel.text1(0), u"ABC");
    EXPECT_EQ(panel.text1(1), u"DEFG");
    EXPECT_TRUE(load("SLCDT1\"\"T2\"\"\r\n").ok);
    EXPECT_EQ(panel.text1(0), u"");
    EXPECT_EQ(panel.text1(1), u"");
    EXPECT_EQ(load("SLCDT1\"ABC").reason, u"no closing double quote");
    EXPECT_EQ(load("SLCDT1\"ABC\"T2").reason, u"no opening double quote");
    const LoadResult noEnd = load("SLCDT1\"X\"T2\"DEFG");
    EXPECT_EQ(noEnd.reason, u"no closing double quote");
    EXPECT_EQ(panel.text1(0), u"X"); // applied before the error
}

TEST_F(ConfigurationFileTest, G4LineChangesOnlyItsModule) {
    ASSERT_TRUE(load("SG43U05T4ONEQ12.5OFFLT3").ok);
    RecordTables expected = defaults();
    G4Record& g4 = expected.G4Records[3];
    g4.Unit = "5";
    g4.Source = "T";
    g4.Channel = "4";
    g4.OnTest = "EQ";
    g4.OnValue = "12.5";
    g4.OffTest = "LT";
    g4.OffValue = "3";
    EXPECT_EQ(fieldsOf(tables), fieldsOf(expected));
    EXPECT_EQ(tables.G4Records[3].Unit.text(), u"5 ");
    EXPECT_EQ(tables.G4Records[3].OnValue.text(), u"12.5    ");
}

TEST_F(ConfigurationFileTest, G4LineWithoutOnKeepsTheFieldsBeforeIt) {
    const LoadResult result = load("SG42U07T3GT1OFFLT2");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, u"no ON");
    EXPECT_EQ(tables.G4Records[2].Unit.text(), u"7 ");
    EXPECT_EQ(tables.G4Records[2].OnTest.text(), u"GT");
    EXPECT_EQ(load("SG42U07T3ONGT1").reason, u"no OFF");
    EXPECT_EQ(load("SG42").reason, u"no U");
}

TEST_F(ConfigurationFileTest, Loop420LineReadsNumbersInShortestForm) {
    ASSERT_TRUE(load("S420C5U07T2V4M-1.50V20M1234.56789").ok);
    const Loop420Record& r = tables.Loop420Records[5];
    EXPECT_EQ(r.Unit.text(), u"7 ");
    EXPECT_EQ(r.Source.text(), u"T");
    EXPECT_EQ(r.Channel.text(), u"2");
    EXPECT_EQ(r.Value4mA.text(), u"-1.5    ");
    EXPECT_EQ(r.Value20mA.text(), u"1234.567");

    const LoadResult noV4M = load("S420C3U06T2V20M5");
    EXPECT_EQ(noV4M.reason, u"no V4M");
    EXPECT_EQ(tables.Loop420Records[3].Unit.text(), u"6 ");
    EXPECT_EQ(load("S420C3U06T2V4M5").reason, u"no V20M");
}

TEST_F(ConfigurationFileTest, SensorLineReadsEveryField) {
    ASSERT_TRUE(load("SU02\"Well 7\"L3CT4C12.3457M").ok);
    const SensorRecord& r = tables.SensorRecords[2];
    EXPECT_EQ(r.Label.text(), u"Well 7    ");
    EXPECT_EQ(r.Floats.text(), u"3");
    EXPECT_EQ(r.LevelUnit.text(), u"C");
    EXPECT_EQ(r.TempSensors.text(), u"4");
    EXPECT_EQ(r.TempUnit.text(), u"C");
    EXPECT_EQ(r.VolumeFactor.text(), u"12.345");
    EXPECT_EQ(r.VolumeUnit.text(), u"M");

    ASSERT_TRUE(load("SU09\"A long label\"LxIT1F2.").ok);
    const SensorRecord& t = tables.SensorRecords[9];
    EXPECT_EQ(t.Label.text(), u"A long lab");
    EXPECT_EQ(t.Floats.text(), u"0");
    EXPECT_EQ(t.VolumeFactor.text(), u"2     ");
    EXPECT_EQ(t.VolumeUnit.text(), u" "); // nothing follows the factor
}

TEST_F(ConfigurationFileTest, RecordNumbersOutOfRangeAreSkippedSilently) {
    const QByteArray lines = "SU16\"X\"L1IT1F2E\r\n"
                             "SU-1\"X\"L1IT1F2E\r\n"
                             "S420C9U01L1V4M1V20M2\r\n"
                             "S420C0U01L1V4M1V20M2\r\n"
                             "S420MC1U01\r\n"
                             "SRTCT999999\r\n"
                             "spp300\r\n"
                             "\r\n"
                             "anything else\r\n";
    EXPECT_TRUE(load(lines).ok);
    EXPECT_EQ(fieldsOf(tables), fieldsOf(defaults()));
    EXPECT_EQ(panel.vscroll(3), 1);
}

TEST_F(ConfigurationFileTest, FileErrorStopsTheLoadAfterTheLinesBefore) {
    const LoadResult result = load("SPP300\r\nSU03\"ABC\r\nSLCD07R09\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.lineNumber, 2);
    EXPECT_EQ(result.reason, u"no closing double quote");
    EXPECT_EQ(panel.vscroll(3), 5);                                 // line 1 applied
    EXPECT_EQ(tables.SensorRecords[3].Label.text(), u"TANK 04   "); // line 2 not
    EXPECT_EQ(panel.vscroll(5), 3);                                 // line 3 not reached
}

TEST_F(ConfigurationFileTest, AcceptsAnyLineEnds) {
    EXPECT_TRUE(load("SLCD01R02\nSPP120\r\nSLCDT1\"A\"T2\"B\"").ok);
    EXPECT_EQ(panel.vscroll(5), 1);
    EXPECT_EQ(panel.vscroll(3), 2);
    EXPECT_EQ(panel.text1(1), u"B");
    EXPECT_TRUE(load("").ok);
}

TEST_F(ConfigurationFileTest, HostileInputNeverCrashes) {
    const QByteArray written = WriteConfiguration(panel, tables);
    for (const QByteArray& line : written.split('\n'))
        for (qsizetype n = 0; n <= line.size(); ++n)
            load(line.left(n));
    const QByteArray huge(100000, 'U');
    EXPECT_FALSE(load("SU01\"" + huge).ok);
    EXPECT_TRUE(load("SG41U" + huge + "ON" + huge + "OFF").ok);
    const char withNulAndHighBytes[] = "SU04\"A\0B\"L1IT2F\xff\xfe";
    EXPECT_TRUE(load(QByteArray(withNulAndHighBytes, sizeof withNulAndHighBytes - 1)).ok);
    EXPECT_EQ(tables.SensorRecords[4].Label.text(), QString::fromLatin1("A\0B", 3) + "       ");
    EXPECT_EQ(tables.SensorRecords[4].VolumeUnit.text(), u"\u00ff");
}

// ---- Files ---------------------------------------------------------------------------------

// Numbers come back in their shortest form, so this configuration holds them in that form.
TEST_F(ConfigurationFileTest, SaveThenLoadRestoresAChangedConfiguration) {
    for (G4Record& r : tables.G4Records)
        r.OnValue = r.OffValue = "0";
    for (int n = Loop420First; n <= Loop420Last; ++n)
        tables.Loop420Records[n].Value4mA = "0";
    panel.setText1(0, QStringLiteral("Caf\u00e9 North"));
    panel.setText1(1, QStringLiteral("Lease 7  "));
    panel.setVScroll(2, 9);
    panel.setVScroll(3, 59);
    panel.setVScroll(4, 1);
    panel.setVScroll(5, 0);
    panel.setVScroll(6, 42);
    tables.SensorRecords[0].Label = "AB";
    SensorRecord& tank = tables.SensorRecords[15];
    tank.Label = "Z";
    tank.Floats = "4";
    tank.LevelUnit = "C";
    tank.VolumeFactor = "0.5";
    tank.VolumeUnit = "%";
    G4Record& g4 = tables.G4Records[0];
    g4.Unit = "12";
    g4.OnTest = "LT";
    g4.OnValue = "-2.5";
    g4.OffValue = "1000.125";
    tables.Loop420Records[8].Source = "T";
    tables.Loop420Records[8].Value4mA = "10";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.txt"));
    ASSERT_EQ(saveConfigurationFile(path, panel, tables), QString());

    RecordingNotifier otherNotifier;
    UnitSettingsPanel restored(otherNotifier);
    RecordTables restoredTables;
    SetAllDefaults(restoredTables);
    const LoadResult result = loadConfigurationFile(path, restored, restoredTables);
    ASSERT_TRUE(result.ok) << result.reason.toStdString();
    EXPECT_EQ(fieldsOf(restoredTables), fieldsOf(tables));
    EXPECT_EQ(restoredTables.SensorRecords[0].Label.text(), u"AB        ");
    EXPECT_EQ(restored.text1(0), panel.text1(0));
    EXPECT_EQ(restored.text1(1), u"Lease 7  ");
    for (int n = UnitSettingsPanel::FirstScroll; n <= UnitSettingsPanel::LastScroll; ++n) {
        EXPECT_EQ(restored.vscroll(n), panel.vscroll(n)) << n;
        EXPECT_EQ(restored.label8(n - 2), panel.label8(n - 2)) << n;
    }
}

TEST_F(ConfigurationFileTest, LoadOfDefaultsShortensNumbers) {
    ASSERT_TRUE(load(WriteConfiguration(panel, tables)).ok);
    EXPECT_EQ(tables.G4Records[0].OnValue.text(), u"0       ");
    EXPECT_EQ(tables.Loop420Records[1].Value20mA.text(), u"239.5   ");
    EXPECT_EQ(tables.SensorRecords[0].VolumeFactor.text(), u"1.67  ");
}

TEST(ConfigurationFiles, SaveIntoAMissingDirectoryFailsAndLeavesNothing) {
    RecordingNotifier notifier;
    const UnitSettingsPanel panel(notifier);
    const RecordTables tables;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing/config.txt"));
    EXPECT_FALSE(saveConfigurationFile(path, panel, tables).isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(ConfigurationFiles, SaveReplacesAnExistingFile) {
    RecordingNotifier notifier;
    const UnitSettingsPanel panel(notifier);
    RecordTables tables;
    SetAllDefaults(tables);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lastfile.txt"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
    old.close();
    ASSERT_EQ(saveConfigurationFile(path, panel, tables), QString());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), WriteConfiguration(panel, tables));
}

TEST(ConfigurationFiles, LoadOfAMissingFileIsAnError) {
    RecordingNotifier notifier;
    UnitSettingsPanel panel(notifier);
    RecordTables tables;
    const LoadResult result =
        loadConfigurationFile(QStringLiteral("/nonexistent/config.txt"), panel, tables);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.lineNumber, 0);
    EXPECT_TRUE(result.reason.startsWith(u"cannot open /nonexistent/config.txt: "));
}

} // namespace
} // namespace rtu
