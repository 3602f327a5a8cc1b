#include "app/G4Editor.h"
#include "app/Loop420Editor.h"
#include "app/SensorEditor.h"

#include "config/ConfigurationFile.h"
#include "support/SessionRig.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

class ModuleEditorTest : public ::testing::Test, protected test::SessionRig<> {
protected:
    ModuleEditorTest() { openCom1(); }

    RecordTables& tables = session.tables;
};

TEST_F(ModuleEditorTest,
       ATankEditorFollowsTheCaptionRulesRefusesWhatTheFileCannotHoldChangesNothingShown) {
    SensorEditor editor(session);
    editor.select(0);
    EXPECT_EQ(editor.factorCaption(), "Barrels per Inch");
    editor.chooseLevelUnit(1);
    EXPECT_EQ(editor.factorCaption(), "Barrels per Centimeter");
    editor.chooseVolumeUnit(2);
    EXPECT_EQ(editor.factorCaption(), "100 % Volume = Centimeters");
    editor.chooseLevelUnit(0);
    EXPECT_EQ(editor.factorCaption(), "100 % Volume = Inches x");
    editor.select(1);
    editor.select(0);
    EXPECT_EQ(editor.factorCaption(), "% per Inch");
    EXPECT_EQ(tables.SensorRecords[0].LevelUnit.text() + tables.SensorRecords[0].VolumeUnit.text(),
              "I%");

    // The label and factor boxes refuse what the file cannot hold (which characters that is,
    // is ConfigurationFileTest's).
    editor.select(3);
    editor.editLabel("CRUDE 3");
    EXPECT_EQ(tables.SensorRecords[3].Label.text(), "CRUDE 3   ");
    editor.editLabel("CRUDE \"3\"");
    EXPECT_EQ(editor.labelBox(), "CRUDE 3") << "a quote is refused, the box keeps its text";
    editor.editLabel("CRUDE OIL 3");
    EXPECT_EQ(tables.SensorRecords[3].Label.text(), "          ");
    editor.editFactor("2.5000001");
    EXPECT_EQ(tables.SensorRecords[3].VolumeFactor.text(), "2.5000");
    editor.editFactor("12345678901");
    EXPECT_EQ(std::pair(editor.factorBox(), notifier.beeps), std::pair(QString(), 3));

    // Showing a tank never changes it, whatever its fields hold.
    SensorRecord& tank = tables.SensorRecords[2];
    std::tie(tank.Floats, tank.TempSensors, tank.TempUnit) = std::tuple("5", "0", "K");
    const SensorRecord before = tank;
    editor.select(2);
    EXPECT_EQ(tank, before);
    EXPECT_EQ(std::tuple(editor.floatsDisplay(), editor.floatsBar(), editor.temperatureOption()),
              std::tuple(QString("5"), SensorEditor::MaxFloats, -1));
    EXPECT_TRUE(editor.levelAndVolumeShown() && !editor.temperatureShown());
}

TEST_F(ModuleEditorTest, TheMonitorUnitIsATankOr99) {
    // From, to, dragged, stored.
    const std::tuple<int, int, bool, const char*> cases[] = {
        {15, 16, false, "0"}, {99, 100, false, "0"}, {10, 20, false, "0"},
        {99, 99, true, "0"},  {3, 99, false, "99"},  {4, 5, true, "5"},
    };
    for (const auto& [from, to, dragged, stored] : cases) {
        Loop420Editor editor(session);
        editor.select(1);
        editor.setUnit(from);
        editor.setUnit(to, dragged);
        EXPECT_EQ(tables.Loop420Records[1].Unit.text().trimmed(), stored) << from << " to " << to;
    }
}

TEST_F(ModuleEditorTest, DisableTakesTheSelectedModuleOrAllOutOfUse) {
    for (G4Record& r : tables.G4Records)
        r.Unit = "3";
    G4Editor editor(session);
    editor.select(4);
    editor.disable();
    EXPECT_EQ(tables.G4Records[4].Unit.text() + tables.G4Records[5].Unit.text(), "993 ");
    EXPECT_FALSE(editor.settingsShown());
    editor.setDisableAll(true);
    editor.disable();
    for (const G4Record& r : tables.G4Records)
        EXPECT_EQ(r.Unit.text(), "99");
}

TEST_F(ModuleEditorTest, TheChannelFollowsTheSourceLimits) {
    G4Editor g4(session);
    g4.select(0);
    g4.chooseTemperature();
    g4.setChannel(6);
    EXPECT_EQ(g4.channelCaption(), "Sensor #");
    g4.chooseLevel();
    EXPECT_EQ(tables.G4Records[0].Channel.text() + ' ' + g4.whenCaption(), "2 When Level is");
    g4.setChannel(3);
    EXPECT_EQ(tables.G4Records[0].Channel.text(), "2");

    Loop420Editor loop(session);
    loop.select(1);
    loop.setChannel(0);
    EXPECT_EQ(tables.Loop420Records[1].Channel.text(), "1")
        << "a level module watches float 1 or 2";
    loop.chooseTemperature();
    loop.setChannel(0);
    EXPECT_EQ(tables.Loop420Records[1].Channel.text() + ' ' + loop.engineeringUnit(), "0 Deg F");
}

