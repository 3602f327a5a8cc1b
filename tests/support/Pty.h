#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>

#include <cerrno>
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
    Pty() {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        const char* slave = nullptr;
        termios raw{};
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
            !(slave = ::ptsname(master)) || ::tcgetattr(master, &raw) != 0) {
            closeFd(master);
            return;
        }
        ::cfmakeraw(&raw);
        const int flags = ::fcntl(master, F_GETFL);
        if (::tcsetattr(master, TCSANOW, &raw) != 0 || flags < 0 ||
            ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) {
            closeFd(master);
            return;
        }
        master_ = master;
        slavePath_ = QString::fromLocal8Bit(slave);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // False when the pair could not be opened; the other calls then do nothing.
    bool isOpen() const { return master_ >= 0; }
    // The device path of the slave side, such as "/dev/pts/3".
    QString slavePath() const { return slavePath_; }

    // Writes all bytes to the master: the slave side receives them. False on failure.
    bool write(const QByteArray& bytes) {
        qsizetype done = 0;
        while (isOpen() && done < bytes.size()) {
            const ssize_t n =
                ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            else
                waitFor(POLLOUT);
        }
        return isOpen();
    }
    // What the slave side has sent so far, without waiting. (EIO while no slave is open
    // and EAGAIN when nothing waits both simply end the read.)
    QByteArray readAvailable() {
        QByteArray bytes;
        char chunk[256];
        ssize_t n = 0;
        while (isOpen() && (n = ::read(master_, chunk, sizeof chunk)) > 0)
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
            waitFor(POLLIN);
            bytes += readAvailable();
        }
        return bytes;
    }

    // Closes the master, as if the device went away. The slave side then fails to read.
    void closeMaster() {
        closeFd(master_);
        master_ = -1;
    }

private:
    static constexpr int SliceMs = 5;
    static void closeFd(int fd) {
        if (fd >= 0)
            ::close(fd);
    }
    void waitFor(short events) {
        pollfd fd{master_, events, 0};
        ::poll(&fd, isOpen() ? 1 : 0, SliceMs);
    }

    int master_ = -1;
    QString slavePath_;
};

} // namespace rtu::test
