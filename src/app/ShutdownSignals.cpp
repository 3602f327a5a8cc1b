#include "app/ShutdownSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

namespace rtu {

#ifdef Q_OS_LINUX

namespace {

sigset_t shutdownSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

void ShutdownSignals::blockInThisThread() {
    const sigset_t set = shutdownSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
    const sigset_t set = shutdownSignalSet();
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);
}

ShutdownSignals::~ShutdownSignals() {
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}

void ShutdownSignals::readSignal() {
    signalfd_siginfo info{};
    while (::read(fd_, &info, sizeof info) == ssize_t(sizeof info))
        emit shutdownRequested(int(info.ssi_signo));
}

#else

// Elsewhere the desktop session ends the program through its windows.
void ShutdownSignals::blockInThisThread() {}
ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {}
ShutdownSignals::~ShutdownSignals() = default;
void ShutdownSignals::readSignal() {}

#endif

} // namespace rtu
