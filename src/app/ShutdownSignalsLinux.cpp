#include "app/ShutdownSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace rtu {

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

struct ShutdownSignals::Watch {
    explicit Watch(int descriptor) : fd(descriptor), notifier(fd, QSocketNotifier::Read) {}
    // A disabled notifier no longer watches the descriptor, which may then be closed.
    ~Watch() {
        notifier.setEnabled(false);
        ::close(fd);
    }

    const int fd;
    QSocketNotifier notifier;
};

void ShutdownSignals::blockInThisThread() {
    const sigset_t set = shutdownSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void ShutdownSignals::unblockInThisThread() {
    const sigset_t set = shutdownSignalSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
    const sigset_t set = shutdownSignalSet();
    const int fd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd < 0)
        return;
    watch_ = std::make_unique<Watch>(fd);
    connect(&watch_->notifier, &QSocketNotifier::activated, this, [this] {
        signalfd_siginfo info{};
        while (::read(watch_->fd, &info, sizeof info) == ssize_t(sizeof info))
            emit shutdownRequested(int(info.ssi_signo));
    });
}

ShutdownSignals::~ShutdownSignals() = default;

} // namespace rtu
