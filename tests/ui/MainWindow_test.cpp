#include "GuiTestSupport.h"

#include "config/ConfigurationFile.h"

#include "ui/Widgets.h"
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>

#include <QStatusBar>

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

// The rules of the values are the model's (UnitSettingsModel); the window only mirrors it.
TEST_F(MainWindowTest, TheControlsMirrorTheUnitSettingsModelAndTheButtonsReachTheModel) {
    startProgram();
    UnitSettingsModel& settings = form->session().settings;
    const auto valueOf = [&settings](int n) {
        return settings.values().counter(UnitSettings::Counter(n - 2)).value;
    };

    paste(control<QLineEdit>("Text2_0"), "23:59:59");
    EXPECT_EQ(settings.values().time, "23:59:59");
    settings.setClockText(ClockBox::Date, "06-15-2024");
    EXPECT_EQ(control<QLineEdit>("Text2_1")->text(), "06-15-2024");

    // The upper arrow counts up.
    auto* seconds = control<CountingBar>("VScroll5");
    seconds->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(valueOf(5), 4);
    EXPECT_EQ(control<QLabel>("Label8_3")->text(), "04");
    // Tab reaches each bar from the control before it; the Up key counts up, Down down.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    for (const auto& [before, n] : {std::pair{"Check1_1", 2},
                                    {"VScroll2", 3},
                                    {"VScroll3", 4},
                                    {"Check1_2", 5},
                                    {"VScroll5", 6}}) {
        control<QWidget>(before)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* bar = control<CountingBar>(QStringLiteral("VScroll%1").arg(n));
        ASSERT_EQ(QApplication::focusWidget(), bar) << n;
        const int count = valueOf(n);
        QTest::keyClick(bar, Qt::Key_Up);
        EXPECT_EQ(valueOf(n), count + 1) << n;
        QTest::keyClick(bar, Qt::Key_Down);
        EXPECT_EQ(valueOf(n), count) << n;
    }
    settings.setCounter(UnitSettings::Counter::PollHours, 7);
    EXPECT_EQ(control<CountingBar>("VScroll2")->count(), 7);
    EXPECT_EQ(control<QLabel>("Label8_0")->text(), "07");

    // The version is shown on one line; the model keeps it as received.
    settings.storedValues().version = "Ver V1.06\r\n";
    settings.publish();
    EXPECT_EQ(std::pair(control<QLabel>("Label2_2")->text(), settings.values().version),
              std::pair(QString("Ver V1.06"), QString("Ver V1.06\r\n")));

    QTest::mouseClick(control<QCheckBox>("Check1_2"), Qt::LeftButton);
    EXPECT_TRUE(settings.rows()[UnitRow::Poll]);
    click("Command6"); // Set All
    for (int i = 0; i < UnitRows::Count; ++i)
        EXPECT_TRUE(control<QCheckBox>(QStringLiteral("Check1_%1").arg(i))->isChecked()) << i;

    action("CLKMAN")->trigger();
    action("CLKMAN")->trigger(); // clicking the checked entry again keeps it
    EXPECT_EQ(checkedEntries("CLK"), QStringList{"CLKMAN"});
    EXPECT_FALSE(settings.values().clockFromPc);
    settings.setClockFromPc(true);
    EXPECT_EQ(checkedEntries("CLK"), QStringList{"CLKAUTO"});

    // What the actions do is MainWindowModel's (Program's button is StartupTest's).
    click("Command7"); // Clear All
    EXPECT_FALSE(control<QCheckBox>("Check1_0")->isChecked());
    action("Ver")->trigger();
    EXPECT_EQ(notifier.messages.size(), 1u);

    // A pseudo-terminal has no modem lines to show; a port that has them paints them.
    const auto lineColour = [this] { return control<RtsLed>("DSR_LED")->colour(); };
    EXPECT_EQ(lineColour(), LineUnknownGrey);
    PortStatus status;
    status.modemLines = modemLineIndicators(ModemLines{false, true, false});
    emit form->model().portStatusChanged(status);
    EXPECT_EQ(lineColour(), LineRaisedGreen);

    action("WorkRecord")->trigger();
    EXPECT_EQ(control<QLabel>("status", control<QWidget>("workRecordWindow"))->text(),
              "0 of 0 lines");
}

