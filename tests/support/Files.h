#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>

namespace rtu::test {

// The whole content of a file; "<missing>" when it cannot be read.
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Replaces a file's content; false on failure.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// An application object for tests of code that needs one (timers, serial ports, processes).
class TestApplication {
    int argc_ = 1;
    char name_[5] = "test";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication app_{argc_, argv_};
};

} // namespace rtu::test
