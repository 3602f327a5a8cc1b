#pragma once

#include <QObject>

class QSocketNotifier;

namespace rtu {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread, so that a terminated
// session ends a program through its normal shutdown (the desktop program's files, the
// simulated unit's state dump). The signals are taken
// from a signalfd rather than a handler: nothing runs in signal context and no global
// state is needed. blockInThisThread() must run before any other thread starts (first
// thing in main), so that no thread receives them with their default action.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

    static void blockInThisThread();
    // False when the signals cannot be watched (they then keep their default action).
    bool isActive() const { return fd_ >= 0; }

signals:
    void shutdownRequested(int signalNumber);

private:
    void readSignal();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace rtu
