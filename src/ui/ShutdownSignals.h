#pragma once

#include <QObject>

class QSocketNotifier;

namespace rtu {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the user-interface thread, so that a
// terminated session ends the program through its normal shutdown. The signals are taken
// from a signalfd rather than a handler: nothing runs in signal context and no global
// state is needed. blockInThisThread() must run before any other thread starts (first
// thing in main), so that no thread receives them with their default action.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

    static void blockInThisThread();
    bool isActive() const { return fd_ >= 0; }

signals:
    void shutdownRequested(int signalNumber);

private:
    void readSignal();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace rtu