// What the window showed for one module never reaches the next; the limits act on each
// module's own record as it is shown.
TEST_F(ModuleEditorTest, SwitchingTabsShowsOwnValuesAReadMayNameAnotherAndProgramMayStopSilently) {
    Loop420Record &three = tables.Loop420Records[3], &four = tables.Loop420Records[4],
                  &five = tables.Loop420Records[5];
    std::tie(three.Source, three.Channel, four.Source, four.Channel) =
        std::tuple("T", "5", "L", "1");
    std::tie(five.Unit, five.Channel) = std::tuple("20", "X");
    Loop420Editor editor(session);
    editor.select(3);
    EXPECT_EQ(editor.channelDisplay(), "5");
    editor.select(4);
    EXPECT_EQ(four.Channel.text(), "1");
    editor.select(5);
    EXPECT_EQ(editor.unitDisplay() + '|' + five.Unit.text() + '|' + five.Channel.text(), "00|0 |1");

    // A read naming another module updates that one (UnitCommandsTest's) and names the silent
    // one; RTS stays as it was (ExchangeTest's).
    library.answer("G420C3", "420C5U07T4V4M010.000V20M200.000\r\n");
    editor.select(3);
    editor.read();
    EXPECT_EQ(editor.selected(), 3);
    EXPECT_EQ(editor.outcome(), "No reply from 4-20mA module 3: kept the values shown before");
    editor.select(5);
    EXPECT_EQ(editor.unitDisplay(), "7 ") << "the monitor unit as stored";
    editor.setUnit(8);
    EXPECT_EQ(editor.unitDisplay(), "08");

    // Program covers the selected module or all, and ends on an error.
    library.clearCalls();
    G4Editor g4(session);
    g4.select(7);
    g4.program();
    EXPECT_EQ(library.sentLines(), QStringList{"SG47U99L1ONGT0000.000OFFLT0000.000"});
    library.clearCalls();
    library.failOnLine = 5; // the read and the line above came first: the third of this batch
    g4.setProgramAll(true);
    g4.program();
    EXPECT_EQ(library.sentLines().size(), 2);
    EXPECT_TRUE(g4.outcome().startsWith("Program stopped"));
}

// The fields a read left unanswered are asked about before they are programmed, until an
// answer, an edit or a file line replaces them; every unanswered line can be read again.
TEST_F(ModuleEditorTest, UnansweredFieldsAreAskedAboutUntilAnsweredEditedOrLoaded) {
    UnansweredReads& reads = session.unanswered;
    const QStringList whole = session.commands.wholeUnitReadLines();
    reads.noteRead(
        {{"GU00"}, {"GRTCT", "GPP", "GLCD", "GLCDT", "GV", "GU01", "GU02", "GG43"}, {"GG44"}});
    EXPECT_EQ(reads.notRead(whole),
              (QStringList{"GPP", "GLCD", "GLCDT", "GU01", "GU02", "GG43", "GG44"}))
        << "the clock is programmed from the PC, the version never; a partly answered line "
           "counts whole";

    session.settings.setCounter(UnitSettings::Counter::PollMinutes, 7);
    SensorEditor tanks(session);
    tanks.select(1);
    tanks.editLabel("CRUDE 1");
    tanks.select(2);
    // The timing line holds the values shown: only the file's naming it clears the mark.
    reads.noteLoaded(LoadConfiguration("SLCD03R05\r\nSG43U05T4ONEQ12.5OFFLT3\r\n",
                                       session.settings.storedValues(), tables)
                         .records);
    reads.noteRead({{"GG44"}, {}});
    EXPECT_EQ(reads.notRead(whole), (QStringList{"GLCDT", "GU02"}));
    EXPECT_EQ(reads.toReadAgain(),
              (QStringList{"GRTCT", "GPP", "GLCD", "GLCDT", "GV", "GU01", "GU02", "GG43"}));

    // A module window's "Program" covering one asks; Cancel sends nothing.
    notifier.answer = false;
    library.clearCalls();
    tanks.program();
    ASSERT_EQ(notifier.questions.size(), 1u);
    EXPECT_EQ(notifier.questions[0].text, "Not read from the unit: tank 02; program them anyway?");
    EXPECT_TRUE(library.sentLines().isEmpty());
    EXPECT_EQ(tanks.outcome(), "Program cancelled: nothing sent");
}

} // namespace
} // namespace rtu
