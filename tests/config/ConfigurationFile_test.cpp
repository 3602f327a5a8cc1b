#include "config/ConfigurationFile.h"

#include "config/CommaDecimalLocale.h"
#include "config/UnitSettings.h"
#include "support/Configurations.h"
#include "support/Files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

using namespace Qt::Literals::StringLiterals;

// The five counters as "value=caption" each.
QString scrollBars(const UnitSettings& settings) {
    QStringList shown;
    for (const UnitSettings::Counter counter : UnitSettings::Counters)
        shown << QString::number(settings.counter(counter).value) + '=' +
                     settings.counter(counter).shown;
    return shown.join(' ');
}

class ConfigurationFileTest : public ::testing::Test {
protected:
    LoadResult load(const QByteArray& content) {
        return LoadConfiguration(content, settings, tables);
    }

    UnitSettings settings;
    RecordTables tables = test::defaultTables();
    QTemporaryDir dir;
};

TEST_F(ConfigurationFileTest,
       LinesShowTheDefaultsFieldsAndControlsInThirtyNineCrLfLinesWhateverTheLocale) {
    const CommaDecimalLocale german;
    const QByteArray bytes = WriteConfiguration(settings, tables);
    EXPECT_TRUE(bytes.count("\r\n") == 39 && bytes.count('\n') == 39 && bytes.endsWith("\r\n"));

    // The lines show the fields and controls, the unit settings first.
    tables.G4Records[9].Unit = "7";
    tables.G4Records[9].OffValue = "140.25";
    tables.Loop420Records[2].Value4mA = ""; // no number: 0
    tables.Loop420Records[2].Value20mA = "-2.5";
    tables.SensorRecords[3].Floats = "x";
    tables.SensorRecords[3].VolumeFactor = "12.345678"; // cut to 12.345
    tables.SensorRecords[3].Label = QStringLiteral("TANK\r\n04");
    const int scrolls[] = {2, 5, 7, 9, 99};
    for (const UnitSettings::Counter counter : UnitSettings::Counters)
        settings.setCounter(counter, scrolls[std::size_t(counter)]);
    settings.clockFromPc = false; // the clock lines take the boxes in either mode
    settings.time = QStringLiteral("17:0");
    settings.date = QStringLiteral("1");
    // One byte per character, and none that the unit would act on: a control character (a CR
    // or LF would even split the line) is written as '?', as a character beyond Latin-1 is.
    settings.lcdLines = {QStringLiteral("Caf\u00e9 \u20ac"), QString::fromUcs4(U"x\U0001F600\ty")};
    const QList<QByteArray> lines =
        WriteConfiguration(settings, tables).replace("\r\n", "\n").chopped(1).split('\n');
    EXPECT_EQ(lines.mid(0, 5), (QList<QByteArray>{"SRTCT170", "SRTCD11", "SLCD09R99",
                                                  "SLCDT1\"Caf\xe9 ?\"T2\"x??y\"", "SPP7507"}));
    // Then the tanks, G4 and 4-20mA.
    EXPECT_EQ(
        (QList{lines[5], lines[8], lines[30], lines[32]}),
        (QList<QByteArray>{"SU00\"TANK 01   \"L0IT0F1.6700E", "SU03\"TANK??04  \"L0IT0F12.3450E",
                           "SG49U07L1ONGT0.000OFFLT140.250", "S420C2U99L1V4M0.000V20M-2.500"}));
}

