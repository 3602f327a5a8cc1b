#include "GuiTestSupport.h"

#include <QProcess>
#include <QScreen>
#include <QStatusBar>

#include <tuple>

namespace rtu::test {
namespace {

// Start-up and shutdown themselves are tested with Lifecycle; these tests cover what the
// windows and the program add.
using StartupTest = GuiTest;

TEST_F(StartupTest, PortsSwitchAndRewireTheWindowsShutDownEveryWayAndBadOptionsAreUsageErrors) {
    RtuForm& rtu = startProgram();
    TerminalForm& terminal = rtu.terminal();
    // Both windows are in view and apart (how is WindowPlacement's).
    QCoreApplication::processEvents();
    EXPECT_TRUE(terminal.isVisible());
    const QRect area = rtu.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(rtu.frameGeometry()) && area.contains(terminal.frameGeometry()));
    EXPECT_FALSE(rtu.frameGeometry().intersects(terminal.frameGeometry()));
    EXPECT_EQ(checkedEntries("ComPortSet|CLK"), (QStringList{"CLKAUTO", "ComPortSet_0"}));
    // The device dialog rewires the ports and reopens the open one.
    PortDevices chosen;
    for (PortId port = 0; port < PortCount; ++port)
        chosen[std::size_t(port)] = library.device(port);
    chosen[0] = com3.slavePath();
    devices.answer = chosen;
    action("PortDevices")->trigger();
    EXPECT_EQ(devices.shown[0], com1.slavePath());
    EXPECT_EQ(library.device(0), com3.slavePath());
    rtu.session().library().PutByte(0, 'Z');
    EXPECT_EQ(com3.readFor(2000, 1), "Z");

    action("Baud_8")->trigger();
    EXPECT_EQ(checkedEntries("Baud"), QStringList{"Baud_8"});

    action("ComPortSet_1")->trigger();
    // The marks are PortSelection's; they reach the menu entries.
    EXPECT_EQ(checkedEntries("ComPortSet|Baud"), (QStringList{"Baud_7", "ComPortSet_1"}));
    // Clicking a checked entry does not take its mark away.
    action("ComPortSet_1")->trigger();
    EXPECT_EQ(checkedEntries("ComPortSet"), QStringList{"ComPortSet_1"});
    ASSERT_TRUE(waitUntil([&] { return terminal.panelText(2) == "COM2"; }));
    EXPECT_EQ(portControlsEnabled(), QList<bool>(3, true));

    // A port without a device does not open and says why; what needs a port is disabled, and
    // the buttons that stay enabled send nothing.
    action("ComPortSet_3")->trigger();
    EXPECT_TRUE(checkedEntries("ComPortSet").isEmpty());
    const QString failure = "Initialize Port Status = Failure\r\nCOM4 (" + library.device(3) +
                            "): no such device; choose the adapter under Port Devices...\r\n";
    EXPECT_TRUE(screenText().endsWith(failure));
    emit control<QMenu>("SetPortNumber")->aboutToShow(); // each entry tells its device
    EXPECT_EQ(action("ComPortSet_3")->toolTip(),
              "COM4 opens " + library.device(3) + " (not present)");
    ASSERT_TRUE(waitUntil([&] { return portControlsEnabled() == QList<bool>(3, false); }));
    click("Command6"); // Set All
    for (const QString& button : {QStringLiteral("Program"), QStringLiteral("Read")}) {
        click(button == "Program" ? "Command5" : "Command8");
        EXPECT_EQ(rtu.statusBar()->currentMessage(), button + " stopped: no port is open");
    }
    EXPECT_TRUE(screenText().endsWith(failure)) << "no line logged as sent";

    // EXIT and either window's close box run the shutdown.
    for (const char* way : {"EXIT", "terminal", "main window"}) {
        SCOPED_TRACE(way);
        form.reset();
        RtuForm& again = startProgram();
        if (way == std::string("EXIT"))
            click("Command9");
        else if (way == std::string("terminal"))
            again.terminal().close();
        else
            again.close();

        EXPECT_TRUE(again.hasShutDown());
        EXPECT_FALSE(again.isVisible() || again.terminal().isVisible());
        EXPECT_NE(library.SetPortCharacteristics(0, 7, 0, 3, 0, 4), 0) << "COM1 is closed";
    }

