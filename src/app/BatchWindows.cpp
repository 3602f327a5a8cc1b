#include "app/BatchWindows.h"

#include "app/UserNotifier.h"

#include <array>

namespace rtu {

namespace {

// What one step of a batch does to the windows, in order.
enum LockStep {
    NoLock,
    LockWindow,
    LockTerminal,
    UnlockWindow,
    UnlockTerminal,
    BusyPointer,
    DefaultPointer
};
using StepLocks = std::array<LockStep, 3>;
// Indexed by BatchStep.
using BatchLocks = std::array<StepLocks, 4>;

constexpr BatchLocks MainProgramLocks{{{},
                                       {BusyPointer, LockWindow, LockTerminal},
                                       {UnlockTerminal, UnlockWindow, DefaultPointer},
                                       {}}};
constexpr BatchLocks MainReadLocks{{{LockWindow, LockTerminal, BusyPointer},
                                    {},
                                    {DefaultPointer, UnlockWindow, UnlockTerminal},
                                    {}}};
// The G4 window comes back before the terminal window, the other two after it.
constexpr BatchLocks ModuleProgramLocks{
    {{LockWindow, LockTerminal}, {BusyPointer}, {DefaultPointer}, {UnlockTerminal, UnlockWindow}}};
constexpr BatchLocks G4ProgramLocks{
    {{LockWindow, LockTerminal}, {BusyPointer}, {DefaultPointer}, {UnlockWindow, UnlockTerminal}}};
constexpr BatchLocks ModuleReadLocks{
    {{LockWindow, LockTerminal}, {}, {UnlockWindow, UnlockTerminal}, {}}};

const BatchLocks& locksOf(const Batch& batch) {
    const bool read = batch.action == BatchAction::Read;
    if (batch.scope != BatchScope::Module)
        return read ? MainReadLocks : MainProgramLocks;
    if (read)
        return ModuleReadLocks;
    return batch.kind == ModuleKind::G4 ? G4ProgramLocks : ModuleProgramLocks;
}

} // namespace

Window moduleWindow(ModuleKind kind) {
    constexpr std::array<Window, 3> windows{Window::ConfigSensors, Window::ConfigG4,
                                            Window::Config4_20mA};
    return windows[static_cast<std::size_t>(kind)];
}

BatchWindows::BatchWindows(BatchUi& ui, UserNotifier& notifier) : ui_(ui), notifier_(notifier) {}

void BatchWindows::batchStep(const Batch& batch, BatchStep step) {
    const Window window =
        batch.scope == BatchScope::Module ? moduleWindow(batch.kind) : Window::RtuForm;
    for (const LockStep lock : locksOf(batch)[static_cast<std::size_t>(step)]) {
        switch (lock) {
        case NoLock:
            break;
        case LockWindow:
        case UnlockWindow:
            ui_.setWindowEnabled(window, lock == UnlockWindow);
            break;
        case LockTerminal:
        case UnlockTerminal:
            ui_.setWindowEnabled(Window::TerminalForm, lock == UnlockTerminal);
            break;
        case BusyPointer:
        case DefaultPointer:
            ui_.setBusyPointer(lock == BusyPointer);
            break;
        }
    }
}

void BatchWindows::rtsChanged(bool raised) {
    ui_.setRtsIndicator(raised ? RtsLedRed : RtsLedWhite);
}

void BatchWindows::progress(int done, int total, const QString& what) {
    ui_.progress(done, total, what);
}

void BatchWindows::batchFailed(const Batch& batch) {
    if (batch.action == BatchAction::Read || batch.scope == BatchScope::Module)
        return;
    if (batch.scope != BatchScope::UnitSettings)
        notifier_.showMessage(QStringLiteral("Error!"), QString(), MessageIcon::Critical);
    notifier_.beep();
}

} // namespace rtu
