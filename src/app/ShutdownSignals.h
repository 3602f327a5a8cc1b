#pragma once

#include <QObject>

#include <memory>

namespace rtu {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread, so that a terminated
// session ends a program through its normal shutdown (the desktop program's files, the
// simulated unit's state dump). blockInThisThread() must run before any other thread starts
// (first thing in main), so that no thread receives them with their default action.
//
// Two implementations, one per build: on Linux the signals are taken from a signalfd
// (ShutdownSignalsLinux.cpp), so nothing runs in signal context; elsewhere, and in the
// portable build, a handler installed with std::signal only notes the signal for the event
// loop to pick up (ShutdownSignalsPortable.cpp). Only one instance may exist at a time.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

    static void blockInThisThread();
    // Undoes it, for a program that watches the signals only for a while: one that came
    // since and was not taken then has its default action.
    static void unblockInThisThread();
    // False when the signals cannot be watched (they then keep their default action).
    bool isActive() const { return watch_ != nullptr; }

signals:
    void shutdownRequested(int signalNumber);

private:
    struct Watch; // what the implementation watches the signals with
    std::unique_ptr<Watch> watch_;
};

} // namespace rtu
