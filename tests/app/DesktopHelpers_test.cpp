// The widget-free helpers of the desktop program: terminal placement, read outcomes, the
// remembered devices, where data files are looked for and the termination signals.

#include "app/DataFiles.h"
#include "app/ReadOutcome.h"
#include "app/RememberedDevices.h"
#include "app/ReplyWait.h"
#include "app/ShutdownSignals.h"
#include "app/WindowPlacement.h"
#include "protocol/UnitCommands.h"
#include "support/Application.h"
#include "support/FakeSerialLibrary.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace rtu {
namespace {

// The main window 832x417 inside its frame, the terminal wanting 840x417 and needing 370x115
// besides a log of 17-pixel lines, in frames of a 30-pixel title bar and 4-pixel borders, on
// laptop screens less a panel: both windows wholly in view, apart, the log 8 lines high.
TEST(WindowPlacement, BothWindowsStayInViewApartWithTheLogEightLinesHigh) {
    const PlacementSizes sizes{{832, 417}, {840, 417}, {370, 115}, 17};
    const QMargins frame(4, 30, 4, 4);
    for (const QRect& area : {QRect(0, 0, 1366, 738), QRect(0, 0, 1280, 690),
                              QRect(0, 32, 1280, 688), QRect(0, 0, 1024, 738)}) {
        SCOPED_TRACE(area.height());
        const WindowPair pair = placeWindows(sizes, frame, area);
        EXPECT_TRUE(area.contains(pair.main) && area.contains(pair.terminal));
        EXPECT_FALSE(pair.main.intersects(pair.terminal));
        EXPECT_GE(pair.terminal.height() - 34, 115 + 8 * 17);
        EXPECT_GE(pair.terminal.width() - 8, 370);
    }
    // Where there is room, the terminal stands whole against the main window's right edge
    // with its top and height, the pair centred; without frames as ever.
    for (const QMargins& margins : {QMargins(), frame}) {
        const WindowPair pair = placeWindows(sizes, margins, QRect(0, 0, 1920, 1050));
        EXPECT_EQ(pair.terminal,
                  QRect(pair.main.topRight() + QPoint(1, 0),
                        QSize(840 + margins.left() + margins.right(), pair.main.height())));
    }
    EXPECT_EQ(placeWindows(sizes, {}, QRect(0, 0, 1920, 1050)).main.topLeft(), QPoint(124, 316));
}

// The terminal of a second screen that has become smaller no longer fits.
TEST(WindowPlacement, RememberedPlacesComeBackOnlyWhereTheyFitTheScreens) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("rtu7350.conf"), QSettings::IniFormat);
    EXPECT_FALSE(rememberedPlaces(settings));
    rememberPlaces(settings, {{QRect(1930, 40, 840, 451), QSize(832, 417)},
                              {QRect(2770, 40, 600, 451), QSize(592, 417)}});
    const std::optional<WindowPlaces> places = rememberedPlaces(settings);
    ASSERT_TRUE(places);
    EXPECT_EQ(std::tuple(places->main.size, places->terminal.frame),
              std::tuple(QSize(832, 417), QRect(2770, 40, 600, 451)));
    EXPECT_TRUE(placesFit(*places, {QRect(0, 0, 1920, 1050), QRect(1920, 0, 1920, 1050)}));
    EXPECT_FALSE(placesFit(*places, {QRect(0, 0, 1920, 1050), QRect(1920, 0, 1366, 738)}));
}

TEST(ReadOutcome, NamesWhatWentUnansweredAndSuggestsCausesWhenMostDid) {
    ReadReport report{QStringList(36, "GU00"), {"GPP", "GU05", "GG43"}};
    EXPECT_EQ(readOutcome("Read All", report).toStdString(),
              "Read All finished: 36 of 39 lines answered; no reply: poll period, tank 05, "
              "G4 module 3");
    report = {{"GV"}, QStringList(30, "G420C8")};
    EXPECT_TRUE(readOutcome("Read", report)
                    .endsWith("4-20mA module 8, 24 more (no unit on this port, the wrong port or "
                              "line speed, or a slow link that needs a longer reply wait)"));

    // A reply taken only in part names the fields that kept their values; one still
    // arriving as its wait ended names the remedy.
    report = {QStringList(36, "GU00"),
              {"GPP"},
              {"GU04", "GLCDT"},
              {{"GU04", {"factor", "volume unit"}}, {"GLCDT", {"line 2"}}},
              {"GPP"}};
    EXPECT_EQ(readOutcome("Read All", report).toStdString(),
              "Read All finished: 36 of 39 lines answered; no reply: poll period; tank 04: "
              "partly answered, kept factor and volume unit; LCD text: partly answered, kept "
              "line 2; replies are arriving after the wait: choose Reply Wait x2 or Until Reply "
              "Is In");
}

