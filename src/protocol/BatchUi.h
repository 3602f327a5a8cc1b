#pragma once

#include <QString>

namespace rtu {

// The windows an exchange batch locks and unlocks.
enum class Window { RtuForm, TerminalForm, ConfigSensors, ConfigG4, Config4_20mA };

// What an exchange batch does to the user interface: window enabling, the hourglass
// pointer, the RTS indicator and progress of long actions. The desktop program implements
// it on its windows; the command-line tool and tests observe it.
class BatchUi {
public:
    static constexpr int RtsLedRed = 255;
    static constexpr int RtsLedWhite = 16777215;

    virtual ~BatchUi() = default;
    virtual void setWindowEnabled(Window window, bool enabled) = 0;
    virtual void setBusyPointer(bool busy) = 0;   // hourglass (11) or default (0)
    virtual void setRtsIndicator(int colour) = 0; // RtsLedRed or RtsLedWhite
    // Step `done` of `total` of a long action is about to run, described by `what`
    // ("Reading tank 07").
    virtual void progress(int /*done*/, int /*total*/, const QString& /*what*/) {}
};

// A BatchUi that does nothing, for tools without windows.
class NullBatchUi : public BatchUi {
public:
    void setWindowEnabled(Window, bool) override {}
    void setBusyPointer(bool) override {}
    void setRtsIndicator(int) override {}
};

} // namespace rtu
