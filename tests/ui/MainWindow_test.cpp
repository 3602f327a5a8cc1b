#include "GuiTestSupport.h"

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

TEST_F(MainWindowTest, TheClockBoxesCheckEveryEditAndTheClockMenuKeepsOneMark) {
    startProgram();
    auto* time = control<QLineEdit>("Text2_0");
    auto* date = control<QLineEdit>("Text2_1");

    // A ninth character empties the box and explains the format.
    time->setFocus();
    time->end(false);
    QTest::keyClick(time, Qt::Key_1);
    EXPECT_EQ(time->text(), "");
    EXPECT_EQ(form->session().panel.text2(0), "");
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "Please use this format for Time 17:08:23 ");
    EXPECT_EQ(notifier.messages[0].title, "Hi");

    paste(time, "25:00:00");
    EXPECT_EQ(time->text(), "12:00:00");
    EXPECT_EQ(notifier.beeps, 1);
    // Key by key, the hours are out of range at the second digit already.
    retype(time, "25");
    EXPECT_EQ(time->text(), "12:00:00");
    EXPECT_EQ(notifier.beeps, 2);
    paste(time, "23:59:59");
    EXPECT_EQ(form->session().panel.text2(0), "23:59:59");

    paste(date, "13-01-2000");
    EXPECT_EQ(date->text(), "01-01-2000");
    EXPECT_EQ(notifier.beeps, 3);
    paste(date, "02-31-2099");
    EXPECT_EQ(date->text(), "02-31-2099");
    paste(date, "02-31-20999");
    EXPECT_EQ(date->text(), "");
    EXPECT_EQ(notifier.messages.back().text, "Please use this format for Date 12-05-2000 ");
    EXPECT_EQ(notifier.beeps, 3);

    action("CLKMAN")->trigger();
    action("CLKMAN")->trigger(); // clicking the checked entry again keeps it
    EXPECT_EQ(checkedEntries({"CLK"}), QStringList{"CLKMAN"});
    EXPECT_FALSE(form->session().panel.clockAuto());
    action("CLKAUTO")->trigger();
    EXPECT_EQ(checkedEntries({"CLK"}), QStringList{"CLKAUTO"});
    EXPECT_TRUE(form->session().panel.clockAuto());
}

TEST_F(MainWindowTest, SetAllThenProgramSendsTheFiveUnitSettingsLinesWithTheWindowsValues) {
    startProgram();
    com1.readFor(50); // nothing from the start-up must remain

    click("Command6"); // Set All
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(control<QCheckBox>(QStringLiteral("Check1_%1").arg(i))->isChecked());
        EXPECT_EQ(form->session().panel.check1(i), 1);
    }
    action("CLKMAN")->trigger();
    // The window has no copy of the values: the scroll bar moves the panel's.
    for (int step = 0; step < 6; ++step)
        control<QScrollBar>("VScroll5")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(control<QLabel>("Label8_3")->text(), "09");
    click("Command5"); // Program

    const QByteArray lines = "SRTCT120000\r\nSRTCD123100\r\nSPP060\r\nSLCD09R05\r\n"
                             "SLCDT1\"Company\"T2\"Lease Name\"\r\n";
    EXPECT_EQ(com1.readFor(3000, lines.size()), lines);
    EXPECT_TRUE(screenText().endsWith("SLCDT1\"Company\"T2\"Lease Name\"\r\n"));
    EXPECT_EQ(form->terminal().rtsLed().colour(), BatchUi::RtsLedWhite);
    EXPECT_TRUE(form->isEnabled());

    click("Command7"); // Clear All
    EXPECT_FALSE(control<QCheckBox>("Check1_2")->isChecked());
    click("Command5");
    EXPECT_EQ(com1.readFor(300), QByteArray());

    // Ticking one row by hand sends that row only.
    QTest::mouseClick(control<QCheckBox>("Check1_2"), Qt::LeftButton);
    EXPECT_EQ(form->session().panel.check1(2), 1);
    click("Command5");
    EXPECT_EQ(com1.readFor(3000, 8), "SPP060\r\n");
}

TEST_F(MainWindowTest, LcdTextBoxesSelectTheFirstLineTakeTwentyCharactersAndRefuseQuotes) {
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
    EXPECT_EQ(notifier.beeps, 1);
    paste(line1, "X \"Y\"");
    EXPECT_EQ(line1->text(), "AB");
    EXPECT_EQ(notifier.beeps, 2);

    // A text that came from the unit is shown whole, quote included, and can be edited.
    rtu.session().panel.setText1(1, "WEST \"RIDGE\" LEASE #14");
    EXPECT_EQ(line2->text(), "WEST \"RIDGE\" LEASE #14");
    line2->setFocus();
    line2->end(false);
    QTest::keyClick(line2, Qt::Key_Backspace);
    EXPECT_EQ(rtu.session().panel.text1(1), "WEST \"RIDGE\" LEASE #1");
    EXPECT_EQ(notifier.beeps, 2);
}

TEST_F(MainWindowTest, SaveAndLoadGoThroughTheFileDialog) {
    RtuForm& rtu = startProgram();
    retype(control<QLineEdit>("Text1_0"), "ACME");
    files.answer = workDir.filePath("site.txt");

    click("Command3"); // Save
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0],
              (ScriptedFiles::Request{FileChooser::Purpose::Save, "File Open", "*.txt", "*.txt"}));
    const QByteArray saved = readFile("site.txt");
    EXPECT_EQ(saved.count("\r\n"), 39);
    EXPECT_TRUE(saved.contains("SLCDT1\"ACME\"T2\"Lease Name\"\r\n"));

    // A bad line stops the load with a message; what came before it stays.
    writeFile("other.txt", "SLCDT1\"NORTH\"T2\"SOUTH\"\r\nSPP7507\r\nSU00\"BROKEN\r\nSPP60\r\n");
    files.answer = workDir.filePath("other.txt");
    click("Command4"); // Load
    EXPECT_EQ(files.requests.back().purpose, FileChooser::Purpose::Load);
    EXPECT_EQ(control<QLineEdit>("Text1_1")->text(), "SOUTH");
    EXPECT_EQ(control<QScrollBar>("VScroll2")->value(), 2);
    EXPECT_EQ(control<QLabel>("Label8_2")->text(), "07");
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0],
              (RecordingNotifier::Message{"   File ERROR", "", MessageIcon::None}));

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

} // namespace
} // namespace rtu::test
