#include "serial/PortSelection.h"

#include "serial/FakeSerialLibrary.h"
#include "serial/LinkState.h"
#include "serial/TerminalScreen.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace rtu {
namespace {

// The port menus' check marks as sets of checked indexes.
class RecordingMenus : public PortMenus {
public:
    void setChecked(PortMenu menu, int index, bool checked) override {
        if (checked)
            marks[menu].insert(index);
        else
            marks[menu].erase(index);
    }
    std::set<int> checked(PortMenu menu) const {
        const auto found = marks.find(menu);
        return found == marks.end() ? std::set<int>{} : found->second;
    }
    bool nothingChecked() const {
        for (const auto& [menu, indexes] : marks)
            if (!indexes.empty())
                return false;
        return true;
    }
    std::map<PortMenu, std::set<int>> marks;
};

class PortSelectionTest : public ::testing::Test {
protected:
    // The line settings a freshly opened port reports: 2400 baud, even parity, 7 bits,
    // 2 stop bits, "NONNON".
    void SetUp() override { library.setReportedCodes(5, 2, 2, 1, 4); }

    QStringList screenLines() const {
        QStringList lines = screen.text().split(QStringLiteral("\r\n"));
        lines.removeLast(); // every message ends in CR LF
        return lines;
    }

    void expectOnlyMarks(std::set<int> port, std::set<int> baud, std::set<int> parity,
                         std::set<int> length, std::set<int> stopBits, std::set<int> protocol) {
        EXPECT_EQ(menus.checked(PortMenu::ComPortSet), port);
        EXPECT_EQ(menus.checked(PortMenu::Baud), baud);
        EXPECT_EQ(menus.checked(PortMenu::Parity), parity);
        EXPECT_EQ(menus.checked(PortMenu::Length), length);
        EXPECT_EQ(menus.checked(PortMenu::StopBits), stopBits);
        EXPECT_EQ(menus.checked(PortMenu::LineProtocol), protocol);
    }

