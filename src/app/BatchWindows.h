#pragma once

#include "protocol/BatchListener.h"

namespace rtu {

class UserNotifier;

// The desktop program's windows that a batch locks.
enum class Window { RtuForm, TerminalForm, ConfigSensors, ConfigG4, Config4_20mA };

// The module window that edits the records of `kind`.
Window moduleWindow(ModuleKind kind);

// The RTS indicator's colours: red while a batch holds RTS raised, white otherwise.
inline constexpr int RtsLedRed = 255;
inline constexpr int RtsLedWhite = 16777215;

// What a batch does to the windows, one step at a time: the desktop program applies it to
// its widgets, tests record it.
class BatchUi {
public:
    virtual ~BatchUi() = default;
    virtual void setWindowEnabled(Window window, bool enabled) = 0;
    virtual void setBusyPointer(bool busy) = 0;   // hourglass (11) or default (0)
    virtual void setRtsIndicator(int colour) = 0; // RtsLedRed or RtsLedWhite
    virtual void progress(int /*done*/, int /*total*/, const QString& /*what*/) {}
};

// The windows' side of a batch. The window that started it and the terminal window are
// locked, the pointer is busy and the indicator follows RTS, each in the order that batch
// keeps: the main window's program batches lock after RTS rises, its reads and the module
// windows' batches before. A trapped error gets the report its action has always given:
// "Error!" and a beep for "Program All" and the start-up pulse, a beep for "Program", and
// nothing for the module windows' "Program" and every read.
class BatchWindows : public BatchListener {
public:
    BatchWindows(BatchUi& ui, UserNotifier& notifier);

    void batchStep(const Batch& batch, BatchStep step) override;
    void rtsChanged(bool raised) override;
    void progress(int done, int total, const QString& what) override;
    void batchFailed(const Batch& batch) override;

private:
    BatchUi& ui_;
    UserNotifier& notifier_;
};

} // namespace rtu
