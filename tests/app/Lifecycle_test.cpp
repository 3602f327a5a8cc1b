#include "app/Lifecycle.h"

#include "app/PortSettingsFiles.h"
#include "app/Session.h"
#include "config/ConfigurationFile.h"
#include "serial/FakeSerialLibrary.h"
#include "serial/PortSelection.h"
#include "serial/TerminalScreen.h"
#include "support/RecordingBatchUi.h"
#include "support/RecordingNotifier.h"

#include "../config/CommaDecimalLocale.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

namespace rtu {
namespace {

void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

class RecordingMenus : public PortMenus {
public:
    void setChecked(PortMenu menu, int index, bool checked) override {
        if (checked)
            marks[menu].insert(index);
        else
            marks[menu].erase(index);
    }
    std::map<PortMenu, std::set<int>> marks;
};

// One run of the program: a session over a scripted library, from start-up to shutdown,
// in a working directory shared between runs.
struct ProgramRun {
    explicit ProgramRun(const QString& directory) : directory(directory) {
        ui = std::make_unique<RecordingBatchUi>(&library.calls());
        session = std::make_unique<Session>(library, screen, *ui, notifier);
        ports = std::make_unique<PortSelection>(library, session->link, screen, menus);
        lifecycle = std::make_unique<Lifecycle>(*session, *ports, *ui, notifier, directory);
        library.onDelay = [this] { session->receiver.PollReceiver(); };
    }

    std::set<int> marks(PortMenu menu) { return menus.marks[menu]; }

    QString directory;
    FakeSerialLibrary library;
    TextTerminalScreen screen;
    RecordingNotifier notifier;
    RecordingMenus menus;
    std::unique_ptr<RecordingBatchUi> ui;
    std::unique_ptr<Session> session;
    std::unique_ptr<PortSelection> ports;
    std::unique_ptr<Lifecycle> lifecycle;
};

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(dir.isValid());
    }

