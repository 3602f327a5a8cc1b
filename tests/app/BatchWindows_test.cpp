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

// What the batches do to the windows; the indicator turns red as RTS rises, white as it falls.
// The main window's reads lock before RTS rises, a module window's "Program" too, and it
// unlocks after RTS falls: the G4 window before the terminal window, the others after it.
// A trapped error (each batch here has one) is reported: "Program All" and the start-up pulse
// show "Error!" and beep, "Program" only beeps, the module windows and every read stay silent.
TEST(BatchWindows, EachBatchLocksItsWindowsInItsOrderAndReportsAnErrorAsItsActionDoes) {
    const QString mainProgram = "led 255|pointer busy|disable RtuForm|disable TerminalForm|enable "
                                "TerminalForm|enable RtuForm|pointer default|led 16777215";
    using enum BatchAction;
    const std::tuple<Batch, QString, std::size_t, int> batches[] = {
        {{Program, BatchScope::RtsPulse}, mainProgram, 1, 1},
        {{Program, BatchScope::WholeUnit}, mainProgram, 1, 1},
        {{Program, BatchScope::UnitSettings}, mainProgram, 0, 1},
        {{Read, BatchScope::UnitSettings},
         "disable RtuForm|disable TerminalForm|pointer busy|led 255|pointer default|"
         "enable RtuForm|enable TerminalForm|led 16777215",
         0,
         0},
        {{Program, BatchScope::Module, ModuleKind::Tank},
         "disable ConfigSensors|disable TerminalForm|led 255|pointer busy|pointer "
         "default|led 16777215|enable TerminalForm|enable ConfigSensors",
         0,
         0},
        {{Program, BatchScope::Module, ModuleKind::G4},
         "disable ConfigG4|disable TerminalForm|led 255|pointer busy|pointer "
         "default|led 16777215|enable ConfigG4|enable TerminalForm",
         0,
         0},
        {{Read, BatchScope::Module, ModuleKind::Loop420},
         "disable Config4_20mA|disable TerminalForm|enable Config4_20mA|enable TerminalForm",
         0,
         0}};
    for (const auto& [batch, windows, messages, beeps] : batches) {
        FakeSerialLibrary library;
        LinkState link;
        TextTerminalScreen screen;
        RecordingNotifier notifier;
        RecordingBatchUi ui;
        BatchWindows batchWindows{ui, notifier};
        Exchange exchange{library, link, screen, batchWindows};
        exchange.runBatch(batch, [] { throw std::out_of_range("no record 9"); });
        EXPECT_EQ(ui.events.join('|').toStdString(), windows.toStdString());
        EXPECT_EQ(notifier.messages, std::vector<RecordingNotifier::Message>(
                                         messages, {"Error!", QString(), MessageIcon::Critical}));
        EXPECT_EQ(notifier.beeps, beeps);
    }
}

} // namespace
} // namespace rtu
