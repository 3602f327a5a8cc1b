#include "app/PortSelection.h"

#include "serial/LinkState.h"
#include "serial/TerminalScreen.h"
#include "support/FakeSerialLibrary.h"
#include "support/RecordingMenus.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// The marks of the given port (none for NoPort) and line settings.
Marks marksFor(PortId port, int baud, int parity, int length, int stopBits, int protocol) {
    Marks marks{{PortMenu::Baud, baud}, {PortMenu::Parity, parity}, {PortMenu::Length, length}};
    marks.insert({{PortMenu::StopBits, stopBits}, {PortMenu::LineProtocol, protocol}});
    if (port != NoPort)
        marks.insert({PortMenu::ComPortSet, port});
    return marks;
}

std::array<int, 3> lineColours(const PortStatus& status) {
    return {status.modemLines[0].colour, status.modemLines[1].colour, status.modemLines[2].colour};
}

class PortSelectionTest : public ::testing::Test {
protected:
    // A freshly opened port reports 2400 baud, even parity, 7 bits, 2 stop bits, "NONNON".
    void SetUp() override { library.setReportedCodes(5, 2, 2, 1, 4); }

    // Every message ends in CR LF.
    QStringList screenLines() const { return screen.text().chopped(2).split("\r\n"); }

    FakeSerialLibrary library;
    LinkState link;
    TextTerminalScreen screen;
    RecordingMenus menus;
    PortSelection ports{library, link, screen, menus};
};

TEST_F(PortSelectionTest, SelectingClosesTheOldPortAndChecksTheNewOnesSettingsIfItOpens) {
    ports.SelectPort(0);
    EXPECT_EQ(link.CurrentPort, 0);
    EXPECT_EQ(screenLines(), QStringList({"Initialize Port Status = OK"}));
    EXPECT_EQ(library.calls(), QStringList({"InitializePort 0", "ser_rs232_getport 0",
                                            "SetPortCharacteristics 0 5 2 2 1 4"}));
    EXPECT_EQ(menus.marks, marksFor(0, 5, 2, 2, 1, 4));

    ports.LineSettingClick(PortMenu::Baud, 8); // a setting of COM1 that COM2 does not report
    ports.SelectPort(1);
    EXPECT_EQ(screenLines().mid(1),
              QStringList({"Uninitialize Port Status = OK", "Initialize Port Status = OK"}));
    EXPECT_EQ(link.CurrentPort, 1);
    EXPECT_EQ(menus.marks, marksFor(1, 5, 2, 2, 1, 4));

    library.clearCalls();
    ports.SelectPort(1);
    EXPECT_EQ(library.calls().mid(0, 2), QStringList({"UnInitializePort 1", "InitializePort 1"}))
        << "reselecting the open port reopens it";

    // A failed close is reported and the new port still opens.
    library.closeResult = 1;
    ports.SelectPort(4);
    EXPECT_EQ(screenLines().mid(5),
              QStringList({"Uninitialize Port Status = Failure", "Initialize Port Status = OK"}));
    EXPECT_EQ(link.CurrentPort, 4);
    EXPECT_EQ(menus.marks, marksFor(4, 5, 2, 2, 1, 4));

    // A port that cannot be opened leaves no port and no marks.
    library.openResults[3] = 7;
    ports.SelectPort(3);
    EXPECT_EQ(link.CurrentPort, NoPort);
    EXPECT_EQ(screenLines().last(), "Initialize Port Status = Failure");
    // The settings still go to the library, which refuses them for port -1.
    EXPECT_EQ(library.calls().last(), "SetPortCharacteristics -1 5 2 2 1 4");
    EXPECT_TRUE(menus.marks.empty());

    library.pinout = ModemLines{true, true, true};
    const PortStatus status = ports.RefreshPortStatus(QTime(9, 5, 3));
    EXPECT_FALSE(status.portControlsEnabled);
    EXPECT_EQ(lineColours(status), (std::array{LineUnknownGrey, LineUnknownGrey, LineUnknownGrey}));
    EXPECT_EQ(status.panels, (std::array<QString, PortStatus::PanelCount>{"09:05:03"}));
}

// Settings the port refuses leave it running the ones it had: the codes, the marks and the
// terminal screen say so.
TEST_F(PortSelectionTest, RefusedSettingsLeaveTheRunningOnesShown) {
    const QString refused = "The port refused these line settings; it keeps 2400 Baud, Even, "
                            "7 Bits, 2 StopBits, NONNON";
    library.characteristicsResult = 4;
    ports.SelectPort(1);
    // The port's own entry is not marked: its settings were refused.
    EXPECT_EQ(menus.marks, marksFor(NoPort, 5, 2, 2, 1, 4));
    EXPECT_EQ(screenLines(), QStringList({"Initialize Port Status = OK", refused}));

    ports.LineSettingClick(PortMenu::Parity, 1);
    EXPECT_EQ(link.PortRecord.ParityCode(), 2);
    EXPECT_EQ(menus.marks, marksFor(NoPort, 5, 2, 2, 1, 4));
    EXPECT_EQ(screenLines().last(), refused);
}

