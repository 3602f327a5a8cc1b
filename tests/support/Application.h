#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace rtu::test {

// Makes the application object that timers, notifiers and serial ports need, unless the
// test program already has one.
inline void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "rtu7350-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// Runs the event loop until `condition` holds or the bound passes; true when it held. With
// a condition that never holds it runs the loop for the whole bound.
template <typename Condition> bool waitUntil(Condition condition, int boundMs = 5000) {
    const QDeadlineTimer deadline(boundMs);
    while (!condition() && !deadline.hasExpired()) {
        QEventLoop slice;
        QTimer::singleShot(2, &slice, &QEventLoop::quit);
        slice.exec();
    }
    return condition();
}

} // namespace rtu::test
