#include "app/BatchWindows.h"

#include "protocol/Exchange.h"
#include "serial/LinkState.h"
#include "serial/TerminalScreen.h"
#include "support/FakeSerialLibrary.h"
#include "support/RecordingBatchUi.h"
#include "support/RecordingNotifier.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// What the batches do to the windows, interleaved with the library's RTS calls (port 0).
const QStringList MainProgram =
    QString("RtsOn 0|led 255|pointer busy|disable RtuForm|disable TerminalForm|enable TerminalForm|"
            "enable RtuForm|pointer default|RtsOff 0|led 16777215")
        .split('|');

struct BatchWindowsTest : ::testing::Test {
    BatchWindowsTest() { link.CurrentPort = 0; }

    // Runs `batch`, failing in it when `fail`, and returns what the windows saw.
    std::string run(const Batch& batch, bool fail = false) {
        RecordingBatchUi ui{&library.calls()};
        BatchWindows windows{ui, notifier};
        Exchange exchange{library, link, screen, windows};
        exchange.runBatch(batch, [fail] {
            if (fail)
                throw std::out_of_range("no record 9");
        });
        const QString timeline = ui.timeline().join('|');
        library.clearCalls();
        return timeline.toStdString();
    }

    FakeSerialLibrary library;
    LinkState link;
    TextTerminalScreen screen;
    RecordingNotifier notifier;
};

// The main window's reads lock before RTS rises, a module window's "Program" too, and it
// unlocks after RTS falls: the G4 window before the terminal window, the others after it.
TEST_F(BatchWindowsTest, EachBatchLocksItsWindowsInItsOrder) {
    using enum BatchAction;
    const std::pair<Batch, QString> batches[] = {
        {{Program, BatchScope::RtsPulse}, MainProgram.join('|')},
        {{Program, BatchScope::WholeUnit}, MainProgram.join('|')},
        {{Read, BatchScope::UnitSettings},
         "disable RtuForm|disable TerminalForm|pointer busy|RtsOn 0|led 255|pointer default|"
         "enable RtuForm|enable TerminalForm|RtsOff 0|led 16777215"},
        {{Program, BatchScope::Module, ModuleKind::Tank},
         "disable ConfigSensors|disable TerminalForm|RtsOn 0|led 255|pointer busy|pointer "
         "default|RtsOff 0|led 16777215|enable TerminalForm|enable ConfigSensors"},
        {{Program, BatchScope::Module, ModuleKind::G4},
         "disable ConfigG4|disable TerminalForm|RtsOn 0|led 255|pointer busy|pointer "
         "default|RtsOff 0|led 16777215|enable ConfigG4|enable TerminalForm"},
        {{Read, BatchScope::Module, ModuleKind::Loop420},
         "disable Config4_20mA|disable TerminalForm|enable Config4_20mA|enable TerminalForm"}};
    for (const auto& [batch, windows] : batches)
        EXPECT_EQ(run(batch), windows.toStdString());
}

// "Program All" and the start-up pulse show "Error!" and beep, "Program" only beeps; the
// module windows and every read stay silent. The windows are unlocked all the same.
TEST_F(BatchWindowsTest, ATrappedErrorGetsTheReportOfItsAction) {
    using enum BatchAction;
    const std::tuple<Batch, std::size_t, int> cases[] = {
        {{Program, BatchScope::RtsPulse}, 1, 1},     {{Program, BatchScope::WholeUnit}, 1, 1},
        {{Program, BatchScope::UnitSettings}, 0, 1}, {{Read, BatchScope::WholeUnit}, 0, 0},
        {{Program, BatchScope::Module}, 0, 0},
    };
    for (const auto& [batch, messages, beeps] : cases) {
        notifier = {};
        const std::string windows = run(batch, true);
        EXPECT_EQ(notifier.messages, std::vector<RecordingNotifier::Message>(
                                         messages, {"Error!", QString(), MessageIcon::Critical}));
        EXPECT_EQ(notifier.beeps, beeps);
        EXPECT_EQ(windows, run(batch));
    }
}

} // namespace
} // namespace rtu