    // The demo (--demo --read-all, ended with SIGTERM) is run by the install test. A usage error
    // ends the real program with 2 and names the option; a good delay unit passes on to the
    // next option's check.
    for (const char* arguments : {"--delay-unit-ms 0", "--delay-unit-ms 1e8", "--delay-unit-ms abc",
                                  "--delay-unit-ms 8 --show nowhere"}) {
        SCOPED_TRACE(arguments);
        QProcess program;
        program.start(RTU7350_PROGRAM, QString(arguments).split(' '));
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(std::pair(program.exitStatus(), program.exitCode()),
                  std::pair(QProcess::NormalExit, 2));
        const QString rejected = "rtu7350: " + QString(arguments).section(' ', -2, -2) + ' ';
        EXPECT_TRUE(program.readAllStandardError().contains(rejected.toLatin1()));
    }
}

// A close with unsaved edits asks: Cancel, or a Save not made, keeps the program running.
// Ending with no one to ask (as a termination signal and the end of the session do) keeps
// them for the next start, which offers them once.
TEST_F(StartupTest, ClosingWithEditsAsksAndEndingUnaskedKeepsThemForTheNextStart) {
    startProgram().session().settings.setLcdLine(0, "RECOVER ME");
    for (const SaveChoice choice : {SaveChoice::Cancel, SaveChoice::Save}) {
        notifier.saveChoice = choice; // the Save dialog is cancelled
        form->terminal().close();
        EXPECT_TRUE(!form->hasShutDown() && form->terminal().isVisible());
    }
    form->closeWithoutAsking();
    startProgram();
    EXPECT_EQ(form->session().settings.values().lcdLines[0].trimmed(), "RECOVER ME");
    startProgram();
    ASSERT_EQ(notifier.questions.size(), 3u);
    EXPECT_TRUE(notifier.questions.back().text.endsWith("were recovered: load them?"));
}

// A termination signal (a session or service ending) during a "Read All" of a silent unit
// with 1 s delay units under "Reply Wait x8", 200 s for each unit-settings line, cuts the
// line's wait short: the program ends at once, and its outcome says how far the read got.
// (That the shutdown then writes its files is LifecycleTest's, and InstalledTest's for a
// signal.)
TEST_F(StartupTest, ATerminationSignalStopsASlowReadAllAtItsLineAndTheProgramEndsAsUsual) {
    ASSERT_TRUE(QDir().mkdir("rtu7350") &&
                writeFile("rtu7350/rtu7350.conf", "[replyWait]\nwait=x8\n"));
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QDir::currentPath()); // the settings above
    program.setProcessEnvironment(environment);
    program.start(RTU7350_PROGRAM,
                  {"--com1", com1.slavePath(), "--delay-unit-ms", "1000", "--read-all"});
    ASSERT_EQ(com1.readFor(30000, 7), "GRTCT\r\n");
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000)) << "the read would take 85 minutes";
    EXPECT_EQ(std::pair(program.exitStatus(), program.exitCode()),
              std::pair(QProcess::NormalExit, 0));
    EXPECT_TRUE(program.readAllStandardError().contains(
        "rtu7350: Read All stopped, the program is closing: nothing was read.\n"));
}

// Without a graphical session the program says so instead of Qt's abort; help and version
// still print.
TEST_F(StartupTest, WithoutADisplayOnlyTextIsGiven) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    for (const auto& [arguments, status, text] :
         {std::tuple{QStringList{}, 1, "needs a graphical session"},
          std::tuple{QStringList{"--version"}, 0, "rtu7350 "}}) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(RTU7350_PROGRAM, arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitCode(), status);
        EXPECT_TRUE(
            (program.readAllStandardError() + program.readAllStandardOutput()).contains(text));
    }
}

} // namespace
} // namespace rtu::test
