#include "GuiTestSupport.h"

#include "ui/Widgets.h"
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>

#include <QScrollBar>

namespace rtu::test {
namespace {

using MainWindowTest = GuiTest;

// Replaces the whole text of a box as a paste does: one edit.
void paste(QLineEdit* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

void retype(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// The rules of the values are the panel's (UnitSettingsPanel); the window only mirrors it.
TEST_F(MainWindowTest, TheControlsMirrorTheUnitSettingsPanel) {
    startProgram();
    UnitSettingsPanel& panel = form->session().panel;

    paste(control<QLineEdit>("Text2_0"), "23:59:59");
    EXPECT_EQ(panel.text2(0), "23:59:59");
    panel.setText2(1, "06-15-2024");
    EXPECT_EQ(control<QLineEdit>("Text2_1")->text(), "06-15-2024");

    // The upper arrow counts up, as does the Up key.
    auto* seconds = control<CountingBar>("VScroll5");
    seconds->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(panel.vscroll(5), 4);
    seconds->setFocus();
    QTest::keyClick(seconds, Qt::Key_Up);
    EXPECT_EQ(panel.vscroll(5), 5);
    QTest::keyClick(seconds, Qt::Key_Down);
    EXPECT_EQ(control<QLabel>("Label8_3")->text(), "04");
    panel.setVScroll(2, 7);
    EXPECT_EQ(control<CountingBar>("VScroll2")->count(), 7);
    EXPECT_EQ(control<QLabel>("Label8_0")->text(), "07");

    QTest::mouseClick(control<QCheckBox>("Check1_2"), Qt::LeftButton);
    EXPECT_EQ(panel.check1(2), 1);
    click("Command6"); // Set All
    for (int i = 0; i < UnitSettingsPanel::CheckCount; ++i)
        EXPECT_TRUE(control<QCheckBox>(QStringLiteral("Check1_%1").arg(i))->isChecked()) << i;

    action("CLKMAN")->trigger();
    action("CLKMAN")->trigger(); // clicking the checked entry again keeps it
    EXPECT_EQ(checkedEntries({"CLK"}), QStringList{"CLKMAN"});
    EXPECT_FALSE(panel.clockAuto());
    panel.setClockAuto(true);
    EXPECT_EQ(checkedEntries({"CLK"}), QStringList{"CLKAUTO"});
}

TEST_F(MainWindowTest, ProgramSendsTheRowsTickedInTheWindow) {
    startProgram();
    com1.readFor(50);  // nothing from the start-up must remain
    click("Command6"); // Set All
    click("Command7"); // Clear All
    EXPECT_FALSE(control<QCheckBox>("Check1_0")->isChecked());
    QTest::mouseClick(control<QCheckBox>("Check1_2"), Qt::LeftButton);

    click("Command5"); // Program

    // The exchange is over when the click returns: everything sent is there.
    EXPECT_EQ(com1.readFor(3000, 8), "SPP060\r\n");
}

TEST_F(MainWindowTest, LcdTextBoxesSelectTheFirstLineTakeTwentyAndRefuseWhatTheUnitCannotTake) {
    RtuForm& rtu = startProgram();
    auto* line1 = control<QLineEdit>("Text1_0");
    auto* line2 = control<QLineEdit>("Text1_1");

    rtu.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rtu));
    control<QLineEdit>("Text2_0")->setFocus();
    line2->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(line1->selectedText(), "Company");

    retype(line2, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(rtu.session().panel.text1(1), "ABCDEFGHIJKLMNOPQRST");

    retype(line1, "A\"B");
    EXPECT_EQ(rtu.session().panel.text1(0), "AB");
    paste(line1, "X \"Y\"");
    EXPECT_EQ(line1->text(), "AB");
    paste(line1, QStringLiteral("\u20ac"));
    EXPECT_EQ(line1->text(), "AB") << "the unit takes one byte per character";
    EXPECT_EQ(notifier.beeps, 3);

    // A text that came from the unit is shown whole, quote included, and can be edited.
    rtu.session().panel.setText1(1, "WEST \"RIDGE\" LEASE #14");
    EXPECT_EQ(line2->text(), "WEST \"RIDGE\" LEASE #14");
    line2->setFocus();
    line2->end(false);
    QTest::keyClick(line2, Qt::Key_Backspace);
    EXPECT_EQ(rtu.session().panel.text1(1), "WEST \"RIDGE\" LEASE #1");
    EXPECT_EQ(notifier.beeps, 3);
}

TEST_F(MainWindowTest, SaveAndLoadGoThroughTheFileDialog) {
    RtuForm& rtu = startProgram();
    retype(control<QLineEdit>("Text1_0"), "ACME");
    files.answer = workDir.filePath("site.txt");

    click("Command3"); // Save
    EXPECT_EQ(files.requests, QStringList{"Save|File Open|*.txt|*.txt"});
    EXPECT_TRUE(readFile("site.txt").contains("SLCDT1\"ACME\""));

    // A bad line stops the load with a message; what came before it shows.
    writeFile("other.txt", "SLCDT1\"NORTH\"T2\"SOUTH\"\r\nSU00\"BROKEN\r\n");
    files.answer = workDir.filePath("other.txt");
    click("Command4"); // Load
    EXPECT_EQ(files.requests.last(), "Load|File Open|*.txt|*.txt");
    EXPECT_EQ(control<QLineEdit>("Text1_1")->text(), "SOUTH");
    EXPECT_EQ(notifier.messages,
              (std::vector<RecordingNotifier::Message>{{"   File ERROR", "", MessageIcon::None}}));

    // Cancelling either dialog does nothing.
    files.answer.clear();
    click("Command4");
    click("Command3");
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(rtu.session().panel.text1(0), "NORTH");
}

TEST_F(MainWindowTest, AFailedSaveIsReportedAndKeepsThePreviousFile) {
    startProgram();
    writeFile("kept.txt", "previous\r\n");
    // A path below a plain file cannot be created.
    files.answer = workDir.filePath("kept.txt/site.txt");

    click("Command3");

    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(notifier.messages[0].text.contains("not saved"));
    EXPECT_EQ(readFile("kept.txt"), "previous\r\n");
}

TEST_F(MainWindowTest, TheVersionEntryShowsTheSoftwareVersion) {
    startProgram();
    action("Ver")->trigger();
    EXPECT_EQ(notifier.messages,
              (std::vector<RecordingNotifier::Message>{
                  {"Software Version 1.06", "Korvat", MessageIcon::Information}}));
}

} // namespace
} // namespace rtu::test