TEST(ReplyWait, SetsTheDelayUnitFactorAndThePacingOfTheLibrary) {
    FakeSerialLibrary library;
    ReplyWait wait(library);
    int changes = 0;
    QObject::connect(&wait, &ReplyWait::changed, [&] { ++changes; });
    wait.chooseWait(1);
    wait.choosePacing(1);
    EXPECT_EQ(std::tuple(library.delayUnitFactor, library.pacing),
              std::tuple(2, Pacing::UntilReply));
    wait.chooseWait(4); // no such entry: the choice stays, its marks are shown again
    EXPECT_EQ(std::tuple(wait.waitIndex(), wait.pacingIndex(), changes), std::tuple(1, 1, 3));
    wait.chooseWait(3);
    EXPECT_EQ(wait.statusText(), "Reply Wait x8, Until Reply Is In");

    // The choice comes back in the next run; a caption no list holds changes nothing.
    QTemporaryDir dir;
    QSettings settings(dir.filePath("rtu7350.conf"), QSettings::IniFormat);
    wait.remember(settings);
    ReplyWait next(library); // starts at Normal, Fixed Delays
    settings.setValue("replyWait/pacing", "Sometimes");
    next.restore(settings);
    EXPECT_EQ(next.statusText(), "Reply Wait x8, Fixed Delays");
    EXPECT_EQ(library.delayUnitFactor, 8);
}

TEST(ReadOutcome, ALostPortSaysHowFarTheActionGotAndWhatToDo) {
    EXPECT_EQ(lostPortOutcome("Read All", "read", 15).toStdString(),
              "Read All stopped, the serial port was lost: unit settings and tanks 00-09 were "
              "read; the rest still hold the values from before. Plug the adapter back in; the "
              "port reopens by itself.");
    EXPECT_TRUE(lostPortOutcome("Program All", "programmed", 27)
                    .contains(": unit settings, tanks 00-15 and G4 modules 0-5 were programmed;"));
    EXPECT_TRUE(
        lostPortOutcome("Read All", "read", 3).contains(": some of the unit settings were"));
}

TEST(RememberedDevices, ChosenDevicesComeBackInTheNextRun) {
    QTemporaryDir dir;
    const QString path = dir.filePath("rtu7350.conf");
    EXPECT_EQ(rememberedDevices(QSettings(path, QSettings::IniFormat)), PortDevices{});
    const PortDevices chosen{"/dev/serial/by-id/usb-FTDI_A1-if00-port0", "", "/dev/pts/3", "", ""};
    {
        QSettings settings(path, QSettings::IniFormat);
        rememberDevices(settings, chosen);
    }
    EXPECT_EQ(rememberedDevices(QSettings(path, QSettings::IniFormat)), chosen);
    // A device given for one run (shown for COM1) stays out; the changed COM2 goes in.
    QSettings settings(path, QSettings::IniFormat);
    rememberChangedDevices(settings, {"/dev/pts/9"}, {"/dev/pts/9", "/dev/ttyUSB1"});
    EXPECT_EQ(rememberedDevices(settings),
              (PortDevices{chosen[0], "/dev/ttyUSB1", "/dev/pts/3", "", ""}));
}

// Beside itself, then in its prefix, then in the data directories; a place named twice is
// looked at once. (The test sets the data directories for its process; nothing else in this
// test program reads them.)
TEST(DataFilesTest, AProgramLooksBesideItselfThenInItsPrefixThenInTheDataDirectories) {
    QTemporaryDir root;
    const QString r = root.path();
    qputenv("XDG_DATA_HOME", (r + "/home/.local/share").toLocal8Bit());
    qputenv("XDG_DATA_DIRS", (r + "/usr/local/share:" + r + "/usr/share").toLocal8Bit());
    EXPECT_EQ(
        dataFileCandidates(r + "/opt/rtu/bin", "site.txt"),
        (QStringList{r + "/opt/rtu/bin/site.txt", r + "/opt/rtu/share/rtu7350/site.txt",
                     r + "/home/.local/share/rtu7350/site.txt",
                     r + "/usr/local/share/rtu7350/site.txt", r + "/usr/share/rtu7350/site.txt"}));
    qputenv("XDG_DATA_DIRS", (r + "/usr/share").toLocal8Bit());
    EXPECT_EQ(dataFileCandidates(r + "/usr/bin/", "site.txt"),
              (QStringList{r + "/usr/bin/site.txt", r + "/usr/share/rtu7350/site.txt",
                           r + "/home/.local/share/rtu7350/site.txt"}));
}

// Whichever implementation the build has (signalfd, or std::signal in the portable build),
// a termination signal reaches the event loop as a request, and the process lives on.
TEST(ShutdownSignals, ARaisedTerminationSignalBecomesOneShutdownRequest) {
    test::ensureApplication();
    ShutdownSignals::blockInThisThread();
    ShutdownSignals watcher;
    ASSERT_TRUE(watcher.isActive());
    std::vector<int> requests;
    QObject::connect(&watcher, &ShutdownSignals::shutdownRequested,
                     [&](int signalNumber) { requests.push_back(signalNumber); });

    std::raise(SIGTERM);
    test::waitUntil([&] { return !requests.empty(); }, 10000);
    test::waitUntil([] { return false; }, 50); // and no second request

    EXPECT_EQ(requests, std::vector<int>{SIGTERM});
}

} // namespace
} // namespace rtu
