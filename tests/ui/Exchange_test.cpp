#include "GuiTestSupport.h"

#include "config/ConfigurationFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    // Starts the program on the simulated unit's port.
    RtuForm& startOnUnit() {
        writeFile("COM.dat", QByteArray("\x01\x00", 2));
        RtuForm& rtu = startProgram();
        EXPECT_EQ(rtu.session().link.CurrentPort, UnitPort);
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

TEST_F(ExchangeTest, ReadAllFillsTheWindowFromTheUnitAndShowsProgress) {
    loadSite();
    RtuForm& rtu = startOnUnit();

    click("Command2"); // Read All

    EXPECT_EQ(server->requestCount(), 39);
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "NORTHFIELD OIL & GAS");
    EXPECT_EQ(control<QLineEdit>("Text1_1")->text(), "WEST RIDGE LEASE #14");
    EXPECT_EQ(control<QLabel>("Label8_0")->text(), "00");
    EXPECT_EQ(control<QLabel>("Label8_1")->text(), "15");
    EXPECT_EQ(control<QScrollBar>("VScroll3")->value(), 15);
    EXPECT_EQ(control<QLabel>("Label8_3")->text(), "05");
    EXPECT_EQ(control<QLabel>("Label8_4")->text(), "03");
    EXPECT_TRUE(control<QLabel>("Label2_2")->text().contains("7350-2.14"));
    const RecordTables& tables = rtu.session().tables;
    EXPECT_EQ(tables.SensorRecords[5].Label.text(), "GUN BARREL");
    EXPECT_EQ(tables.G4Records[2].Unit.text(), "6 ");
    EXPECT_EQ(tables.Loop420Records[3].Source.text(), "T");

    EXPECT_TRUE(statusMessages.contains(QStringLiteral("Reading tank 07 \u2014 12 of 39")));
    EXPECT_EQ(statusMessages.last(), "Read All finished: 39 of 39 lines answered");
    EXPECT_TRUE(screenText().contains("GU15\r\n"));
    EXPECT_TRUE(notifier.messages.empty());
    expectIdle(rtu);
}

TEST_F(ExchangeTest, ProgramAllSendsEveryGroupInOrder) {
    RtuForm& rtu = startProgram(); // COM1: the test reads the lines
    QObject::connect(rtu.statusBar(), &QStatusBar::messageChanged,
                     [this](const QString& message) { statusMessages << message; });
    com1.readFor(50);

    click("Command1"); // Program All

    const QList<QByteArray> lines = com1.readFor(5000, 800).split('\n');
    ASSERT_EQ(lines.size(), 40);
    EXPECT_TRUE(lines[0].startsWith("SRTCT"));
    EXPECT_EQ(lines[5], "SU00\"TANK 01   \"L0IT0F1.6700E\r");
    EXPECT_TRUE(lines[21].startsWith("SG40U99"));
    EXPECT_TRUE(lines[38].startsWith("S420C8U99"));
    EXPECT_TRUE(statusMessages.contains(QStringLiteral("Programming tank 00 \u2014 5 of 39")));
    EXPECT_EQ(statusMessages.last(), "Program All finished: 39 lines sent");
    expectIdle(rtu);
}

TEST_F(ExchangeTest, AUnitUnpluggedDuringReadAllEndsTheReadOrderly) {
    ServerOptions options;
    options.hangupAfter = 10;
    startUnit(options);
    loadSite();
    RtuForm& rtu = startOnUnit();

    click("Command2");

    EXPECT_LE(server->requestCount(), 11);
    EXPECT_EQ(rtu.session().link.CurrentPort, NoPort);
    EXPECT_TRUE(screenText().contains("Port COM2 lost"));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_TRUE(notifier.messages[0].text.startsWith("Read All stopped"));
    EXPECT_TRUE(checkedEntries("ComPortSet").isEmpty());
    // What was read before the loss stays.
    EXPECT_EQ(control<QLineEdit>("Text1_0")->text(), "NORTHFIELD OIL & GAS");
    expectIdle(rtu);
    ASSERT_TRUE(waitUntil([&] { return !control<QPushButton>("Command2")->isEnabled(); }));
    EXPECT_FALSE(control<QPushButton>("Command1")->isEnabled());
    EXPECT_TRUE(rtu.terminal().panelText(2).isEmpty());

    // The operator plugs a unit in again and picks the port: it opens.
    startUnit({});
    action("ComPortSet_1")->trigger();
    EXPECT_EQ(rtu.session().link.CurrentPort, UnitPort);
    EXPECT_TRUE(screenText().endsWith("Initialize Port Status = OK\r\n"));
}

TEST_F(ExchangeTest, ClosingDuringAnExchangeWaitsForItsEnd) {
    loadSite();
    RtuForm& rtu = startOnUnit();
    bool closedDuringBatch = false;
    bool stillRunning = false;
    QTimer::singleShot(200, &rtu, [&] {
        closedDuringBatch = !rtu.isEnabled(); // the batch has the window locked
        rtu.terminal().close();
        stillRunning = rtu.isVisible() && rtu.terminal().isVisible() && !rtu.hasShutDown();
    });

    click("Command2");

    EXPECT_TRUE(closedDuringBatch);
    EXPECT_TRUE(stillRunning);
    // The read ran to its end before the program went down.
    EXPECT_EQ(server->requestCount(), 39);
    EXPECT_EQ(rtu.session().panel.text1(1), "WEST RIDGE LEASE #14");
    ASSERT_TRUE(waitUntil([&] { return rtu.hasShutDown(); }));
    EXPECT_FALSE(rtu.isVisible());
    EXPECT_FALSE(rtu.terminal().isVisible());
    EXPECT_EQ(readFile("COM.dat"), QByteArray("\x01\x00", 2));
    EXPECT_TRUE(readFile("lastfile.txt").contains("SLCDT1\"NORTHFIELD OIL & GAS\""));
}

} // namespace
} // namespace rtu::test
