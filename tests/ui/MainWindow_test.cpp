#include "GuiTestSupport.h"

#include "ui/LcdTextBox.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>

namespace rtu::test {
namespace {

using MainWindowTest = GuiTest;

QStringList captions(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* entry : actions) {
        if (!entry->isSeparator())
            texts << entry->text();
    }
    return texts;
}

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

TEST_F(MainWindowTest, WindowMenusAndControlsStartAsTheUnitSettingsDefaults) {
    RtuForm& rtu = startProgram();

    EXPECT_EQ(rtu.windowTitle(), "Setup For Model 7350 Terminal Unit.");
    EXPECT_EQ(control<QGroupBox>("RtuFrm")->title(), "LCD");
    EXPECT_EQ(captions(rtu.menuBar()->actions()),
              (QStringList{"Port Initialization", "Port Characteristics", "", "Clock", "", "",
                           "Configure Sensors", "Configure G4 Module", "Configure 4-20mA Module",
                           "Version"}));
    for (const char* name : {"empty2", "empty1", "empty"})
        EXPECT_TRUE(control<QMenu>(name)->title().isEmpty());
    EXPECT_EQ(captions(control<QMenu>("SetPortNumber")->actions()),
              (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5"}));
    EXPECT_EQ(captions(control<QMenu>("PortCharacteristics")->actions()),
              (QStringList{"Baud", "Parity", "Length", "StopBits", "Line Protocol"}));
    EXPECT_EQ(action("Baud_8")->text(), "19.2K Baud");
    EXPECT_EQ(action("Parity_3")->text(), "Sticky Odd");
    EXPECT_EQ(action("StopBits_1")->text(), "2 StopBits");
    EXPECT_EQ(action("LineProtocol_15")->text(), "XONDTR");
    EXPECT_EQ(captions(control<QMenu>("CLKDT")->actions()), (QStringList{"Auto", "Manual"}));
    for (const char* name : {"Sensors", "G4", "a4_20mA"}) {
        EXPECT_FALSE(action(name)->isEnabled());
        EXPECT_TRUE(action(name)->statusTip().contains("not available"));
    }

    const std::map<QString, QString> buttons{
        {"Command6", "Set All"}, {"Command7", "Clear All"},   {"Command5", "Program"},
        {"Command8", "Read"},    {"Command1", "Program All"}, {"Command2", "Read All"},
        {"Command3", "Save"},    {"Command4", "Load"},        {"Command9", "EXIT"}};
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(control<QPushButton>(name)->text(), caption);

    EXPECT_EQ(control<QLineEdit>("Text2_0")->text(), "12:00:00");
    EXPECT_EQ(control<QLineEdit>("Text2_1")->text(), "12/31/2000");
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "Company");
    EXPECT_EQ(control<QLineEdit>("Text1_1")->text(), "Lease Name");
    const QStringList displays{"00", "01", "00", "03", "05"};
    const std::array<std::pair<int, int>, 5> ranges{{{0, 9}, {0, 59}, {0, 59}, {0, 99}, {0, 99}}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(control<QLabel>(QStringLiteral("Label8_%1").arg(i))->text(), displays[i]);
        auto* bar = control<QScrollBar>(QStringLiteral("VScroll%1").arg(i + 2));
        EXPECT_EQ(bar->minimum(), ranges[std::size_t(i)].first);
        EXPECT_EQ(bar->maximum(), ranges[std::size_t(i)].second);
    }
    EXPECT_TRUE(control<QLabel>("Label2_2")->text().isEmpty());
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(control<QCheckBox>(QStringLiteral("Check1_%1").arg(i))->isChecked());
}

TEST_F(MainWindowTest, TheClockBoxesCheckEveryEdit) {
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
    EXPECT_EQ(time->text(), "23:59:59");
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
}

TEST_F(MainWindowTest, ScrollBarsAndTheirDisplaysFollowThePanel) {
    RtuForm& rtu = startProgram();
    auto* seconds = control<QScrollBar>("VScroll5");

    for (int step = 0; step < 6; ++step)
        seconds->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(rtu.session().panel.vscroll(5), 9);
    EXPECT_EQ(control<QLabel>("Label8_3")->text(), "09");
    seconds->setValue(99);
    EXPECT_EQ(control<QLabel>("Label8_3")->text(), "99");

    // Values set on the panel (a read, a load) show in the window.
    rtu.session().panel.setVScroll(2, 7);
    EXPECT_EQ(control<QScrollBar>("VScroll2")->value(), 7);
    EXPECT_EQ(control<QLabel>("Label8_0")->text(), "07");
    rtu.session().panel.setLabel8(4, "??");
    EXPECT_EQ(control<QLabel>("Label8_4")->text(), "??");
    rtu.session().panel.setText2(1, "06/15/2024");
    EXPECT_EQ(control<QLineEdit>("Text2_1")->text(), "06/15/2024");
    rtu.session().panel.setLabel2(2, "7350-2.14");
    EXPECT_EQ(control<QLabel>("Label2_2")->text(), "7350-2.14");
}

TEST_F(MainWindowTest, SetAllThenProgramSendsTheFiveUnitSettingsLines) {
    startProgram();
    com1.readFor(50); // nothing from the start-up must remain

    click("Command6"); // Set All
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(control<QCheckBox>(QStringLiteral("Check1_%1").arg(i))->isChecked());
        EXPECT_EQ(form->session().panel.check1(i), 1);
    }
    action("CLKMAN")->trigger();
    click("Command5"); // Program

    const QList<QByteArray> lines = com1.readFor(3000, 200).split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "SRTCT120000\r");
    EXPECT_EQ(lines[1], "SRTCD123100\r");
    EXPECT_EQ(lines[2], "SPP060\r");
    EXPECT_EQ(lines[3], "SLCD03R05\r");
    EXPECT_EQ(lines[4], "SLCDT1\"Company\"T2\"Lease Name\"\r");
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

TEST_F(MainWindowTest, ClockMenuKeepsExactlyOneMark) {
    RtuForm& rtu = startProgram();

    action("CLKMAN")->trigger();
    EXPECT_FALSE(checked("CLKAUTO"));
    EXPECT_TRUE(checked("CLKMAN"));
    EXPECT_FALSE(rtu.session().panel.clockAuto());
    action("CLKMAN")->trigger(); // clicking the checked entry again keeps it
    EXPECT_TRUE(checked("CLKMAN"));
    action("CLKAUTO")->trigger();
    EXPECT_TRUE(checked("CLKAUTO"));
    EXPECT_FALSE(checked("CLKMAN"));
    EXPECT_TRUE(rtu.session().panel.clockAuto());
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
    EXPECT_EQ(line1->selectionStart(), 0);

    retype(line2, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(line2->text(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(rtu.session().panel.text1(1), "ABCDEFGHIJKLMNOPQRST");

    retype(line1, "A\"B");
    EXPECT_EQ(line1->text(), "AB");
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

TEST_F(MainWindowTest, VersionShowsTheProgramVersion) {
    startProgram();
    action("Ver")->trigger();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], (RecordingNotifier::Message{"Software Version 1.06", "Korvat",
                                                                MessageIcon::Information}));
}

TEST_F(MainWindowTest, SaveAndLoadGoThroughTheFileDialog) {
    RtuForm& rtu = startProgram();
    retype(control<QLineEdit>("Text1_0"), "ACME");
    files.answer = workDir.filePath("site.txt");

    click("Command3"); // Save
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].purpose, FileChooser::Purpose::Save);
    EXPECT_EQ(files.requests[0].title, "File Open");
    EXPECT_EQ(files.requests[0].pattern, "*.txt");
    EXPECT_EQ(files.requests[0].proposedName, "*.txt");
    const QByteArray saved = readFile("site.txt");
    EXPECT_EQ(saved.count("\r\n"), 39);
    EXPECT_TRUE(saved.contains("SLCDT1\"ACME\"T2\"Lease Name\"\r\n"));

    writeFile("other.txt", "SLCDT1\"NORTH\"T2\"SOUTH\"\r\nSPP7507\r\nSU00\"BROKEN\r\nSPP60\r\n");
    files.answer = workDir.filePath("other.txt");
    click("Command4"); // Load
    EXPECT_EQ(files.requests.back().purpose, FileChooser::Purpose::Load);
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "NORTH");
    EXPECT_EQ(control<QLineEdit>("Text1_1")->text(), "SOUTH");
    EXPECT_EQ(control<QScrollBar>("VScroll2")->value(), 2);
    EXPECT_EQ(control<QLabel>("Label8_1")->text(), "05");
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
