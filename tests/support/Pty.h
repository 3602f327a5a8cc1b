#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace rtu::test {

// A pseudo-terminal pair for tests of code that talks to a serial device. The code under
// test opens slavePath() like any serial port; the test plays the far end on the master
// side. The master is raw (no echo, no line editing, no CR/LF translation) and
// non-blocking. Reads run the Qt event loop while they wait (when an application object
// exists), so a QSerialPort on the slave side in the same thread gets its writes out.
class Pty {
public:
    Pty() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
        termios raw{};
        const char* slave = nullptr;
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
            !(slave = ::ptsname(master_)) || ::tcgetattr(master_, &raw) != 0 ||
            (::cfmakeraw(&raw), ::tcsetattr(master_, TCSANOW, &raw)) != 0 ||
            ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK) != 0)
            closeMaster();
        else
            slavePath_ = QString::fromLocal8Bit(slave);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // False when the pair could not be opened; the other calls then do nothing.
    bool isOpen() const { return master_ >= 0; }
    // The device path of the slave side, such as "/dev/pts/3".
    QString slavePath() const { return slavePath_; }

    // Writes the bytes to the master in one go (tests write far less than the pseudo-terminal
    // holds): the slave side receives them. False on failure.
    bool write(const QByteArray& bytes) {
        return isOpen() &&
               ::write(master_, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // What the slave side has sent so far, without waiting. (EIO while no slave is open
    // and EAGAIN when nothing waits both simply end the read.)
    QByteArray readAvailable() {
        QByteArray bytes;
        char chunk[256];
        for (ssize_t n = 0; isOpen() && (n = ::read(master_, chunk, sizeof chunk)) > 0;)
            bytes.append(chunk, n);
        return bytes;
    }
    // Collects what the slave side sends for up to `milliseconds`, returning early once
    // `expected` bytes have arrived (when expected > 0).
    QByteArray readFor(int milliseconds, qsizetype expected = 0) {
        const QDeadlineTimer deadline(milliseconds);
        QByteArray bytes = readAvailable();
        while (!deadline.hasExpired() && (expected <= 0 || bytes.size() < expected)) {
            if (QCoreApplication::instance())
                QCoreApplication::processEvents(QEventLoop::AllEvents, SliceMs);
            pollfd fd{master_, POLLIN, 0};
            ::poll(&fd, isOpen() ? 1 : 0, SliceMs);
            bytes += readAvailable();
        }
        return bytes;
    }

    // Closes the master, as if the device went away. The slave side then fails to read.
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    static constexpr int SliceMs = 5;

    int master_ = -1;
    QString slavePath_;
};

} // namespace rtu::test