    FakeSerialLibrary library;
    LinkState link;
    TextTerminalScreen screen;
    RecordingMenus menus;
    PortSelection ports{library, link, screen, menus};
};

TEST_F(PortSelectionTest, OpeningTakesTheReportedSettingsAndChecksThem) {
    ports.SelectPort(0);

    EXPECT_EQ(link.CurrentPort, 0);
    EXPECT_EQ(screenLines(), QStringList{QStringLiteral("Initialize Port Status = OK")});
    EXPECT_EQ(library.calls(), (QStringList{QStringLiteral("InitializePort 0"),
                                            QStringLiteral("ser_rs232_getport 0"),
                                            QStringLiteral("SetPortCharacteristics 0 5 2 2 1 4")}));
    expectOnlyMarks({0}, {5}, {2}, {2}, {1}, {4});
}

TEST_F(PortSelectionTest, SwitchingPortsClosesTheOldOneAndMovesTheMarks) {
    ports.SelectPort(0);
    ports.BaudClick(8); // a setting of COM1 that COM2 does not report
    library.clearCalls();
    screen.setText(QString());

    ports.SelectPort(1);

    EXPECT_EQ(screenLines(), (QStringList{QStringLiteral("Uninitialize Port Status = OK"),
                                          QStringLiteral("Initialize Port Status = OK")}));
    EXPECT_EQ(library.calls().first(), QStringLiteral("UnInitializePort 0"));
    EXPECT_EQ(link.CurrentPort, 1);
    expectOnlyMarks({1}, {5}, {2}, {2}, {1}, {4});
}

TEST_F(PortSelectionTest, ReselectingTheOpenPortReopensIt) {
    ports.SelectPort(2);
    library.clearCalls();

    ports.SelectPort(2);

    EXPECT_EQ(library.calls().mid(0, 2), (QStringList{QStringLiteral("UnInitializePort 2"),
                                                      QStringLiteral("InitializePort 2")}));
    expectOnlyMarks({2}, {5}, {2}, {2}, {1}, {4});
}

TEST_F(PortSelectionTest, APortThatCannotBeOpenedLeavesNoPortAndNoMarks) {
    ports.SelectPort(0);
    library.setOpenResult(3, 7);

    ports.SelectPort(3);

    EXPECT_EQ(link.CurrentPort, NoPort);
    EXPECT_EQ(screenLines().last(), QStringLiteral("Initialize Port Status = Failure"));
    // The settings still go to the library, which refuses them for port -1.
    EXPECT_EQ(library.calls().last(), QStringLiteral("SetPortCharacteristics -1 5 2 2 1 4"));
    EXPECT_TRUE(menus.nothingChecked());

    const PortStatus status = ports.RefreshPortStatus(QTime(9, 5, 3));
    EXPECT_FALSE(status.portControlsEnabled);
    EXPECT_EQ(status.panels[0], QStringLiteral("09:05:03"));
    for (int panel = 1; panel < PortStatus::PanelCount; ++panel)
        EXPECT_TRUE(status.panels[std::size_t(panel)].isEmpty()) << "panel " << panel + 1;
}

TEST_F(PortSelectionTest, AFailedCloseIsReportedAndTheNewPortStillOpens) {
    ports.SelectPort(0);
    library.setCloseResult(1);

    ports.SelectPort(4);

    EXPECT_EQ(screenLines().mid(1),
              (QStringList{QStringLiteral("Uninitialize Port Status = Failure"),
                           QStringLiteral("Initialize Port Status = OK")}));
    EXPECT_EQ(link.CurrentPort, 4);
    EXPECT_EQ(menus.checked(PortMenu::ComPortSet), std::set<int>{4});
}

TEST_F(PortSelectionTest, RefusedSettingsAddNoMarks) {
    library.setCharacteristicsResult(4);
    ports.SelectPort(1);

    // InitPort checked the reported settings; ApplyLineSettings added nothing, not even
    // the port's own entry.
    expectOnlyMarks({}, {5}, {2}, {2}, {1}, {4});
    EXPECT_EQ(screen.text(), QStringLiteral("Initialize Port Status = OK\r\n"));

    ports.ParityClick(1);
    EXPECT_EQ(link.PortRecord.ParityCode(), 1); // the refused code is kept
    expectOnlyMarks({}, {5}, {1}, {2}, {1}, {4});
}

TEST_F(PortSelectionTest, SettingHandlersStoreTheCodeAndMoveTheirMark) {
    ports.SelectPort(0);
    library.clearCalls();

    ports.BaudClick(8);
    EXPECT_EQ(link.PortRecord.BaudCode(), 8);
    EXPECT_EQ(library.calls().last(), QStringLiteral("SetPortCharacteristics 0 8 2 2 1 4"));
    EXPECT_EQ(ports.RefreshPortStatus(QTime(12, 0)).panels[2], QStringLiteral("19.2K Baud"));

    ports.ParityClick(0);
    ports.LengthClick(3);
    ports.StopBitsClick(0);
    ports.LineProtocolClick(7);
    EXPECT_EQ(library.calls().last(), QStringLiteral("SetPortCharacteristics 0 8 0 3 0 7"));
    expectOnlyMarks({0}, {8}, {0}, {3}, {0}, {7});

    const PortStatus status = ports.RefreshPortStatus(QTime(23, 59, 59));
    EXPECT_TRUE(status.portControlsEnabled);
    const std::array<QString, PortStatus::PanelCount> expected{
        QStringLiteral("23:59:59"), QStringLiteral("COM1"),   QStringLiteral("19.2K Baud"),
        QStringLiteral("None"),     QStringLiteral("8 Bits"), QStringLiteral("1 Stop Bit"),
        QStringLiteral("XONXON")};
    EXPECT_EQ(status.panels, expected);
}

TEST_F(PortSelectionTest, CodesWithoutAMenuEntryShowEmptyPanels) {
    ports.SelectPort(0);
    link.PortRecord.setBaudCode(40);
    link.PortRecord.setProtocolCode(-3);

    const PortStatus status = ports.RefreshPortStatus(QTime(1, 2, 3));

    EXPECT_TRUE(status.panels[2].isEmpty());
    EXPECT_TRUE(status.panels[6].isEmpty());
    EXPECT_EQ(status.panels[3], QStringLiteral("Even"));
}

TEST_F(PortSelectionTest, ALostPortCountsAsClosedUntilPickedAgain) {
    ports.SelectPort(1);
    library.clearCalls();

    emit library.portLost(1);

    EXPECT_EQ(link.CurrentPort, NoPort);
    EXPECT_EQ(screenLines().size(), 2);
    EXPECT_TRUE(screenLines().last().contains(QStringLiteral("COM2")));
    EXPECT_TRUE(screenLines().last().contains(QStringLiteral("lost")));
    EXPECT_TRUE(menus.nothingChecked());
    EXPECT_EQ(library.calls(), QStringList{QStringLiteral("UnInitializePort 1")});
    EXPECT_FALSE(ports.RefreshPortStatus(QTime(0, 0)).portControlsEnabled);

    // Picking the port again opens it without closing anything first.
    library.clearCalls();
    ports.SelectPort(1);
    EXPECT_EQ(library.calls().first(), QStringLiteral("InitializePort 1"));
    EXPECT_EQ(link.CurrentPort, 1);
    expectOnlyMarks({1}, {5}, {2}, {2}, {1}, {4});
}

TEST_F(PortSelectionTest, ALossReportedForAnotherPortIsIgnored) {
    ports.SelectPort(0);
    const QString before = screen.text();

    emit library.portLost(3);
    emit library.portLost(NoPort);

    EXPECT_EQ(link.CurrentPort, 0);
    EXPECT_EQ(screen.text(), before);
}

} // namespace
} // namespace rtu
