#pragma once

#include "app/BatchWindows.h"
#include "support/RecordingBatchListener.h"

namespace rtu {

// A BatchUi that records what a batch does to the windows, in order, as text:
// "disable RtuForm", "enable TerminalForm", "pointer busy", "pointer default", "led 255".
class RecordingBatchUi : public BatchUi, public EventRecorder {
public:
    explicit RecordingBatchUi(const QStringList* libraryCalls = nullptr)
        : EventRecorder(libraryCalls) {}

    void setWindowEnabled(Window window, bool enabled) override {
        static const char* const names[] = {"RtuForm", "TerminalForm", "ConfigSensors", "ConfigG4",
                                            "Config4_20mA"};
        record(QLatin1String(enabled ? "enable " : "disable ") + names[int(window)]);
    }
    void setBusyPointer(bool busy) override { record(busy ? "pointer busy" : "pointer default"); }
    void setRtsIndicator(int colour) override { record(QStringLiteral("led %1").arg(colour)); }
};

} // namespace rtu
