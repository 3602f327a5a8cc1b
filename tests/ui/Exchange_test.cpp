#include "GuiTestSupport.h"

#include "config/ConfigurationFile.h"

#include "ui/Widgets.h"
#include <QLabel>
#include <QLineEdit>

#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

namespace rtu::test {
namespace {

// What the exchanges send and store is tested with UnitCommands; these tests cover what
// the windows add: locking, the status bar, message boxes, the controls filled.
class ExchangeTest : public GuiTest {
protected:
    // Starts the program on the simulated unit's port (else on COM1) and records its
    // status line.
    RtuForm& start(bool onUnit = true) {
        if (onUnit)
            writeFile("COM.dat", QByteArray("\x01\x00", 2));
        RtuForm& rtu = startProgram();
        QObject::connect(rtu.statusBar(), &QStatusBar::messageChanged,
                         [this](const QString& message) { statusMessages << message; });
        return rtu;
    }
    void loadSite() {
        ASSERT_TRUE(LoadConfiguration("SLCD05R03\r\nSLCDT1\"NORTHFIELD OIL & GAS\"T2\"X\"\r\n"
                                      "SPP900\r\n",
                                      unit->settings(), unit->tables())
                        .ok);
        unit->setVersion("7350-2.14");
    }
    void expectIdle(RtuForm& rtu) {
        EXPECT_EQ(rtu.terminal().rtsLed().colour(), BatchUi::RtsLedWhite);
        EXPECT_TRUE(rtu.isEnabled());
        EXPECT_TRUE(rtu.terminal().isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    QStringList statusMessages;
};

// Closing a window while the read runs must not tear the program down under it: the close
// takes effect once the read has ended.
TEST_F(ExchangeTest, ReadAllFillsTheWindowShowsProgressAndHoldsOffAClose) {
    loadSite();
    RtuForm& rtu = start();
    bool lockedDuringBatch = false;
    bool stillRunning = false;
    QTimer::singleShot(200, &rtu, [&] {
        lockedDuringBatch = !rtu.isEnabled() && !rtu.terminal().isEnabled();
        rtu.terminal().close();
        stillRunning = rtu.isVisible() && rtu.terminal().isVisible() && !rtu.hasShutDown();
    });

    click("Command2"); // Read All

    EXPECT_TRUE(lockedDuringBatch);
    EXPECT_TRUE(stillRunning);
    EXPECT_EQ(server->requestCount(), 39);
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "NORTHFIELD OIL & GAS");
    EXPECT_EQ(control<QLabel>("Label8_1")->text(), "15");
    EXPECT_EQ(control<CountingBar>("VScroll6")->count(), 3);
    EXPECT_TRUE(control<QLabel>("Label2_2")->text().contains("7350-2.14"));
    EXPECT_TRUE(statusMessages.contains(QStringLiteral("Reading tank 07 \u2014 12 of 39")));
    EXPECT_EQ(statusMessages.last(), "Read All finished: 39 of 39 lines answered");
    EXPECT_TRUE(notifier.messages.empty());

    ASSERT_TRUE(waitUntil([&] { return rtu.hasShutDown(); }));
    EXPECT_FALSE(rtu.isVisible());
    EXPECT_FALSE(rtu.terminal().isVisible());
}

TEST_F(ExchangeTest, ProgramAllReportsItsOutcomeInTheStatusBar) {
    RtuForm& rtu = start(false); // COM1: nothing answers, nothing needs to

    click("Command1"); // Program All

    EXPECT_TRUE(statusMessages.contains(QStringLiteral("Programming tank 00 \u2014 5 of 39")));
    EXPECT_EQ(statusMessages.last(), "Program All finished: 39 lines sent");
    expectIdle(rtu);
}

TEST_F(ExchangeTest, AUnitUnpluggedDuringReadAllEndsTheReadOrderly) {
    startUnit({.hangupAfter = 10});
    loadSite();
    RtuForm& rtu = start();

    click("Command2");

    EXPECT_LE(server->requestCount(), 11);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_TRUE(notifier.messages[0].text.startsWith("Read All stopped"));
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
    // What was read before the loss stays.
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "NORTHFIELD OIL & GAS");
    expectIdle(rtu);
    ASSERT_TRUE(waitUntil([&] { return portControlsEnabled() == QList<bool>(3, false); }));

    // The operator plugs a unit in again and picks the port: it opens.
    startUnit({});
    action("ComPortSet_1")->trigger();
    EXPECT_EQ(rtu.session().link.CurrentPort, UnitPort);
}

} // namespace
} // namespace rtu::test
