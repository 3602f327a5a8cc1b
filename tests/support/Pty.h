#pragma once

#include <QByteArray>
#include <QString>

namespace rtu::test {

// A pseudo-terminal pair for tests of code that talks to a serial device. The code under
// test opens slavePath() like any serial port; the test plays the far end on the master
// side. The master is raw (no echo, no line editing, no CR/LF translation) and
// non-blocking. Reads run the Qt event loop while they wait (when an application object
// exists), so a QSerialPort on the slave side in the same thread gets its writes out.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // False when the pair could not be opened; the other calls then do nothing.
    bool isOpen() const { return master_ >= 0; }
    // The device path of the slave side, such as "/dev/pts/3".
    QString slavePath() const { return slavePath_; }

    // Writes all bytes to the master: the slave side receives them. False on failure.
    bool write(const QByteArray& bytes);
    // What the slave side has sent so far, without waiting.
    QByteArray readAvailable();
    // Collects what the slave side sends for up to `milliseconds`, returning early once
    // `expected` bytes have arrived (when expected > 0).
    QByteArray readFor(int milliseconds, qsizetype expected = 0);

    // Closes the master, as if the device went away. The slave side then fails to read.
    void closeMaster();

private:
    int master_ = -1;
    QString slavePath_;
};

} // namespace rtu::test