TEST_F(MainWindowTest, LcdTextBoxesRefuseWhatTheUnitCannotTakeAndSaveAndLoadUseTheFileDialog) {
    RtuForm& rtu = startProgram();
    auto* line1 = control<QLineEdit>("Text1_0");
    auto* line2 = control<QLineEdit>("Text1_1");

    rtu.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rtu));
    control<QLineEdit>("Text2_0")->setFocus();
    line2->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(line1->selectedText(), "Company");

    retype(line2, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(rtu.session().settings.values().lcdLines[1], "ABCDEFGHIJKLMNOPQRST");

    retype(line1, "A\"B");
    EXPECT_EQ(rtu.session().settings.values().lcdLines[0], "AB");
    // Which characters a box refuses is ConfigurationFileTest's.
    paste(line1, "X \"Y\"");
    EXPECT_EQ(line1->text(), "AB");
    EXPECT_EQ(notifier.beeps, 2);

    // A text that came from the unit is shown whole, quote included, and can be edited.
    rtu.session().settings.setLcdLine(1, "WEST \"RIDGE\" LEASE #14");
    EXPECT_EQ(line2->text(), "WEST \"RIDGE\" LEASE #14");
    line2->setFocus();
    line2->end(false);
    QTest::keyClick(line2, Qt::Key_Backspace);
    EXPECT_EQ(rtu.session().settings.values().lcdLines[1], "WEST \"RIDGE\" LEASE #1");
    EXPECT_EQ(notifier.beeps, 2);

    // Save and Load reach the model, which goes through the file dialog.
    click("Command3"); // Save
    click("Command4"); // Load
    EXPECT_EQ(files.requests,
              (QStringList{"Save|File Open|*.txt|*.txt", "Load|File Open|*.txt|*.txt"}));
}

// A unit unplugged during Read All ends the read orderly: the windows, locked meanwhile, come
// back; what was read stays in the controls; what needs a port is disabled; the outcome,
// wider than the window, can be read whole. (What the read stores is UnitCommandsTest's, a
// close during the read StartupTest's, the outcomes MainWindowModelTest's.)
TEST_F(MainWindowTest, ReadAllLocksTheWindowsEndsOrderlyWhenUnpluggedAndTheOutcomeReadsWhole) {
    startUnit({.hangupAfter = 10});
    ASSERT_TRUE(LoadConfiguration("SLCDT1\"NORTHFIELD OIL & GAS\"T2\"X\"\r\n", unit->settings(),
                                  unit->tables())
                    .ok);
    ASSERT_TRUE(writeFile("COM.dat", QByteArray("\x01\x00", 2)));
    RtuForm& rtu = startProgram();
    EXPECT_EQ(rtu.terminal().windowTitle(), "Terminal \u2014 COM2: " + library.device(UnitPort));
    bool lockedDuringBatch = false;
    QObject::connect(rtu.statusBar(), &QStatusBar::messageChanged, &rtu, [&](const QString& text) {
        if (text == QStringLiteral("Reading tank 00 \u2014 5 of 39"))
            lockedDuringBatch = !rtu.isEnabled() && !rtu.terminal().isEnabled();
    });

    click("Command2"); // Read All

    EXPECT_TRUE(lockedDuringBatch);
    EXPECT_LE(server->requestCount(), 11);
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "NORTHFIELD OIL & GAS");
    EXPECT_EQ(rtu.terminal().rtsLed().colour(), RtsLedWhite);
    EXPECT_TRUE(rtu.isEnabled() && rtu.terminal().isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The outcome as the tooltip, and in a box when clicked.
    QStatusBar* bar = rtu.statusBar();
    const QString outcome = bar->currentMessage();
    EXPECT_GT(bar->fontMetrics().horizontalAdvance(outcome), bar->width());
    EXPECT_EQ(bar->toolTip(), outcome);
    notifier.messages.clear();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(10, bar->height() / 2));
    EXPECT_EQ(notifier.messages,
              (std::vector<RecordingNotifier::Message>{{outcome, "", MessageIcon::Information}}));
    ASSERT_TRUE(waitUntil([&] { return rtu.terminal().windowTitle() == "Terminal"; }));
}

} // namespace
} // namespace rtu::test
