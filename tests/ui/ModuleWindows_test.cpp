#include "GuiTestSupport.h"

#include "ui/ModuleWindows.h"
#include "ui/Widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>

namespace rtu::test {
namespace {

class ModuleWindowsTest : public GuiTest {
protected:
    // The operator moves a bar to `count` (the bar runs on the negated count).
    static void setCount(CountingBar* bar, int count) { bar->setValue(-count); }
    // Opens a module window from the main window's menu.
    QWidget* open(const QString& entry, const QString& windowName) {
        action(entry)->trigger();
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == windowName && w->isVisible())
                window = w;
        }
        EXPECT_NE(window, nullptr) << "no window " << windowName.toStdString();
        return window;
    }
    // The lines the program sent on COM1, whose far end the test plays.
    QStringList linesOnCom1(int expected) {
        QByteArray bytes;
        waitUntil([&] {
            bytes += com1.readAvailable();
            return bytes.count("\r\n") >= expected;
        });
        QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
    static QStringList prefixes(const QStringList& lines, int length) {
        QStringList result;
        for (const QString& line : lines)
            result << line.left(length);
        return result;
    }
};

TEST_F(ModuleWindowsTest, SensorsProgramTheSelectedTankOrAllAndHideFramesWithoutFloats) {
    RtuForm& rtu = startProgram();
    const QRect place = rtu.geometry();
    QWidget* sensors = open("Sensors", "ConfigSensors");
    ASSERT_NE(sensors, nullptr);
    EXPECT_FALSE(rtu.isVisible());
    EXPECT_EQ(sensors->geometry(), place);
    EXPECT_EQ(sensors->windowTitle(), "Sensors");

    control<QTabBar>("TabStrip1", sensors)->setCurrentIndex(7);
    click("Command1", sensors);
    EXPECT_EQ(prefixes(linesOnCom1(1), 4), QStringList{"SU07"});
    QTest::mouseClick(control<QCheckBox>("Check1", sensors), Qt::LeftButton);
    click("Command1", sensors);
    const QStringList all = prefixes(linesOnCom1(16), 4);
    ASSERT_EQ(all.size(), 16);
    EXPECT_EQ(all.front(), "SU00");
    EXPECT_EQ(all.back(), "SU15");

    setCount(control<CountingBar>("VScroll1", sensors), 1);
    EXPECT_FALSE(control<QGroupBox>("Frame2", sensors)->isHidden());
    setCount(control<CountingBar>("VScroll1", sensors), 0);
    EXPECT_TRUE(control<QGroupBox>("Frame2", sensors)->isHidden());
    EXPECT_TRUE(control<QGroupBox>("Frame4", sensors)->isHidden());
    EXPECT_EQ(form->session().tables.SensorRecords[7].Floats.text(), "0");
}

TEST_F(ModuleWindowsTest, G4ProgremAllSendsTenLinesAndLeavesRtsLow) {
    RtuForm& rtu = startProgram();
    QWidget* g4 = open("G4", "ConfigG4");
    ASSERT_NE(g4, nullptr);
    QTest::mouseClick(control<QCheckBox>("Check1", g4), Qt::LeftButton);
    EXPECT_EQ(control<QCheckBox>("Check1", g4)->text(), "Progrem All");
    click("Command1", g4);
    const QStringList lines = prefixes(linesOnCom1(10), 4);
    EXPECT_EQ(lines, (QStringList{"SG40", "SG41", "SG42", "SG43", "SG44", "SG45", "SG46", "SG47",
                                  "SG48", "SG49"}));
    EXPECT_EQ(rtu.terminal().rtsLed().colour(), BatchUi::RtsLedWhite);
    EXPECT_TRUE(g4->isEnabled());
    EXPECT_TRUE(rtu.terminal().isEnabled());
}

TEST_F(ModuleWindowsTest, ExitAndTheCloseBoxBothBringTheMainWindowBackInPlace) {
    RtuForm& rtu = startProgram();
    const QRect place = rtu.geometry();
    QWidget* loop = open("a4_20mA", "Config4_20mA");
    ASSERT_NE(loop, nullptr);
    click("Command4", loop);
    EXPECT_TRUE(rtu.isVisible());
    EXPECT_EQ(rtu.geometry(), place);
    QWidget* sensors = open("Sensors", "ConfigSensors");
    ASSERT_NE(sensors, nullptr);
    sensors->close();
    EXPECT_TRUE(rtu.isVisible());
    EXPECT_EQ(rtu.geometry(), place);
}

TEST_F(ModuleWindowsTest, ClosingTheTerminalWithAModuleWindowOpenEndsTheProgram) {
    RtuForm& rtu = startProgram();
    QWidget* g4 = open("G4", "ConfigG4");
    ASSERT_NE(g4, nullptr);
    rtu.terminal().close();
    EXPECT_TRUE(rtu.hasShutDown());
    EXPECT_FALSE(rtu.isVisible()) << "the main window is not shown again on the way out";
    // Start-up created both files empty; the shutdown wrote COM1 and its settings into them.
    EXPECT_EQ(readFile("COM.dat"), QByteArray(2, '\0'));
    EXPECT_EQ(readFile("uart.dat").size(), 196);
}

// Over the simulated unit: an edit in each window reaches the unit with "Program", and a
// change in the unit reaches the window with "Read".
TEST_F(ModuleWindowsTest, EachWindowProgramsAndReadsTheSimulatedUnit) {
    writeFile("COM.dat", QByteArray("\x01\x00", 2));
    startProgram();

    QWidget* sensors = open("Sensors", "ConfigSensors");
    ASSERT_NE(sensors, nullptr);
    control<QTabBar>("TabStrip1", sensors)->setCurrentIndex(4);
    QLineEdit* label = control<QLineEdit>("Text1", sensors);
    label->selectAll();
    QTest::keyClicks(label, "CRUDE 4");
    click("Command1", sensors);
    EXPECT_EQ(unit->tables().SensorRecords[4].Label.text(), "CRUDE 4   ");
    unit->tables().SensorRecords[4].Label = "WATER";
    click("Command2", sensors);
    EXPECT_EQ(label->text(), "WATER     ");
    click("Command3", sensors);

    QWidget* g4 = open("G4", "ConfigG4");
    ASSERT_NE(g4, nullptr);
    control<QTabBar>("TabStrip1", g4)->setCurrentIndex(2);
    setCount(control<CountingBar>("VScroll1", g4), 6);
    QLineEdit* onValue = control<QLineEdit>("Text1", g4);
    onValue->selectAll();
    QTest::keyClicks(onValue, "12.5");
    click("Command1", g4);
    EXPECT_EQ(unit->tables().G4Records[2].Unit.text(), "6 ");
    EXPECT_EQ(unit->tables().G4Records[2].OnValue.text().toDouble(), 12.5);
    unit->tables().G4Records[2].Unit = "9";
    click("Command2", g4);
    EXPECT_EQ(control<QLabel>("Label2", g4)->text(), "09");
    click("Command4", g4);

    QWidget* loop = open("a4_20mA", "Config4_20mA");
    ASSERT_NE(loop, nullptr);
    setCount(control<CountingBar>("VScroll1", loop), 3);
    QTest::mouseClick(control<QWidget>("Option2", loop), Qt::LeftButton);
    click("Command1", loop);
    EXPECT_EQ(unit->tables().Loop420Records[1].Unit.text(), "3 ");
    EXPECT_EQ(unit->tables().Loop420Records[1].Source.text(), "T");
    unit->tables().Loop420Records[1].Value20mA = "250";
    click("Command2", loop);
    EXPECT_EQ(control<QLineEdit>("Text2", loop)->text().trimmed(), "250");
    EXPECT_EQ(control<QLabel>("StatusLine", loop)->text(), "Read 4-20mA module 1");
}

} // namespace
} // namespace rtu::test
