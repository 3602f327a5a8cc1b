#include "GuiTestSupport.h"

#include "ui/ModuleWindows.h"
#include "ui/Widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QScreen>
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
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == windowName && window->isVisible())
                return window;
        }
        ADD_FAILURE() << "no window " << windowName.toStdString();
        return nullptr;
    }
};

// Over the simulated unit: an edit in each window reaches the unit with "Program".
TEST_F(ModuleWindowsTest,
       ProgramSelectedOrAllHideFramesGiveWayBackEndWithTheTerminalAndReachTheUnit) {
    ASSERT_TRUE(writeFile("COM.dat", QByteArray("\x01\x00", 2)));
    RtuForm& rtu = startProgram();
    const QRect place = rtu.geometry();
    QWidget* sensors = open("Sensors", "ConfigSensors");
    ASSERT_NE(sensors, nullptr);
    EXPECT_FALSE(rtu.isVisible());
    EXPECT_EQ(sensors->geometry(), place);
    EXPECT_EQ(sensors->windowTitle(), "Sensors");

    setCount(control<CountingBar>("VScroll1", sensors), 1);
    EXPECT_FALSE(control<QGroupBox>("Frame2", sensors)->isHidden());
    setCount(control<CountingBar>("VScroll1", sensors), 0);
    EXPECT_TRUE(control<QGroupBox>("Frame2", sensors)->isHidden());
    EXPECT_TRUE(control<QGroupBox>("Frame4", sensors)->isHidden());
    control<QTabBar>("TabStrip1", sensors)->setCurrentIndex(4);
    QLineEdit* label = control<QLineEdit>("Text1", sensors);
    label->selectAll();
    QTest::keyClicks(label, "CRUDE 4");
    click("Command1", sensors);
    EXPECT_EQ(unit->tables().SensorRecords[4].Label.text(), "CRUDE 4   ");

    // The close box and EXIT both bring the main window back in place.
    sensors->close();
    EXPECT_TRUE(rtu.isVisible() && rtu.geometry() == place);
    QWidget* loops = open("a4_20mA", "Config4_20mA");
    ASSERT_NE(loops, nullptr);
    setCount(control<CountingBar>("VScroll1", loops), 3);
    QTest::mouseClick(control<QWidget>("Option2", loops), Qt::LeftButton);
    click("Command1", loops);
    EXPECT_EQ(unit->tables().Loop420Records[1].Unit.text(), "3 ");
    EXPECT_EQ(unit->tables().Loop420Records[1].Source.text(), "T");
    click("Command4", loops);
    EXPECT_TRUE(rtu.isVisible() && rtu.geometry() == place);

    // "Program All" (G4's "Progrem All", in the base all three share) sends every module, the
    // one edited on another tab too, and leaves RTS low.
    QWidget* g4 = open("G4", "ConfigG4");
    ASSERT_NE(g4, nullptr);
    control<QTabBar>("TabStrip1", g4)->setCurrentIndex(2);
    setCount(control<CountingBar>("VScroll1", g4), 6);
    QLineEdit* onValue = control<QLineEdit>("Text1", g4);
    onValue->selectAll();
    QTest::keyClicks(onValue, "12.5");
    control<QTabBar>("TabStrip1", g4)->setCurrentIndex(3);
    QTest::mouseClick(control<QCheckBox>("Check1", g4), Qt::LeftButton);
    EXPECT_EQ(control<QCheckBox>("Check1", g4)->text(), "Progrem All");
    click("Command1", g4);
    EXPECT_EQ(unit->tables().G4Records[2].Unit.text(), "6 ");
    EXPECT_EQ(unit->tables().G4Records[2].OnValue.text().toDouble(), 12.5);
    EXPECT_EQ(rtu.terminal().rtsLed().colour(), RtsLedWhite);
    EXPECT_TRUE(g4->isEnabled() && rtu.terminal().isEnabled());

    // Closing the terminal with a module window open ends the program; the main window is
    // not shown again on the way out.
    rtu.terminal().close();
    EXPECT_TRUE(rtu.hasShutDown());
    EXPECT_FALSE(rtu.isVisible());
}

// What the operator sees is what the unit holds: after a read, a tab switched to shows its
// own record, and paints it as the same window shown afresh on that tab paints it. The
// screen's copy is compared: QWidget::grab paints the controls anew and would miss a repaint
// never made.
TEST_F(ModuleWindowsTest, AfterAReadASwitchedTabPaintsItsOwnRecord) {
    ASSERT_TRUE(unit->loadState(RTU7350_TESTS_DIR "/../examples/site.txt").ok);
    ASSERT_TRUE(writeFile("COM.dat", QByteArray("\x01\x00", 2)));
    startProgram();
    QApplication::setCursorFlashTime(0); // a caret that blinks would differ between shots
    const auto onScreen = [](QWidget* window) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        QCoreApplication::processEvents(); // the repaints scheduled so far reach the screen
        return window->screen()->grabWindow(window->winId()).toImage();
    };
    // Menu entry, window, a tab whose record differs from the first tab's, and a text box
    // with what it shows there.
    for (const auto& [entry, name, tab, box, shown] :
         {std::tuple{"Sensors", "ConfigSensors", 5, "Text1", "GUN BARREL"},
          std::tuple{"G4", "ConfigG4", 3, "Text2", "0024.000"},
          std::tuple{"a4_20mA", "Config4_20mA", 2, "Text1", "32"}}) {
        SCOPED_TRACE(name);
        QWidget* window = open(entry, name);
        ASSERT_NE(window, nullptr);
        QTest::mouseClick(control<QCheckBox>("Check2", window), Qt::LeftButton);
        click("Command2", window);
        onScreen(window); // the operator sees the read's end before choosing a tab
        auto* tabs = control<QTabBar>("TabStrip1", window);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
        EXPECT_EQ(control<QLineEdit>(box, window)->text().trimmed(), shown);
        const QImage switched = onScreen(window);
        window->hide();
        window->show();
        EXPECT_TRUE(switched == onScreen(window)) << "the tab paints as shown afresh";
        window->close();
    }
}

} // namespace
} // namespace rtu::test
