#include "app/Lifecycle.h"

#include "app/PortSettingsFiles.h"
#include "app/Session.h"
#include "config/ConfigurationFile.h"
#include "serial/PortSelection.h"
#include "serial/TerminalScreen.h"
#include "support/Application.h"
#include "support/FakeSerialLibrary.h"
#include "support/RecordingBatchUi.h"
#include "support/RecordingNotifier.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace rtu {
namespace {

// The checked (menu, entry) pairs of the port menus, menus numbered in PortMenu order.
using Marks = std::set<std::pair<int, int>>;

class RecordingMenus : public PortMenus {
public:
    void setChecked(PortMenu menu, int index, bool checked) override {
        if (checked)
            marks.insert({int(menu), index});
        else
            marks.erase({int(menu), index});
    }
    Marks marks;
};

// One run of the program: a session over a scripted library, from start-up to shutdown,
// in a working directory shared between runs.
struct ProgramRun {
    explicit ProgramRun(const QString& directory)
        : lifecycle(session, ports, ui, notifier, directory) {
        library.onDelay = [this] { session.receiver.PollReceiver(); };
    }

    FakeSerialLibrary library;
    TextTerminalScreen screen;
    RecordingNotifier notifier;
    RecordingMenus menus;
    RecordingBatchUi ui{&library.calls()};
    Session session{library, screen, ui, notifier};
    PortSelection ports{library, session.link, screen, menus};
    Lifecycle lifecycle;
};

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication(); // the session's receiver timer needs one
        ASSERT_TRUE(dir.isValid());
    }

    // The file a name meets, whatever the letter case it was created with.
    QByteArray contents(const QString& name) const {
        QFile file(PortSettingsFiles(dir.path()).resolve(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void put(const QString& name, const QByteArray& bytes) const {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
};

TEST_F(LifecycleTest, FirstStartOpensCom1WithTheDefaultSettings) {
    ProgramRun run(dir.path());
    run.library.setReportedCodes(2, 1, 0, 1, 9); // not the defaults
    run.session.panel.setClockAuto(false);
    RecordTables defaults;
    SetAllDefaults(defaults);
    bool defaultsWhenShown = false;

    ASSERT_TRUE(run.lifecycle.startUp([&] { defaultsWhenShown = run.session.tables == defaults; }));

    EXPECT_TRUE(defaultsWhenShown);
    EXPECT_TRUE(run.session.panel.clockAuto());
    EXPECT_EQ(run.session.link.CurrentPort, 0);
    EXPECT_EQ(run.library.calls(), (QStringList{"InitializePort 0", "ser_rs232_getport 0",
                                                "SetPortCharacteristics 0 2 1 0 1 9",
                                                "SetPortCharacteristics 0 7 0 3 0 4", "RtsOff 0",
                                                "RtsOn 0", "RtsOff 0"}));
    // Only the applied defaults and the port are checked, not what the port reported.
    EXPECT_EQ(run.menus.marks, (Marks{{0, 0}, {1, 7}, {2, 0}, {3, 3}, {4, 0}, {5, 4}}));
    EXPECT_EQ(run.screen.text(), QStringLiteral("Initialize Port Status = OK\r\n"));
    // RTS lowered and the indicator white, then the empty batch.
    EXPECT_EQ(run.ui.events(),
              (QStringList{"led 16777215", "led 255", "pointer busy", "disable RtuForm",
                           "disable TerminalForm", "enable TerminalForm", "enable RtuForm",
                           "pointer default", "led 16777215"}));
    EXPECT_EQ(run.notifier.beeps, 0);
}

TEST_F(LifecycleTest, ExitOnceWithCom3OpenIsRestoredAtTheNextStart) {
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
    EXPECT_EQ(second.menus.marks, (Marks{{0, 2}, {1, 9}, {2, 0}, {3, 0}, {4, 0}, {5, 7}}));
}

TEST_F(LifecycleTest, ExitWithoutAPortLeavesThePortFilesButRewritesTheLastFile) {
    put("COM.dat", QByteArray("\x01\x00", 2));
    put("lastfile.txt", "old\r\n");
    ProgramRun run(dir.path());
    run.library.setOpenResult(1, 5);
    ASSERT_TRUE(run.lifecycle.startUp());
    EXPECT_EQ(run.session.link.CurrentPort, NoPort);
    EXPECT_EQ(run.screen.text(), QStringLiteral("Initialize Port Status = Failure\r\n"));
    // Without a port there is no RTS step and no empty batch.
    EXPECT_FALSE(run.library.calls().contains("RtsOff 1"));
    EXPECT_TRUE(run.ui.events().isEmpty());
    run.session.panel.setText1(0, "Acme Oil");
    run.library.clearCalls();

    EXPECT_TRUE(run.lifecycle.shutDown().isEmpty());

    EXPECT_TRUE(run.library.calls().isEmpty());
    EXPECT_EQ(files(), (QStringList{"COM.dat", "lastfile.txt", "uart.dat"}));
    EXPECT_EQ(contents("COM.dat"), QByteArray("\x01\x00", 2));
    EXPECT_EQ(contents("uart.dat"), QByteArray());
    EXPECT_EQ(contents("lastfile.txt"), WriteConfiguration(run.session.panel, run.session.tables));
}

TEST_F(LifecycleTest, AnUnwritableLastFileStillClosesThePortAndSavesItsSettings) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("lastfile.txt"));
    ProgramRun run(dir.path());
    ASSERT_TRUE(run.lifecycle.startUp());
    run.library.clearCalls();

    const QStringList problems = run.lifecycle.shutDown();

    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems.first().startsWith("lastfile.txt"));
    EXPECT_EQ(run.library.calls(), QStringList{"UnInitializePort 0"});
    EXPECT_EQ(contents("COM.DAT"), QByteArray("\x00\x00", 2));
    EXPECT_EQ(contents("UART.DAT").size(), 196);
}

} // namespace
} // namespace rtu
