#include "GuiTestSupport.h"

#include "ui/TerminalForm.h"

#include <QProcess>

#include <csignal>

namespace rtu::test {
namespace {

using StartupTest = GuiTest;

const QStringList SettingMenus{"Baud", "Parity", "Length", "StopBits", "LineProtocol"};
const QStringList DefaultSettingMarks{"Baud_7", "Length_3", "LineProtocol_4", "Parity_0",
                                      "StopBits_0"};
const QList<bool> Enabled{true, true, true};

// The status line of a failed open, then the device and why.
QString missingDeviceLines(const QString& port, const QString& device) {
    return "Initialize Port Status = Failure\r\n" + port + " (" + device +
           "): no such device; choose the adapter under Port Devices...\r\n";
}
const QList<bool> Disabled{false, false, false};

TEST_F(StartupTest, FirstStartInAnEmptyDirectoryOpensCom1WithTheDefaults) {
    RtuForm& rtu = startProgram();
    TerminalForm& terminal = rtu.terminal();
    // The terminal stands against the main window's right edge, as tall as it.
    EXPECT_TRUE(terminal.isVisible());
    EXPECT_EQ(terminal.frameGeometry().left(), rtu.frameGeometry().right() + 1);
    EXPECT_EQ(terminal.frameGeometry().top(), rtu.frameGeometry().top());
    EXPECT_EQ(terminal.height(), rtu.height());

    EXPECT_EQ(checkedEntries({"ComPortSet"}), QStringList{"ComPortSet_0"});
    EXPECT_EQ(checkedEntries(SettingMenus), DefaultSettingMarks);
    EXPECT_EQ(checkedEntries({"CLK"}), QStringList{"CLKAUTO"});
    EXPECT_EQ(screenText(), "Initialize Port Status = OK\r\n");
    EXPECT_EQ(QDir(workDir.path()).entryList(QDir::Files), (QStringList{"COM.dat", "uart.dat"}));
    EXPECT_EQ(readFile("COM.dat"), QByteArray());
    EXPECT_EQ(readFile("uart.dat"), QByteArray());

    ASSERT_TRUE(waitUntil([&] { return terminal.panelText(2) == "COM1"; }));
    const QStringList panels{"9600 Baud", "None", "8 Bits", "1 Stop Bit", "NONNON"};
    for (int panel = 3; panel <= 7; ++panel)
        EXPECT_EQ(terminal.panelText(panel), panels[panel - 3]);
    EXPECT_TRUE(QTime::fromString(terminal.panelText(1), "hh:mm:ss").isValid());
    EXPECT_EQ(portControlsEnabled(), Enabled);
}

// EXIT and closing the terminal window run the same shutdown.
TEST_F(StartupTest, EndingWithCom3OpenSavesThePortAndTheNextStartReopensIt) {
    for (const bool closeTerminal : {false, true}) {
        SCOPED_TRACE(closeTerminal ? "terminal window closed" : "EXIT");
        form.reset();
        RtuForm& rtu = startProgram();
        if (closeTerminal) {
            EXPECT_EQ(rtu.session().link.CurrentPort, 2);
            EXPECT_EQ(checkedEntries({"ComPortSet", "Baud"}),
                      (QStringList{"Baud_9", "ComPortSet_2"}));
            rtu.terminal().close();
        } else {
            action("ComPortSet_2")->trigger();
            action("Baud_9")->trigger();
            click("Command9"); // EXIT
        }

        EXPECT_TRUE(rtu.hasShutDown());
        EXPECT_FALSE(rtu.isVisible());
        EXPECT_FALSE(rtu.terminal().isVisible());
        // Written as COM.DAT and UART.DAT, they land on the files read as COM.dat and uart.dat.
        EXPECT_EQ(QDir(workDir.path()).entryList(QDir::Files),
                  (QStringList{"COM.dat", "lastfile.txt", "uart.dat"}));
        EXPECT_EQ(readFile("COM.dat"), QByteArray("\x02\x00", 2));
        const QByteArray uart = readFile("uart.dat");
        EXPECT_EQ(uart.size(), 196);
        EXPECT_EQ(uart.right(4), QByteArray("\x02\x00\xAA\x00", 4));
        EXPECT_EQ(readFile("lastfile.txt").count("\r\n"), 39);
    }
    // The port is closed: the library no longer takes settings for it.
    EXPECT_NE(library.SetPortCharacteristics(2, 7, 0, 3, 0, 4), 0);
}

TEST_F(StartupTest, APortThatCannotBeOpenedLeavesThePortFilesAloneAtExit) {
    writeFile("COM.dat", QByteArray("\x03\x00", 2)); // COM4 has no device
    writeFile("lastfile.txt", "stale\r\n");
    RtuForm& rtu = startProgram();

    EXPECT_EQ(rtu.session().link.CurrentPort, NoPort);
    EXPECT_EQ(screenText(), missingDeviceLines("COM4", workDir.filePath("no-such-tty4")));
    EXPECT_TRUE(checkedEntries({"ComPortSet"}).isEmpty());
    ASSERT_TRUE(waitUntil([&] { return portControlsEnabled() == Disabled; }));
    for (int panel = 2; panel <= 7; ++panel)
        EXPECT_TRUE(rtu.terminal().panelText(panel).isEmpty()) << "panel " << panel;

    rtu.close();

    EXPECT_EQ(readFile("COM.dat"), QByteArray("\x03\x00", 2));
    EXPECT_EQ(readFile("uart.dat"), QByteArray());
    EXPECT_EQ(readFile("lastfile.txt").count("\r\n"), 39);
}

TEST_F(StartupTest, SwitchingPortsReportsBothStepsAndMovesTheMarks) {
    RtuForm& rtu = startProgram();
    action("Baud_8")->trigger();
    EXPECT_EQ(checkedEntries({"Baud"}), QStringList{"Baud_8"});
    EXPECT_EQ(rtu.session().link.PortRecord.BaudCode(), 8);

    action("ComPortSet_1")->trigger();

    EXPECT_TRUE(
        screenText().endsWith("Uninitialize Port Status = OK\r\nInitialize Port Status = OK\r\n"));
    EXPECT_EQ(checkedEntries({"ComPortSet"}), QStringList{"ComPortSet_1"});
    // A freshly opened port reports the defaults.
    EXPECT_EQ(checkedEntries(SettingMenus), DefaultSettingMarks);
    // Clicking a checked entry does not take its mark away.
    action("Parity_0")->trigger();
    action("ComPortSet_1")->trigger();
    EXPECT_EQ(checkedEntries({"ComPortSet", "Parity"}), (QStringList{"ComPortSet_1", "Parity_0"}));
    ASSERT_TRUE(waitUntil([&] { return rtu.terminal().panelText(2) == "COM2"; }));

    // A port without a device does not open, and what needs a port is disabled.
    action("ComPortSet_3")->trigger();
    EXPECT_TRUE(
        screenText().endsWith(missingDeviceLines("COM4", workDir.filePath("no-such-tty4"))));
    EXPECT_TRUE(checkedEntries({"ComPortSet"}).isEmpty());
    EXPECT_EQ(rtu.session().link.CurrentPort, NoPort);
    ASSERT_TRUE(waitUntil([&] { return portControlsEnabled() == Disabled; }));
    EXPECT_TRUE(rtu.terminal().panelText(2).isEmpty());
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
    EXPECT_TRUE(
        screenText().endsWith("Uninitialize Port Status = OK\r\nInitialize Port Status = OK\r\n"));
    rtu.session().library().PutByte(0, 'Z');
    EXPECT_EQ(com3.readFor(2000, 1), "Z");
}

TEST_F(StartupTest, SigtermEndsTheProgramThroughTheShutdown) {
    writeFile("COM.dat", QByteArray("\x02\x00", 2));
    QProcess program;
    program.setWorkingDirectory(workDir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(RTU7350_PROGRAM, {"--com3", com3.slavePath()});
    ASSERT_TRUE(program.waitForStarted(10000));

    // The port opens during the start-up; the signal is taken once it has finished.
    ASSERT_TRUE(waitUntil([&] { return !readFile("uart.dat").startsWith("<missing>"); }, 20000));
    ::kill(pid_t(program.processId()), SIGTERM);

    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(readFile("COM.dat"), QByteArray("\x02\x00", 2));
    EXPECT_EQ(readFile("uart.dat").size(), 196);
    EXPECT_EQ(readFile("lastfile.txt").count("\r\n"), 39);
}

} // namespace
} // namespace rtu::test
