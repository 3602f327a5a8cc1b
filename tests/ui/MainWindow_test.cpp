#include "GuiTestSupport.h"

#include "config/ConfigurationFile.h"

#include "ui/Widgets.h"
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

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
TEST_F(MainWindowTest, TheControlsMirrorTheUnitSettingsModelAndProgramSendsTheTickedRows) {
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

    // Program sends the rows ticked in the window.
    com1.readFor(50);  // nothing from the start-up must remain
    click("Command7"); // Clear All
    EXPECT_FALSE(control<QCheckBox>("Check1_0")->isChecked());
    QTest::mouseClick(control<QCheckBox>("Check1_2"), Qt::LeftButton);
    click("Command5"); // Program
    // The exchange is over when the click returns: everything sent is there. (The poll period
    // is the 7 hours and 1 minute set above.)
    EXPECT_EQ(com1.readFor(3000, 10), "SPP25260\r\n");
    click("Command7");
    click("Command5");
    EXPECT_EQ(form->statusBar()->currentMessage(), "Program: no row ticked, nothing sent");

    action("Ver")->trigger();
    EXPECT_EQ(notifier.messages,
              (std::vector<RecordingNotifier::Message>{
                  {"Software Version 1.06", "Korvat", MessageIcon::Information}}));
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
    paste(line1, "X \"Y\"");
    EXPECT_EQ(line1->text(), "AB");
    paste(line1, QStringLiteral("\u20ac"));
    EXPECT_EQ(line1->text(), "AB") << "the unit takes one byte per character";
    paste(line1, "X\tY");
    EXPECT_EQ(line1->text(), "AB") << "and acts on a control character";
    EXPECT_EQ(notifier.beeps, 4);

    // A text that came from the unit is shown whole, quote included, and can be edited.
    rtu.session().settings.setLcdLine(1, "WEST \"RIDGE\" LEASE #14");
    EXPECT_EQ(line2->text(), "WEST \"RIDGE\" LEASE #14");
    line2->setFocus();
    line2->end(false);
    QTest::keyClick(line2, Qt::Key_Backspace);
    EXPECT_EQ(rtu.session().settings.values().lcdLines[1], "WEST \"RIDGE\" LEASE #1");
    EXPECT_EQ(notifier.beeps, 4);

    // Save and Load go through the file dialog and show their outcome (FileActions).
    retype(line1, "ACME");
    files.answer = workDir.filePath("site.txt");
    click("Command3"); // Save
    EXPECT_EQ(files.requests, QStringList{"Save|File Open|*.txt|*.txt"});
    EXPECT_TRUE(readFile("site.txt").contains("SLCDT1\"ACME\""));
    click("Command4"); // Load
    EXPECT_EQ(files.requests.last(), "Load|File Open|*.txt|*.txt");
    EXPECT_EQ(rtu.statusBar()->currentMessage(),
              "Loaded " + QDir::toNativeSeparators(files.answer) + ": 39 of 39 records");

    // Cancelling either dialog does nothing.
    files.answer.clear();
    click("Command4");
    click("Command3");
    EXPECT_TRUE(notifier.messages.empty() && notifier.questions.empty());
}

// No unit on COM1: "Read All" leaves placeholders, which "Program All" sends only when the
// operator says so, as it always sent them.
TEST_F(MainWindowTest, ProgramAllAsksBeforeSendingWhatNoUnitAnsweredAndCancelSendsNothing) {
    library.setDelayUnitOverride(1.0); // no reply is coming
    RtuForm& rtu = startProgram();
    // The 39 lines of a whole-unit action, as COM1's far end receives them.
    const auto lines39 = [this] {
        QByteArray bytes;
        EXPECT_TRUE(waitUntil([&] { return (bytes += com1.readAvailable()).count("\r\n") >= 39; }));
        return bytes.split('\n');
    };
    click("Command2"); // Read All
    lines39();
    // The outcome, wider than the window, can be read whole: as the tooltip, and in a box
    // when clicked.
    QStatusBar* bar = rtu.statusBar();
    const QString outcome = bar->currentMessage();
    EXPECT_GT(bar->fontMetrics().horizontalAdvance(outcome), bar->width());
    EXPECT_EQ(bar->toolTip(), outcome);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(10, bar->height() / 2));
    EXPECT_EQ(notifier.messages,
              (std::vector<RecordingNotifier::Message>{{outcome, "", MessageIcon::Information}}));
    notifier.answer = false;
    click("Command1"); // Program All
    ASSERT_EQ(notifier.questions.size(), 1u);
    EXPECT_TRUE(notifier.questions[0].text.contains("LCD text, tank 00")) << "the whole unit";
    EXPECT_EQ(com1.readFor(100), "");
    EXPECT_EQ(rtu.statusBar()->currentMessage(), "Program All cancelled: nothing sent");

    notifier.answer = true;
    click("Command1");
    const QList<QByteArray> sent = lines39();
    ASSERT_EQ(sent.size(), 40);
    const QByteArray unknown(20, '?');
    EXPECT_EQ(sent.mid(2, 3),
              (QList<QByteArray>{"SPP060\r", "SLCD03R05\r",
                                 "SLCDT1\"" + unknown + "\"T2\"" + unknown + "\"\r"}));
}

