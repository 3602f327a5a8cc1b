#pragma once

#include "app/BatchWindows.h"

#include <QObject>

#include <functional>

class QWidget;

namespace rtu {

class RtsLed;

// The steps BatchWindows decides, applied to the desktop program's widgets: windows enabled
// and disabled, the hourglass, the RTS indicator. It also knows whether an exchange is running, so
// that closing the program can wait for its end.
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
    // Follows the exchange's runningChanged.
    void setExchangeRunning(bool running);

    bool busy() const { return exchangeRunning_; }

signals:
    void progressed(int done, int total, const QString& what);
    // The running exchange has ended.
    void batchEnded();

private:
    QWidget& mainWindow_;
    QWidget& terminalWindow_;
    RtsLed& rtsLed_;
    std::function<QWidget*(Window)> moduleWindow_;
    int busyDepth_ = 0;
    bool exchangeRunning_ = false;
};

} // namespace rtu
