#include "app/Lifecycle.h"

#include "app/PortSettingsFiles.h"
#include "support/Configurations.h"
#include "support/Files.h"
#include "support/RecordingMenus.h"
#include "support/SessionRig.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

// One run of the program: a session over a scripted library, from start-up to shutdown,
// in a working directory shared between runs. The port settings files themselves are
// tested with PortSettingsFiles.
struct ProgramRun : test::SessionRig<> {
    explicit ProgramRun(const QString& directory)
        : lifecycle(session, ports, listener, notifier, directory) {}

    RecordingMenus menus;
    PortSelection ports{library, session.link, screen, menus};
    Lifecycle lifecycle;
};

class LifecycleTest : public ::testing::Test {
protected:
    // The file a name meets, whatever the letter case it was created with.
    QByteArray contents(const QString& name) const {
        return test::readFile(PortSettingsFiles(dir.path()).resolve(name));
    }

    QTemporaryDir dir;
};

TEST_F(LifecycleTest,
       StartUpShowsTheDefaultsOpensTheStoredPortOrStopsAtAnErrorAnUnwritableLastFileIsReported) {
    ProgramRun run(dir.path());
    run.library.setReportedCodes(2, 1, 0, 1, 9); // not the defaults
    run.session.settings.setClockFromPc(false);
    bool shownFirst = false;

    ASSERT_TRUE(run.lifecycle.startUp([&] {
        shownFirst = run.session.tables == test::defaultTables() && run.library.calls().isEmpty();
    }));

    EXPECT_TRUE(shownFirst) << "the window shows the defaults before the port opens";
    EXPECT_TRUE(run.session.settings.values().clockFromPc);
    // COM1 opens with what it reports, then the default settings, RTS low, the pulse.
    EXPECT_EQ(run.library.calls(), (QStringList{"InitializePort 0", "ser_rs232_getport 0",
                                                "SetPortCharacteristics 0 2 1 0 1 9",
                                                "SetPortCharacteristics 0 7 0 3 0 4", "RtsOff 0",
                                                "RtsOn 0", "RtsOff 0"}));
    EXPECT_EQ(run.listener.events.first(), "rts off");
    EXPECT_EQ(run.notifier.beeps, 0);

    // A run-time error stops the start-up with two beeps and the program goes on.
    // Stopped where it stood: the clock mode is not set and no port is opened.
    ProgramRun failing(dir.path());
    failing.session.settings.setClockFromPc(false);
    EXPECT_FALSE(failing.lifecycle.startUp([] { throw RuntimeError("no window"); }));
    EXPECT_EQ(failing.notifier.beeps, 2);
    EXPECT_TRUE(failing.notifier.messages.empty() && failing.library.calls().isEmpty());
    EXPECT_FALSE(failing.session.settings.values().clockFromPc);
    EXPECT_TRUE(failing.lifecycle.shutDown().isEmpty());
    EXPECT_EQ(contents("lastfile.txt"),
              WriteConfiguration(failing.session.settings.values(), failing.session.tables));

    // An unwritable last file is reported; the port still closes and its settings are saved.
    ASSERT_TRUE(QFile::remove(dir.filePath("lastfile.txt")) &&
                QDir(dir.path()).mkdir("lastfile.txt"));
    run.library.clearCalls();
    const QStringList problems = run.lifecycle.shutDown();
    EXPECT_TRUE(problems.size() == 1 && problems.first().contains("lastfile.txt"))
        << qPrintable(problems.join('\n'));
    EXPECT_EQ(run.library.calls(), QStringList{"UnInitializePort 0"});
    EXPECT_EQ(contents("COM.DAT"), QByteArray("\x00\x00", 2));
    EXPECT_EQ(contents("UART.DAT").size(), 196);
}

TEST_F(LifecycleTest, ExitWithCom3OpenIsRestoredAtTheNextStartWithoutAPortLeavesThePortFiles) {
    {
        ProgramRun first(dir.path());
        ASSERT_TRUE(first.lifecycle.startUp());
        first.ports.SelectPort(2);
        first.ports.LineSettingClick(PortMenu::Baud, 9);
        first.ports.LineSettingClick(PortMenu::LineProtocol, 7);
        first.library.clearCalls();

        EXPECT_TRUE(first.lifecycle.shutDown().isEmpty());
        EXPECT_EQ(first.library.calls(), QStringList{"UnInitializePort 2"});
        EXPECT_EQ(first.session.link.CurrentPort, NoPort);
        EXPECT_EQ(contents("lastfile.txt").count("\r\n"), 39);

        // Shutdown runs once: a second call writes and closes nothing.
        QFile::remove(dir.filePath("lastfile.txt"));
        EXPECT_TRUE(first.lifecycle.shutDown().isEmpty());
        EXPECT_EQ(first.library.calls().size(), 1);
        EXPECT_FALSE(QFile::exists(dir.filePath("lastfile.txt")));
    }
    ProgramRun second(dir.path());
    ASSERT_TRUE(second.lifecycle.startUp());
    EXPECT_EQ(second.session.link.CurrentPort, 2);
    EXPECT_TRUE(second.library.calls().contains("SetPortCharacteristics 2 9 0 0 0 7"));

    // Without a port: no RTS step, no pulse, and the port files are left as they were.
    ASSERT_TRUE(test::writeFile(dir.filePath("COM.dat"), QByteArray("\x01\x00", 2)));
    ASSERT_TRUE(test::writeFile(dir.filePath("lastfile.txt"), "old\r\n"));
    ProgramRun run(dir.path());
    run.library.openResults[1] = 5;
    ASSERT_TRUE(run.lifecycle.startUp());
    EXPECT_TRUE(!run.library.calls().contains("RtsOff 1") && run.listener.events.isEmpty());
    run.session.settings.setLcdLine(0, "Acme Oil");
    run.library.clearCalls();

    EXPECT_TRUE(run.lifecycle.shutDown().isEmpty());
    EXPECT_TRUE(run.library.calls().isEmpty());
    EXPECT_EQ(contents("COM.dat"), QByteArray("\x01\x00", 2));
    EXPECT_EQ(contents("lastfile.txt"),
              WriteConfiguration(run.session.settings.values(), run.session.tables));
}

} // namespace
} // namespace rtu