// What the exchanges send and store is tested with UnitCommands; these tests cover what
// the windows add: locking, the status bar, message boxes, the controls filled.
class ExchangeTest : public GuiTest {
protected:
    // Starts the program on the simulated unit's port, the unit holding a site, and records
    // its status line.
    RtuForm& start() {
        EXPECT_TRUE(LoadConfiguration("SLCDT1\"NORTHFIELD OIL & GAS\"T2\"X\"\r\n", unit->settings(),
                                      unit->tables())
                        .ok);
        EXPECT_TRUE(writeFile("COM.dat", QByteArray("\x01\x00", 2)));
        RtuForm& rtu = startProgram();
        QObject::connect(rtu.statusBar(), &QStatusBar::messageChanged,
                         [this](const QString& message) { statusMessages << message; });
        return rtu;
    }
    void expectIdle(RtuForm& rtu) {
        EXPECT_EQ(rtu.terminal().rtsLed().colour(), BatchUi::RtsLedWhite);
        EXPECT_TRUE(rtu.isEnabled() && rtu.terminal().isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    QStringList statusMessages;
};

// Closing a window while the read runs must not tear the program down under it, nor wait
// for the whole read: the read stops before its next line, then the program ends. What the
// read stored reaches the controls.
TEST_F(ExchangeTest,
       ReadAllFillsTheWindowStopsForACloseEndsOrderlyWhenUnpluggedAndReopensWhenPluggedBack) {
    RtuForm& rtu = start();
    EXPECT_EQ(rtu.terminal().windowTitle(), "Terminal \u2014 COM2: " + library.device(UnitPort));
    bool lockedDuringBatch = false;
    bool stillRunning = false;
    QObject::connect(rtu.statusBar(), &QStatusBar::messageChanged, &rtu, [&](const QString& text) {
        if (text != QStringLiteral("Reading tank 07 \u2014 12 of 39"))
            return;
        lockedDuringBatch = !rtu.isEnabled() && !rtu.terminal().isEnabled();
        rtu.terminal().close();
        stillRunning = rtu.isVisible() && rtu.terminal().isVisible() && !rtu.hasShutDown();
    });

    click("Command2"); // Read All

    EXPECT_TRUE(lockedDuringBatch && stillRunning);
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "NORTHFIELD OIL & GAS");
    EXPECT_EQ(server->requestCount(), 12);
    EXPECT_EQ(statusMessages.last(), "Read All stopped, the program is closing: unit settings "
                                     "and tanks 00-06 were read; the rest still hold the values "
                                     "from before.");
    EXPECT_TRUE(notifier.messages.empty());

    ASSERT_TRUE(waitUntil([&] { return rtu.hasShutDown(); }));
    EXPECT_FALSE(rtu.isVisible() || rtu.terminal().isVisible());

    // Program All reports its outcome in the status bar.
    RtuForm& programming = start();
    click("Command1"); // Program All
    EXPECT_TRUE(statusMessages.contains(QStringLiteral("Programming tank 00 \u2014 5 of 39")));
    EXPECT_EQ(statusMessages.last(), "Program All finished: 39 lines sent");
    expectIdle(programming);

    // A unit unplugged during Read All ends the read orderly. (The program starts from the
    // defaults again, so that what was read shows.)
    form.reset();
    ASSERT_TRUE(QFile::remove("lastfile.txt"));
    startUnit({.hangupAfter = 10});
    RtuForm& unplugged = start();

    click("Command2");

    EXPECT_LE(server->requestCount(), 11);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_TRUE(notifier.messages[0].text.contains(
        "Read All stopped, the serial port was lost: unit settings and tanks 00-0"));
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
    // What was read before the loss stays.
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "NORTHFIELD OIL & GAS");
    expectIdle(unplugged);
    ASSERT_TRUE(waitUntil([&] { return portControlsEnabled() == QList<bool>(3, false); }));
    EXPECT_EQ(unplugged.terminal().windowTitle(), "Terminal");

    // The unit comes back under the same name: the next status tick opens the port again.
    startUnit({});
    ASSERT_TRUE(waitUntil([&] { return unplugged.session().link.CurrentPort == UnitPort; }, 10000));
    EXPECT_TRUE(screenText().contains("Port COM2 is back"));
    click("Command6"); // Set All
    click("Command8"); // Read
    EXPECT_EQ(statusMessages.last(), "Read finished: 5 of 5 lines answered");
}

// The unit leaves every tenth request unanswered: the button reads only the silent lines.
TEST_F(ExchangeTest, ReadUnansweredAgainReadsOnlyTheLinesThatGotNoReply) {
    startUnit({.dropEvery = 10});
    start();
    auto* again = control<QPushButton>("ReadUnansweredAgain");
    EXPECT_FALSE(again->isEnabled());
    click("Command2");
    EXPECT_EQ(statusMessages.last(), "Read All finished: 36 of 39 lines answered; no reply: "
                                     "tank 04, tank 14, G4 module 8");
    ASSERT_TRUE(again->isEnabled());
    click("ReadUnansweredAgain"); // its first read is the unit's 40th request
    EXPECT_EQ(statusMessages.last(),
              "Read Unanswered Again finished: 2 of 3 lines answered; no reply: tank 04");
    click("ReadUnansweredAgain");
    EXPECT_EQ(server->requestCount(), 43);
    EXPECT_EQ(statusMessages.last(), "Read Unanswered Again finished: 1 of 1 lines answered");
    EXPECT_FALSE(again->isEnabled());
}

} // namespace
} // namespace rtu::test