// A line protocol the port cannot carry gives way to the nearest one.
TEST_F(PortSelectionTest, SettingClicksStoreTheCodeMoveTheMarkAndShowInTheStatus) {
    library.nearestProtocol = [](std::int16_t code) { return code == 1 ? std::int16_t(0) : code; };
    ports.SelectPort(0);
    ports.LineSettingClick(PortMenu::LineProtocol, 1);
    EXPECT_EQ(link.PortRecord.ProtocolCode(), 0);
    EXPECT_EQ(library.calls().last(), "SetPortCharacteristics 0 5 2 2 1 0");
    EXPECT_EQ(menus.marks, marksFor(0, 5, 2, 2, 1, 0));
    EXPECT_EQ(screenLines().last(),
              "Line protocol RTSXON cannot be carried out here; using RTSRTS");

    ports.LineSettingClick(PortMenu::Baud, 8);
    EXPECT_EQ(link.PortRecord.BaudCode(), 8);
    EXPECT_EQ(library.calls().last(), "SetPortCharacteristics 0 8 2 2 1 0");
    ports.LineSettingClick(PortMenu::Parity, 0);
    ports.LineSettingClick(PortMenu::Length, 3);
    ports.LineSettingClick(PortMenu::StopBits, 0);
    ports.LineSettingClick(PortMenu::LineProtocol, 7);
    EXPECT_EQ(library.calls().last(), "SetPortCharacteristics 0 8 0 3 0 7");
    EXPECT_EQ(menus.marks, marksFor(0, 8, 0, 3, 0, 7));

    library.pinout = ModemLines{true, false, true};
    PortStatus status = ports.RefreshPortStatus(QTime(23, 59, 59));
    EXPECT_TRUE(status.portControlsEnabled);
    EXPECT_EQ(lineColours(status), (std::array{LineRaisedGreen, LineLowWhite, LineRaisedGreen}));
    EXPECT_EQ(status.modemLines[1].toolTip, "Data Set Ready: off");
    EXPECT_EQ(status.panels,
              (std::array<QString, PortStatus::PanelCount>{"23:59:59", "COM1", "19.2K Baud", "None",
                                                           "8 Bits", "1 Stop Bit", "XONXON"}));

    // Codes without a menu entry show empty panels.
    link.PortRecord.setBaudCode(40);
    link.PortRecord.setProtocolCode(-3);
    status = ports.RefreshPortStatus(QTime(1, 2, 3));
    EXPECT_EQ(status.panels[2] + '|' + status.panels[3] + '|' + status.panels[6], "|None|");
}

TEST_F(PortSelectionTest, ALostPortCountsAsClosedUntilItsDeviceIsBack) {
    ports.SelectPort(1);
    const QString before = screen.text();
    emit library.portLost(3);
    emit library.portLost(NoPort);
    EXPECT_EQ(screen.text(), before) << "a loss reported for another port is ignored";

    library.clearCalls();
    emit library.portLost(1);
    EXPECT_EQ(link.CurrentPort, NoPort);
    EXPECT_EQ(screenLines().size(), 2);
    EXPECT_TRUE(screenLines().last().contains("COM2") && screenLines().last().contains("lost"));
    EXPECT_TRUE(menus.marks.empty());
    EXPECT_EQ(library.calls(), QStringList({"UnInitializePort 1"}));

    // The status tick opens it again once the device is back, without closing anything.
    ports.reopenLostPort();
    EXPECT_EQ(link.CurrentPort, NoPort) << "not while the device is away";
    EXPECT_EQ(ports.portEntryTip(1), "COM2 opens /dev/fake1 (not present)");
    library.available = true;
    EXPECT_EQ(ports.portEntryTip(1), "COM2 opens /dev/fake1 (present)");
    library.clearCalls();
    ports.reopenLostPort();
    EXPECT_EQ(library.calls().first(), "InitializePort 1");
    EXPECT_EQ(link.CurrentPort, 1);
    EXPECT_EQ(menus.marks, marksFor(1, 5, 2, 2, 1, 4));
    EXPECT_TRUE(screen.text().contains("Port COM2 is back"));
    library.clearCalls();
    ports.reopenLostPort();
    EXPECT_TRUE(library.calls().isEmpty()) << "once";
}

} // namespace
} // namespace rtu
