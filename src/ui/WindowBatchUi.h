#pragma once

#include "app/BatchWindows.h"

#include <QObject>

#include <functional>

class QWidget;

namespace rtu {

class RtsLed;

// What an exchange batch does to the desktop program's windows: the window that started it
// and the terminal window are disabled, the hourglass is shown and the RTS indicator is
// painted.
class WindowBatchUi : public QObject, public BatchUi {
    Q_OBJECT
public:
    // `moduleWindow` gives the module window open now under a Window, or nullptr.
    WindowBatchUi(QWidget& mainWindow, QWidget& terminalWindow, RtsLed& rtsLed,
                  std::function<QWidget*(Window)> moduleWindow, QObject* parent = nullptr);
    ~WindowBatchUi() override;

    void setWindowEnabled(Window window, bool enabled) override;
    void setBusyPointer(bool busy) override;
    void setRtsIndicator(int colour) override;
    void progress(int done, int total, const QString& what) override;

signals:
    void progressed(int done, int total, const QString& what);

private:
    QWidget& mainWindow_;
    QWidget& terminalWindow_;
    RtsLed& rtsLed_;
    std::function<QWidget*(Window)> moduleWindow_;
    int busyDepth_ = 0;
};

} // namespace rtu
