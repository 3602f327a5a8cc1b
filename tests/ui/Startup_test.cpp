#include "GuiTestSupport.h"

#include "ui/TerminalForm.h"

#include <QProcess>
#include <QScreen>

#include <csignal>
#include <tuple>

namespace rtu::test {
namespace {

// Start-up and shutdown themselves are tested with Lifecycle; these tests cover what the
// windows and the program add.
class StartupTest : public GuiTest {
protected:
    // Starts the real program in the working directory, on the offscreen platform.
    void launch(QProcess& program, const QStringList& arguments, bool display = true) {
        program.setWorkingDirectory(workDir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        if (display)
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.start(RTU7350_PROGRAM, arguments);
        ASSERT_TRUE(program.waitForStarted(10000));
    }
    // Sends SIGTERM; true when the program then ended by itself with status 0.
    static bool terminate(QProcess& program) {
        ::kill(pid_t(program.processId()), SIGTERM);
        return program.waitForFinished(20000) && program.exitStatus() == QProcess::NormalExit &&
               program.exitCode() == 0;
    }
};

TEST_F(StartupTest, SwitchingPortsMovesTheMarksAndThePortStatus) {
    RtuForm& rtu = startProgram();
    TerminalForm& terminal = rtu.terminal();
    // The terminal is as tall as the main window and wholly on the screen (the offscreen
    // screen is too narrow for the pair side by side).
    EXPECT_TRUE(terminal.isVisible());
    EXPECT_TRUE(rtu.screen()->availableGeometry().contains(terminal.frameGeometry()));
    EXPECT_EQ(terminal.height(), rtu.height());
    EXPECT_EQ(checkedEntries({"ComPortSet", "CLK"}), (QStringList{"CLKAUTO", "ComPortSet_0"}));
    action("Baud_8")->trigger();
    EXPECT_EQ(checkedEntries({"Baud"}), QStringList{"Baud_8"});

    action("ComPortSet_1")->trigger();
    // The marks are PortSelection's; they reach the menu entries.
    EXPECT_EQ(checkedEntries({"ComPortSet", "Baud"}), (QStringList{"Baud_7", "ComPortSet_1"}));
    // Clicking a checked entry does not take its mark away.
    action("ComPortSet_1")->trigger();
    EXPECT_EQ(checkedEntries({"ComPortSet"}), QStringList{"ComPortSet_1"});
    ASSERT_TRUE(waitUntil([&] { return terminal.panelText(2) == "COM2"; }));
    EXPECT_EQ(terminal.panelText(3), "9600 Baud");
    EXPECT_EQ(portControlsEnabled(), QList<bool>(3, true));

    // A port without a device does not open, and what needs a port is disabled.
    action("ComPortSet_3")->trigger();
    EXPECT_TRUE(checkedEntries({"ComPortSet"}).isEmpty());
    ASSERT_TRUE(waitUntil([&] { return portControlsEnabled() == QList<bool>(3, false); }));
    EXPECT_TRUE(terminal.panelText(2).isEmpty());
}

TEST_F(StartupTest, ExitAndEitherWindowsCloseBoxRunTheShutdown) {
    for (const char* way : {"EXIT", "terminal", "main window"}) {
        SCOPED_TRACE(way);
        form.reset();
        RtuForm& rtu = startProgram();
        if (way == std::string("EXIT"))
            click("Command9");
        else if (way == std::string("terminal"))
            rtu.terminal().close();
        else
            rtu.close();

        EXPECT_TRUE(rtu.hasShutDown());
        EXPECT_FALSE(rtu.isVisible());
        EXPECT_FALSE(rtu.terminal().isVisible());
        EXPECT_NE(library.SetPortCharacteristics(0, 7, 0, 3, 0, 4), 0) << "COM1 is closed";
    }
}

TEST_F(StartupTest, TheDeviceDialogRewiresThePortsAndReopensTheOpenOne) {
    RtuForm& rtu = startProgram();
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
}

TEST_F(StartupTest, SigtermEndsTheProgramThroughTheShutdown) {
    writeFile("COM.dat", QByteArray("\x02\x00", 2));
    QProcess program;
    launch(program, {"--com3", com3.slavePath()});
    // The port opens during the start-up; the signal is taken once it has finished.
    ASSERT_TRUE(waitUntil([&] { return !readFile("uart.dat").startsWith("<missing>"); }, 20000));

    EXPECT_TRUE(terminate(program));
    EXPECT_EQ(readFile("lastfile.txt").count("\r\n"), 39) << "the shutdown ran";
}

// The demo unit holds examples/site.txt; a good settle-delay unit changes nothing it reads.
TEST_F(StartupTest, TheDemoReadsTheWholeSimulatedUnitAndKeepsItsSiteAtExit) {
    for (const QStringList& delay : {QStringList{}, QStringList{"--delay-unit-ms", "8"}}) {
        SCOPED_TRACE(qPrintable(delay.join(' ')));
        QFile::remove(workDir.filePath("lastfile.txt"));
        QProcess program;
        launch(program, delay + QStringList{"--demo", "--read-all"});
        QByteArray err;
        ASSERT_TRUE(waitUntil(
            [&] {
                err += program.readAllStandardError();
                return err.contains("rtu7350: Read All");
            },
            60000));
        EXPECT_TRUE(err.contains("rtu7350: Read All finished: 39 of 39 lines answered\n"))
            << err.constData();

        EXPECT_TRUE(terminate(program));
        const QByteArray last = readFile("lastfile.txt");
        EXPECT_TRUE(last.contains("\nSLCDT1\"")) << last.constData();
        EXPECT_FALSE(last.contains("SLCDT1\"Company\"")) << last.constData();
    }
}

TEST_F(StartupTest, ABadDelayUnitIsAUsageError) {
    for (const char* value : {"0", "-2", "abc"}) {
        SCOPED_TRACE(value);
        QProcess program;
        launch(program, {"--delay-unit-ms", value});
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 2);
        EXPECT_TRUE(program.readAllStandardError().contains("--delay-unit-ms"));
    }
}

// Without a graphical session the program says so instead of Qt's abort; help and version
// still print.
TEST_F(StartupTest, WithoutADisplayOnlyTextIsGiven) {
    for (const auto& [arguments, status, text] :
         {std::tuple{QStringList{}, 1, "needs a graphical session"},
          std::tuple{QStringList{"--version"}, 0, "rtu7350 "}}) {
        QProcess program;
        launch(program, arguments, false);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitCode(), status);
        EXPECT_TRUE(
            (program.readAllStandardError() + program.readAllStandardOutput()).contains(text));
    }
}

} // namespace
} // namespace rtu::test