    // The file a name meets, whatever the letter case it was created with.
    QByteArray contents(const QString& name) const {
        QFile file(PortSettingsFiles(dir.path()).resolve(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
};

TEST_F(LifecycleTest, FirstStartOpensCom1WithTheDefaultSettings) {
    ProgramRun run(dir.path());
    // The port reports other settings than the defaults when it opens.
    run.library.setReportedCodes(2, 1, 0, 1, 9);
    run.session->panel.setClockAuto(false);
    SensorRecord changed;
    changed.Label = "CHANGED";
    run.session->tables.SensorRecords[3] = changed;

    bool shownAfterDefaults = false;
    ASSERT_TRUE(run.lifecycle->startUp([&] {
        shownAfterDefaults = run.session->tables.SensorRecords[3].Label.text() != "CHANGED   ";
    }));

    EXPECT_TRUE(shownAfterDefaults);
    EXPECT_TRUE(run.session->panel.clockAuto());
    EXPECT_EQ(run.session->link.CurrentPort, 0);
    EXPECT_EQ(run.library.calls(), (QStringList{"InitializePort 0", "ser_rs232_getport 0",
                                                "SetPortCharacteristics 0 2 1 0 1 9",
                                                "SetPortCharacteristics 0 7 0 3 0 4", "RtsOff 0",
                                                "RtsOn 0", "RtsOff 0"}));
    // Only the applied defaults and the port are checked, not what the port reported.
    EXPECT_EQ(run.marks(PortMenu::ComPortSet), std::set<int>{0});
    EXPECT_EQ(run.marks(PortMenu::Baud), std::set<int>{7});
    EXPECT_EQ(run.marks(PortMenu::Parity), std::set<int>{0});
    EXPECT_EQ(run.marks(PortMenu::Length), std::set<int>{3});
    EXPECT_EQ(run.marks(PortMenu::StopBits), std::set<int>{0});
    EXPECT_EQ(run.marks(PortMenu::LineProtocol), std::set<int>{4});
    EXPECT_EQ(run.screen.text(), QStringLiteral("Initialize Port Status = OK\r\n"));
    // RTS lowered and the indicator white, then the empty batch.
    EXPECT_EQ(run.ui->events(),
              (QStringList{"led 16777215", "led 255", "pointer busy", "disable RtuForm",
                           "disable TerminalForm", "enable TerminalForm", "enable RtuForm",
                           "pointer default", "led 16777215"}));
    EXPECT_EQ(files(), (QStringList{"COM.dat", "uart.dat"}));
    EXPECT_EQ(contents("COM.dat"), QByteArray());
    EXPECT_EQ(contents("uart.dat"), QByteArray());
    EXPECT_EQ(run.notifier.beeps, 0);
}

TEST_F(LifecycleTest, ExitWithCom3OpenIsRestoredAtTheNextStart) {
    {
        ProgramRun first(dir.path());
        ASSERT_TRUE(first.lifecycle->startUp());
        first.ports->SelectPort(2);
        first.ports->BaudClick(9);
        first.ports->LineProtocolClick(7);
        first.library.clearCalls();

        EXPECT_TRUE(first.lifecycle->shutDown().isEmpty());
        EXPECT_EQ(first.library.calls(), QStringList{"UnInitializePort 2"});
        EXPECT_EQ(first.session->link.CurrentPort, NoPort);
    }
    EXPECT_EQ(contents("COM.DAT"), QByteArray("\x02\x00", 2));
    const QByteArray uart = contents("UART.DAT");
    ASSERT_EQ(uart.size(), 196);
    EXPECT_EQ(uart.right(4), QByteArray("\x02\x00\xAA\x00", 4));

    ProgramRun second(dir.path());
    ASSERT_TRUE(second.lifecycle->startUp());
    EXPECT_EQ(second.session->link.CurrentPort, 2);
    EXPECT_TRUE(second.library.calls().contains("SetPortCharacteristics 2 9 0 0 0 7"));
    EXPECT_EQ(second.marks(PortMenu::ComPortSet), std::set<int>{2});
    EXPECT_EQ(second.marks(PortMenu::Baud), std::set<int>{9});
    EXPECT_EQ(second.marks(PortMenu::LineProtocol), std::set<int>{7});
}

TEST_F(LifecycleTest, SavedSettingsWithoutTheMarkerKeepOnlyTheLibraryBytes) {
    PortParameterBlock stored;
    stored.bytes().fill(0x5A);
    stored.setBaudCode(2);
    QByteArray file(reinterpret_cast<const char*>(stored.bytes().data()), 192);
    file += QByteArray("\x02\x00\xAB\x00", 4);
    QFile uart(dir.filePath("uart.dat"));
    ASSERT_TRUE(uart.open(QIODevice::WriteOnly));
    uart.write(file);
    uart.close();

    ProgramRun run(dir.path());
    ASSERT_TRUE(run.lifecycle->startUp());
    EXPECT_EQ(run.library.calls().at(3), "SetPortCharacteristics 0 7 0 3 0 4");
    run.lifecycle->shutDown();

    const QByteArray written = contents("UART.DAT");
    ASSERT_EQ(written.size(), 196);
    EXPECT_EQ(written.mid(100, 50), QByteArray(50, '\x5A'));
    EXPECT_EQ(written.right(4), QByteArray("\x02\x00\xAA\x00", 4));
}

TEST_F(LifecycleTest, ExitWithoutAPortLeavesThePortFilesButRewritesTheLastFile) {
    QFile com(dir.filePath("COM.dat"));
    ASSERT_TRUE(com.open(QIODevice::WriteOnly));
    com.write(QByteArray("\x01\x00", 2));
    com.close();
    QFile last(dir.filePath("lastfile.txt"));
    ASSERT_TRUE(last.open(QIODevice::WriteOnly));
    last.write("old\r\n");
    last.close();

    ProgramRun run(dir.path());
    run.library.setOpenResult(1, 5);
    ASSERT_TRUE(run.lifecycle->startUp());
    EXPECT_EQ(run.session->link.CurrentPort, NoPort);
    EXPECT_EQ(run.screen.text(), QStringLiteral("Initialize Port Status = Failure\r\n"));
    // Without a port there is no RTS step and no empty batch.
    EXPECT_FALSE(run.library.calls().contains("RtsOff 1"));
    EXPECT_TRUE(run.ui->events().isEmpty());
    run.session->panel.setText1(0, "Acme Oil");
    run.library.clearCalls();

    EXPECT_TRUE(run.lifecycle->shutDown().isEmpty());

    EXPECT_TRUE(run.library.calls().isEmpty());
    EXPECT_EQ(files(), (QStringList{"COM.dat", "lastfile.txt", "uart.dat"}));
    EXPECT_EQ(contents("COM.dat"), QByteArray("\x01\x00", 2));
    EXPECT_EQ(contents("uart.dat"), QByteArray());
    const QByteArray lastFile = contents("lastfile.txt");
    EXPECT_EQ(lastFile.count("\r\n"), 39);
    EXPECT_TRUE(lastFile.contains("SLCDT1\"Acme Oil\"T2\"Lease Name\""));
}

TEST_F(LifecycleTest, AnUnwritableLastFileStillClosesThePortAndSavesItsSettings) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("lastfile.txt"));
    ProgramRun run(dir.path());
    ASSERT_TRUE(run.lifecycle->startUp());
    run.library.clearCalls();

    const QStringList problems = run.lifecycle->shutDown();

    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems.first().startsWith("lastfile.txt"));
    EXPECT_EQ(run.library.calls(), QStringList{"UnInitializePort 0"});
    EXPECT_EQ(contents("COM.DAT"), QByteArray("\x00\x00", 2));
    EXPECT_EQ(contents("UART.DAT").size(), 196);
}

TEST_F(LifecycleTest, ShutdownRunsOnlyOnce) {
    ProgramRun run(dir.path());
    ASSERT_TRUE(run.lifecycle->startUp());
    run.lifecycle->shutDown();
    QFile::remove(dir.filePath("lastfile.txt"));
    run.library.clearCalls();

    EXPECT_TRUE(run.lifecycle->hasShutDown());
    EXPECT_TRUE(run.lifecycle->shutDown().isEmpty());
    EXPECT_TRUE(run.library.calls().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("lastfile.txt")));
}

TEST_F(LifecycleTest, TheLastFileUsesAPointUnderACommaLocale) {
    const CommaDecimalLocale german;
    ProgramRun run(dir.path());
    ASSERT_TRUE(run.lifecycle->startUp());
    run.lifecycle->shutDown();

    const QByteArray lastFile = contents("lastfile.txt");
    EXPECT_TRUE(lastFile.contains("L0IT0F1.6700E\r\n"));
    EXPECT_TRUE(lastFile.contains("S420C1U99L1V4M0.000V20M239.500\r\n"));
    EXPECT_FALSE(lastFile.contains(','));
}

} // namespace
} // namespace rtu