TEST_F(ConfigurationFileTest, LoadedLinesSetTheControlsAndOnlyTheirRecords) {
    ASSERT_TRUE(load("SPP7507\r\n").ok);
    EXPECT_EQ(scrollBars(settings), "2=02 5=05 7=07 3=03 5=05");
    // Halves go to the even neighbour; the scroll bar's reaction reformats the caption.
    ASSERT_TRUE(load("SPP300\nSLCD2.5R3.5").ok); // any line ends, the last one optional
    EXPECT_EQ(scrollBars(settings), "0=00 5=05 0=00 2=02 4=04");
    ASSERT_TRUE(load("SLCDT1\"ABC\"T2\"DEFG\"").ok);
    EXPECT_EQ(settings.lcdLines[0] + u'|' + settings.lcdLines[1], u"ABC|DEFG");
    ASSERT_TRUE(load("SLCDT1\"\"T2\"\"\r\n").ok);
    EXPECT_EQ(settings.lcdLines[0] + settings.lcdLines[1], u"");

    ASSERT_TRUE(load("SG43U05T4ONEQ12.5OFFLT3\r\nS420C5U07T2V4M-1.50V20M1234.56789\r\n"
                     "SU02\"Well 7\"L3CT4C12.3457M\r\nSU09\"A long label\"LxIT1F2.\r\n")
                    .ok);
    // Numbers come back in their shortest form; texts are cut or padded to their widths.
    EXPECT_EQ(test::fieldsOf(tables.G4Records[3]).join('|'), "5 |T|4|EQ|12.5    |LT|3       ");
    EXPECT_EQ(test::fieldsOf(tables.Loop420Records[5]).join('|'), "7 |T|2|-1.5    |1234.567");
    EXPECT_EQ(test::fieldsOf(tables.SensorRecords[2]).join('|'), "Well 7    |3|C|4|C|12.345|M");
    EXPECT_EQ(test::fieldsOf(tables.SensorRecords[9]).join('|'), "A long lab|0|I|1|F|2     | ");
    RecordTables expected = test::defaultTables();
    expected.G4Records[3] = tables.G4Records[3];
    expected.Loop420Records[5] = tables.Loop420Records[5];
    expected.SensorRecords[2] = tables.SensorRecords[2];
    expected.SensorRecords[9] = tables.SensorRecords[9];
    EXPECT_EQ(tables, expected) << "only the four records change";
}

TEST_F(ConfigurationFileTest, FaultyLinesGiveTheirReasonAndHostileInputNeverCrashes) {
    // The line number and the reason of a load that fails.
    const auto fault = [&](const char* line) {
        const LoadResult result = load(line);
        return result.ok ? QString("loaded")
                         : QString::number(result.lineNumber) + ": " + result.reason;
    };
    EXPECT_EQ(fault("SPP36000"), "1: value out of range for the poll period hours");
    EXPECT_EQ(fault("SPP-5"), "1: value out of range for the poll period hours");
    EXPECT_EQ(fault("SLCD05R100"), "1: value out of range for the LCD repeat count");
    EXPECT_EQ(fault("SLCD100R05"), "1: value out of range for the LCD seconds per channel");
    EXPECT_EQ(fault("SLCD0709"), "1: no R");
    EXPECT_EQ(fault("SLCDT1\"ABC"), "1: no closing double quote");
    EXPECT_EQ(fault("SLCDT1\"ABC\"T2"), "1: no opening double quote");
    EXPECT_EQ(fault("SLCDT1\"X\"T2\"DEFG"), "1: no closing double quote");
    EXPECT_EQ(fault("SU03ABC"), "1: no opening double quote");
    EXPECT_EQ(fault("SU03\"ABC"), "1: no closing double quote");
    EXPECT_EQ(fault("SU03\"ABC\""), "1: no L");
    EXPECT_EQ(fault("SG42"), "1: no U");
    EXPECT_EQ(fault("SG42U07T3GT1OFFLT2"), "1: no ON");
    EXPECT_EQ(fault("SG42U07T3ONGT1"), "1: no OFF");
    EXPECT_EQ(fault("S420C3U06T2V20M5"), "1: no V4M");
    EXPECT_EQ(fault("S420C3U06T2V4M5"), "1: no V20M");
    // What a failing line set before its fault stays set: an LCD line shows its caption
    // before the scroll bar refuses it, and sets the seconds before the repeat count.
    EXPECT_EQ(settings.lcdLines[0] + '|' + tables.G4Records[2].Unit.text() + '|' +
                  tables.Loop420Records[3].Unit.text(),
              u"X|7 |6 ");
    EXPECT_EQ(scrollBars(settings), "0=-01 1=01 0=00 5=100 5=100");

    // The load stops at the faulty line.
    EXPECT_EQ(fault("SPP300\r\nSU05\"ABC\r\nSLCD07R09\r\n"), "2: no closing double quote");
    EXPECT_EQ(scrollBars(settings), "0=00 5=05 0=00 5=100 5=100");
    EXPECT_EQ(tables.SensorRecords[5].Label.text(), u"TANK 06   ");
}

