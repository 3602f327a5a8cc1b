#include "app/ShutdownSignals.h"

#include "support/Application.h"

#include <gtest/gtest.h>

#include <csignal>

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
    test::waitUntil([&] { return !requests.empty(); }, 10000);
    test::waitUntil([] { return false; }, 50); // and no second request

    EXPECT_EQ(requests, std::vector<int>{SIGTERM});
}

} // namespace
} // namespace rtu
