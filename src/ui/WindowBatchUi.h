#pragma once

#include "protocol/BatchUi.h"

#include <QObject>

class QWidget;

namespace rtu {

class RtsLed;

// What an exchange batch does to the desktop program's windows: the main and terminal
// windows are disabled, the hourglass is shown and the RTS indicator is painted. It also
// knows whether a batch is running, so that closing the program can wait for its end.
class WindowBatchUi : public QObject, public BatchUi {
    Q_OBJECT
public:
    WindowBatchUi(QWidget& mainWindow, QWidget& terminalWindow, RtsLed& rtsLed,
                  QObject* parent = nullptr);
    ~WindowBatchUi() override;

    void setWindowEnabled(Window window, bool enabled) override;
    void setBusyPointer(bool busy) override;
    void setRtsIndicator(int colour) override;
    void progress(int done, int total, const QString& what) override;

    // A batch is running: from its hourglass to its default pointer.
    bool busy() const { return busyDepth_ > 0; }

signals:
    void progressed(int done, int total, const QString& what);
    // The running batch has ended.
    void batchEnded();

private:
    QWidget& mainWindow_;
    QWidget& terminalWindow_;
    RtsLed& rtsLed_;
    int busyDepth_ = 0;
};

} // namespace rtu