TEST_F(ConfigurationFileTest, OtherLinesAreSkippedSilentlyAndForeignTextNeverLandsInAnotherRecord) {
    EXPECT_TRUE(load("SU16\"X\"L1IT1F2E\r\nSU-1\"X\"L1IT1F2E\r\nSU.5\"X\"L1IT1F2E\r\n"
                     "S420C9U01L1V4M1V20M2\r\nS420C0U01L1V4M1V20M2\r\nS420MC1U01\r\n"
                     "SRTCT235959\r\nspp300\r\n\r\nanything else\r\n")
                    .ok);
    EXPECT_EQ(tables, test::defaultTables());
    EXPECT_EQ(scrollBars(settings), scrollBars(UnitSettings()));
    EXPECT_EQ(settings.time, u"12:00:00");

    // Foreign text never lands in another record.
    EXPECT_TRUE(load("SG4XU05L1ONGT1OFFLT2\rSU03\"CR ONLY\"L1IT0F1E\nS420C1U02L1V4M1V20M2").ok);
    EXPECT_EQ(tables.G4Records[0], test::defaultTables().G4Records[0]) << "a number not in digits";
    EXPECT_EQ(tables.SensorRecords[3].Label.text() + tables.Loop420Records[1].Unit.text(),
              "CR ONLY   2 ");

    EXPECT_TRUE(load("SU01\"\xc3\x96LTANK\"L1IT0F1E\r\n").ok) << "UTF-8, as editors save it";
    EXPECT_EQ(tables.SensorRecords[1].Label.text(), u"\u00d6LTANK    ");
    EXPECT_EQ(load("SPP60\r\nSU02\"\xe2\x82\xac 1\"L1IT0F1E\r\n").lineNumber, 2)
        << "beyond Latin-1";
    // Found by fuzzing: Latin-1 text whose bytes form UTF-8 is saved so that it loads back.
    ASSERT_TRUE(load("\xa5\r\nSU01\"\xd6\xab\"L1IT0F1E\r\n").ok);
    ASSERT_TRUE(load(WriteConfiguration(settings, tables)).ok);
    EXPECT_EQ(tables.SensorRecords[1].Label.text(), u"\u00d6\u00ab        ");

    // Found by fuzzing: a level unit "T" was taken for the temperature part, a source that is
    // a digit for part of the unit, and a negative monitor unit does not fit its two places
    // when written back.
    ASSERT_TRUE(load("SU09\"X\"L0TT0F1.67E\r\nS420C2U05"
                     "7V4M1V20M2\r\n")
                    .ok);
    EXPECT_EQ(tables.SensorRecords[9].TempSensors.text() + tables.SensorRecords[9].TempUnit.text(),
              "0F");
    EXPECT_EQ(tables.Loop420Records[2].Unit.text() + tables.Loop420Records[2].Source.text(), "5 7")
        << "a source that is a digit is not part of the unit";
    EXPECT_EQ(test::savedAgain(settings, tables), WriteConfiguration(settings, tables));
    EXPECT_EQ(load("SG41U-5L1ONGT1OFFLT2\r\n").reason, "monitor unit below 0");

    const QByteArray whole = WriteConfiguration(settings, tables);
    EXPECT_TRUE(wholeConfigurationProblems(whole).isEmpty());
    EXPECT_EQ(wholeConfigurationProblems(QByteArray(whole).replace("SU05", "SU16")),
              QStringList({"line 11 names no record of the unit: SU16\"TAN", "missing: SU05"}));
    // What a text box refuses: what the file could not carry back, a character the unit cannot
    // take or one it would act on.
    for (const QChar refused : {QChar(u'"'), QChar(0x20ac), QChar(u'\t'), QChar(0x7f)})
        EXPECT_FALSE(isStorableTextCharacter(refused)) << int(refused.unicode());
    EXPECT_TRUE(isStorableTextCharacter(QChar(0xe9)) && isStorableTextCharacter(u'#'));
    // What a read without a reply left in an LCD text box.
    const QByteArray unread = "\"????????????????????\"";
    EXPECT_EQ(placeholderLines("SPP60\r\nSLCDT1" + unread + "T2\"Lease\"\r\nSLCDT1\"A\"T2" +
                               unread + "\r\nSLCDT1\"?????????????????????\"T2\"\"\r\nSU00" +
                               unread),
              QList<int>({2, 3}));

    // Beyond what the configuration fuzz target tries: lines far longer than a file holds.
    const QByteArray huge(100000, 'U');
    EXPECT_TRUE(!load("SU01\"" + huge).ok && load("SG41U" + huge + "ON" + huge + "OFF").ok);
    EXPECT_FALSE(load("SPP" + QByteArray(100000, '9')).ok);
}

