#include "GuiTestSupport.h"

#include "config/ConfigurationFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

namespace rtu::test {
namespace {

// A site unlike the defaults in every group the main window shows.
const QByteArray Site = "SLCD05R03\r\n"
                        "SLCDT1\"NORTHFIELD OIL & GAS\"T2\"WEST RIDGE LEASE #14\"\r\n"
                        "SPP900\r\n"
                        "SU05\"GUN BARREL\"L2IT1F2.5000E\r\n"
                        "SG42U06T1ONGT140.000OFFLT135.500\r\n"
                        "S420C3U06T1V4M32.000V20M212.000\r\n";

class ExchangeTest : public GuiTest {
protected:
    void loadSite() {
        ASSERT_TRUE(LoadConfiguration(Site, unit->settings(), unit->tables()).ok);
        unit->setVersion("7350-2.14");
    }
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
TEST_F(ExchangeTest, ReadAllFillsTheWindowFromTheUnitShowsProgressAndHoldsOffAClose) {
    loadSite();
    RtuForm& rtu = start();
    bool lockedDuringBatch = false;
    bool stillRunning = false;
    QTimer::singleShot(200, &rtu, [&] {
        lockedDuringBatch = !rtu.isEnabled();
        rtu.terminal().close();
        stillRunning = rtu.isVisible() && rtu.terminal().isVisible() && !rtu.hasShutDown();
    });

    click("Command2"); // Read All

    EXPECT_TRUE(lockedDuringBatch);
    EXPECT_TRUE(stillRunning);
    EXPECT_EQ(server->requestCount(), 39);
    const std::pair<const char*, const char*> shown[] = {{"Text1_0", "NORTHFIELD OIL & GAS"},
                                                         {"Text1_1", "WEST RIDGE LEASE #14"},
                                                         {"Label8_0", "00"},
                                                         {"Label8_1", "15"},
                                                         {"Label8_3", "05"},
                                                         {"Label8_4", "03"}};
    for (const auto& [name, text] : shown)
        EXPECT_EQ(control<QWidget>(name)->property("text").toString(), text) << name;
    EXPECT_EQ(control<QScrollBar>("VScroll3")->value(), 15);
    EXPECT_TRUE(control<QLabel>("Label2_2")->text().contains("7350-2.14"));
    const RecordTables& tables = rtu.session().tables;
    EXPECT_EQ(tables.SensorRecords[5].Label.text(), "GUN BARREL");
    EXPECT_EQ(tables.G4Records[2].Unit.text(), "6 ");
    EXPECT_EQ(tables.Loop420Records[3].Source.text(), "T");
    EXPECT_TRUE(statusMessages.contains(QStringLiteral("Reading tank 07 \u2014 12 of 39")));
    EXPECT_EQ(statusMessages.last(), "Read All finished: 39 of 39 lines answered");
    EXPECT_TRUE(screenText().contains("GU15\r\n"));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    ASSERT_TRUE(waitUntil([&] { return rtu.hasShutDown(); }));
    EXPECT_FALSE(rtu.isVisible());
    EXPECT_FALSE(rtu.terminal().isVisible());
    EXPECT_EQ(readFile("COM.dat"), QByteArray("\x01\x00", 2));
    EXPECT_TRUE(readFile("lastfile.txt").contains("SLCDT1\"NORTHFIELD OIL & GAS\""));
}

TEST_F(ExchangeTest, ProgramAllSendsEveryGroupInOrder) {
    RtuForm& rtu = start(false); // COM1: the test reads the lines
    com1.readFor(50);

    click("Command1"); // Program All

    const QList<QByteArray> lines = com1.readFor(5000, 800).split('\n');
    ASSERT_EQ(lines.size(), 40);
    EXPECT_TRUE(lines[0].startsWith("SRTCT"));
    EXPECT_EQ(lines[5], "SU00\"TANK 01   \"L0IT0F1.6700E\r");
    EXPECT_TRUE(lines[38].startsWith("S420C8U99"));
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
    EXPECT_EQ(rtu.session().link.CurrentPort, NoPort);
    EXPECT_TRUE(screenText().contains("Port COM2 lost"));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_TRUE(notifier.messages[0].text.startsWith("Read All stopped"));
    EXPECT_TRUE(checkedEntries({"ComPortSet"}).isEmpty());
    // What was read before the loss stays.
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "NORTHFIELD OIL & GAS");
    expectIdle(rtu);
    ASSERT_TRUE(waitUntil([&] {
        return portControlsEnabled() == QList<bool>{false, false, false};
    }));
    EXPECT_TRUE(rtu.terminal().panelText(2).isEmpty());

    // The operator plugs a unit in again and picks the port: it opens.
    startUnit({});
    action("ComPortSet_1")->trigger();
    EXPECT_EQ(rtu.session().link.CurrentPort, UnitPort);
    EXPECT_TRUE(screenText().endsWith("Initialize Port Status = OK\r\n"));
}

} // namespace
} // namespace rtu::test
