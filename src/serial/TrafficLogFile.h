#pragma once

#include <QString>

class QFile;
class QIODevice;

namespace rtu {

// A traffic log: the text the terminal screen is given (the lines sent, the bytes received,
// the port messages), appended to a device one byte per character. Each write is flushed at
// once so that the log holds the traffic up to a crash or a lost port. After a write fails
// (a full disk) nothing more is written, so that the log holds the traffic up to that point
// without a gap, and error() says why.
class TrafficLogFile {
public:
    // device may be null (no log); otherwise it must be open for writing and outlive this.
    explicit TrafficLogFile(QIODevice* device = nullptr) : device_(device) {}
    void setDevice(QIODevice* device) { device_ = device; }
    void append(const QString& text);
    // Empty while every write succeeded.
    QString error() const { return error_; }

    // Opens `path` for a log: a file is appended to; a device or a pipe (/dev/stderr), which
    // cannot seek to its end, is written. Empty on success, else "PATH: reason".
    static QString open(QFile& file, const QString& path);

private:
    QIODevice* device_;
    QString error_;
};

} // namespace rtu