// One table of lines that load, but not as the program writes them: each is applied as it
// reads and named with its reason, for which the command-line tool refuses the file.
TEST_F(ConfigurationFileTest, LinesThatLoadButNotAsWrittenAreAppliedAndNamedWithTheirReason) {
    const std::pair<QByteArray, const char*> hostile[] = {
        {"SPP1e400", "number with an exponent: 1e400"},
        {"SLCD05R1E+1", "number with an exponent: 1E+1"},
        {"SU00\"TANK 01   \"L0IT0F1e308E", "number with an exponent: 1e308"},
        {"SU01\"TANK 02   \"L0IT0F12.3457E", "number longer than its 6 places: 12.3457"},
        {"SU04\"TANK 05   \"L0IT0F0.12345E", nullptr}, // fits its field as .12345
        {"SG40U99L1ONGT12345678901OFFLT0.000", "number longer than its 8 places: 12345678901"},
        {"SG41U99L1ONGTOFFLT0.000", "not a plain number: \"\""},
        {"S420C1U99L1V4M0.5.1V20M239.500", "not a plain number: \"0.5.1\""},
        {"S420C8U99L1V4M0.000V20M239.5x", "not a plain number: \"239.5x\""},
        {"SLCDT1\"A\0B\"T2\"\""_ba, "control character 0x00 at column 9"},
        {"SU02\"TANK 03\x7f\"L0IT0F1.6700E", "control character 0x7f at column 13"},
        {"SU03\"A\tB\"L0IT0F1.6700E", "control character 0x09 at column 7"},
        {"SU05\"FIRST\"L1IT0F2E", nullptr},
        {"SU05\"SECOND\"L1IT0F2E", "SU05 named a second time (first on line 13)"},
    };
    QByteArray file;
    QStringList refused;
    for (const auto& [text, reason] : hostile) {
        file += text + "\r\n";
        if (reason)
            refused << QStringLiteral("site.txt:%1: %2").arg(file.count('\n')).arg(reason);
    }
    const LoadResult result = load(file);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(loadRefusals("site.txt", result), refused);
    // Applied as they read: a number stops at its exponent and is cut to its field, a control
    // character stays in its text, and the later line wins.
    EXPECT_EQ(settings.pollPeriodSeconds(), 1);
    EXPECT_EQ(test::fieldsOf(tables.SensorRecords[0]).join('|'), "TANK 01   |0|I|0|F|1     |e");
    EXPECT_EQ(tables.SensorRecords[1].VolumeFactor.text() + tables.SensorRecords[4].VolumeFactor,
              "12.345.12345");
    EXPECT_EQ(settings.lcdLines[0] + tables.SensorRecords[3].Label.text(), u"A\0BA\tB       "_s);
    EXPECT_EQ(tables.G4Records[0].OnValue.text() + tables.SensorRecords[5].Label.text(),
              "12345678SECOND    ");
}

// File failures are reported (writing them is WholeFile's).
TEST_F(ConfigurationFileTest, SaveThenLoadRestoresAChangedConfigurationOrReportsFailure) {
    const LoadResult none = loadConfigurationFile(dir.filePath("none.txt"), settings, tables);
    EXPECT_TRUE(!none.ok && none.lineNumber == 0 && none.reason.startsWith("cannot open: "));

    // A load gives numbers in their shortest form, so the saved configuration comes from one.
    ASSERT_TRUE(load(WriteConfiguration(settings, tables) +
                     "SLCDT1\"Caf\xe9 North\"T2\"Lease 7  \"\r\nSPP35941\r\nSLCD00R42\r\n"
                     "SU15\"Z\"L4CT0F0.5%\r\nSG40U12L1ONLT-2.5OFFLT1000.125\r\n"
                     "S420C8U99T1V4M10V20M239.5\r\n")
                    .ok);
    const QString path = dir.filePath(QStringLiteral("lastfile.txt"));
    // An older, longer file must be replaced whole.
    ASSERT_TRUE(test::writeFile(path, QByteArray(5000, 'x')));
    ASSERT_EQ(saveConfigurationFile(path, settings, tables), QString());
    EXPECT_EQ(test::readFile(path), WriteConfiguration(settings, tables));

    UnitSettings restored;
    RecordTables restoredTables; // all blank: every field must come from the file
    const LoadResult result = loadConfigurationFile(path, restored, restoredTables);
    ASSERT_TRUE(result.ok) << result.reason.toStdString();
    EXPECT_EQ(restoredTables, tables);
    EXPECT_EQ(restored.lcdLines[0] + u'|' + restored.lcdLines[1], u"Caf\u00e9 North|Lease 7  ");
    EXPECT_EQ(scrollBars(restored), "9=09 59=59 1=01 0=00 42=42");
}

} // namespace
} // namespace rtu
