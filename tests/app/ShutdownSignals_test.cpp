#include "app/ShutdownSignals.h"

#include "support/Application.h"

#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace rtu {
namespace {

// Whichever implementation the build has (signalfd, or std::signal in the portable build),
// a termination signal reaches the event loop as a request, and the process lives on.
TEST(ShutdownSignals, ARaisedTerminationSignalBecomesOneShutdownRequest) {
    test::ensureApplication();
    ShutdownSignals::blockInThisThread();
    ShutdownSignals watcher;
    ASSERT_TRUE(watcher.isActive());
    std::vector<int> requests;
    QObject::connect(&watcher, &ShutdownSignals::shutdownRequested,
                     [&](int signalNumber) { requests.push_back(signalNumber); });

    std::raise(SIGTERM);
    const QDeadlineTimer deadline(10000);
    while (requests.empty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents();

    EXPECT_EQ(requests, std::vector<int>{SIGTERM});
}

} // namespace
} // namespace rtu
