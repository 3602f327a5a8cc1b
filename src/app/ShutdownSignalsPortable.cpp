#include "app/ShutdownSignals.h"

#include <QTimer>

#include <array>
#include <atomic>
#include <csignal>

namespace rtu {

namespace {

// A handler may do no more than store into a lock-free atomic, and Qt offers no portable
// way to wake its event loop from one: the loop looks at what was stored a few times a
// second instead.
constexpr int PollMs = 100;

std::atomic<int> pendingSignal{0}; // the last signal taken and not yet reported; 0: none
static_assert(std::atomic<int>::is_always_lock_free);

constexpr std::array WatchedSignals{
    SIGTERM,
    SIGINT,
#ifdef SIGHUP
    SIGHUP,
#endif
};

extern "C" void noteSignal(int signalNumber) {
    pendingSignal.store(signalNumber);
}

} // namespace

struct ShutdownSignals::Watch {
    QTimer poll;
    std::array<void (*)(int), WatchedSignals.size()> previousHandlers{};
};

// The handler runs in whichever thread takes the signal; it only notes it.
void ShutdownSignals::blockInThisThread() {}
void ShutdownSignals::unblockInThisThread() {}

ShutdownSignals::ShutdownSignals(QObject* parent)
    : QObject(parent), watch_(std::make_unique<Watch>()) {
    pendingSignal.store(0);
    for (std::size_t i = 0; i < WatchedSignals.size(); ++i)
        watch_->previousHandlers[i] = std::signal(WatchedSignals[i], noteSignal);
    connect(&watch_->poll, &QTimer::timeout, this, [this] {
        if (const int signalNumber = pendingSignal.exchange(0); signalNumber != 0)
            emit shutdownRequested(signalNumber);
    });
    watch_->poll.start(PollMs);
}

ShutdownSignals::~ShutdownSignals() {
    for (std::size_t i = 0; i < WatchedSignals.size(); ++i) {
        if (watch_->previousHandlers[i] != SIG_ERR)
            std::signal(WatchedSignals[i], watch_->previousHandlers[i]);
    }
}

} // namespace rtu
