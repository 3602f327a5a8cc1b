#include "GuiTestSupport.h"

#include "config/ConfigurationFile.h"
#include "ui/CompareWindow.h"

#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>

namespace rtu::test {
namespace {

using CompareWindowTest = GuiTest;

QByteArray programsConfiguration(RtuForm& rtu) {
    return WriteConfiguration(rtu.session().settings.values(), rtu.session().tables);
}

// The unit differs from the program in its poll period and tank 03: "Compare With Unit"
// shows both without touching the program, and "Program Differences" sends those two.
TEST_F(CompareWindowTest, ShowsTheDifferingRecordsAndProgramsExactlyThose) {
    ASSERT_TRUE(LoadConfiguration("SPP00120\r\nSU03\"NORTH     \"L2CT1C0.5000M\r\n",
                                  unit->settings(), unit->tables())
                    .ok);
    ASSERT_TRUE(writeFile("COM.dat", QByteArray("\x01\x00", 2)));
    RtuForm& rtu = startProgram();
    QApplication::setCursorFlashTime(0); // a caret that blinks would differ between shots
    // The settings as the screen shows them (the status bar below them gets the outcome).
    const auto settingsOnScreen = [&rtu] {
        QCoreApplication::processEvents(); // the repaints scheduled so far reach the screen
        const QRect settings = rtu.centralWidget()->geometry();
        return rtu.screen()
            ->grabWindow(rtu.winId(), settings.x(), settings.y(), settings.width(),
                         settings.height())
            .toImage();
    };
    // Focus, and so a focus frame, only where the shots do not reach.
    control<QWidget>("CompareWithUnit")->setFocus();
    const QByteArray before = programsConfiguration(rtu);
    const QImage shownBefore = settingsOnScreen();

    click("CompareWithUnit");

    EXPECT_EQ(programsConfiguration(rtu), before);
    EXPECT_TRUE(settingsOnScreen() == shownBefore) << "Compare repainted the program's values";
    auto* window = control<CompareWindow>("compareWindow");
    auto* table = control<QTableWidget>("differencesTable", window);
    QStringList records;
    for (int row = 0; row < table->rowCount(); ++row)
        records << table->item(row, 0)->text();
    records.removeDuplicates();
    EXPECT_EQ(records, (QStringList{"SPP", "SU03"}));
    const int requests = server->requestCount();

    click("ProgramDifferences", window);

    // The two lines, then their reads, and nothing else.
    EXPECT_EQ(server->requestCount() - requests, 4);
    EXPECT_EQ(screenText().split("\r\n", Qt::SkipEmptyParts).last(6),
              (QStringList{"SPP060", "SU03\"TANK 04   \"L0IT0F1.6700E", "GPP", "PP00060", "GU03",
                           "SU03\"TANK 04   \"L0IT0F1.6700E"}));
    const QString outcome = "Program Differences: 2 lines sent; the unit now matches";
    EXPECT_EQ(control<QLabel>("compareOutcome", window)->text(), outcome);
    EXPECT_EQ(rtu.statusBar()->currentMessage(), outcome);
}

} // namespace
} // namespace rtu::test
