#pragma once

#include "support/Application.h"
#include "support/Files.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

namespace rtu::test {

// A test that needs the Qt event loop (timers, socket notifiers, serial ports).
class EventLoopTest : public ::testing::Test {
protected:
    // Runs the event loop until condition holds or the bound passes; true when it held.
    template <typename Condition> static bool waitUntil(Condition condition, int boundMs = 5000) {
        const QDeadlineTimer deadline(boundMs);
        while (!condition() && !deadline.hasExpired()) {
            QEventLoop slice;
            QTimer::singleShot(2, &slice, &QEventLoop::quit);
            slice.exec();
        }
        return condition();
    }
    // Runs the event loop for a while, for checks that something does NOT happen.
    static void runEventsFor(int ms) {
        waitUntil([] { return false; }, ms);
    }

private:
    bool applicationReady_ = (ensureApplication(), true);
};

} // namespace rtu::test
