#pragma once

#include <QCoreApplication>

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

} // namespace rtu::test
