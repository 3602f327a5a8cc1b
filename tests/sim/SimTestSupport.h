#pragma once

#include <QCoreApplication>
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
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (condition() || deadline.hasExpired())
                loop.quit();
        });
        check.start(2);
        if (!condition())
            loop.exec();
        return condition();
    }

    // Runs the event loop for a while, for checks that something does NOT happen.
    static void runEventsFor(int ms) {
        waitUntil([] { return false; }, ms);
    }

private:
    int argc_ = 1;
    char name_[9] = "test_sim";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication app_{argc_, argv_};
};

} // namespace rtu::test
