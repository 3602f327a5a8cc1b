#pragma once

#include "app/BatchWindows.h"

#include <QStringList>

namespace rtu {

// A BatchUi that records what a batch does to the windows, in order, as text:
// "disable RtuForm", "enable TerminalForm", "pointer busy", "pointer default", "led 255".
struct RecordingBatchUi : BatchUi {
    void setWindowEnabled(Window window, bool enabled) override {
        static const char* const names[] = {"RtuForm", "TerminalForm", "ConfigSensors", "ConfigG4",
                                            "Config4_20mA"};
        events << QLatin1String(enabled ? "enable " : "disable ") + names[int(window)];
    }
    void setBusyPointer(bool busy) override {
        events << (busy ? "pointer busy" : "pointer default");
    }
    void setRtsIndicator(int colour) override { events << QStringLiteral("led %1").arg(colour); }

    QStringList events;
};

} // namespace rtu
