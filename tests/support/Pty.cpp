#include "support/Pty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace rtu::test {

namespace {

constexpr int PollSliceMs = 5;

bool makeRawNonBlocking(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        return false;
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

void runEventsBriefly() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents, PollSliceMs);
}

} // namespace

Pty::Pty() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return;
    const char* slave = nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || !(slave = ::ptsname(master)) ||
        !makeRawNonBlocking(master)) {
        ::close(master);
        return;
    }
    master_ = master;
    slavePath_ = QString::fromLocal8Bit(slave);
}

Pty::~Pty() {
    closeMaster();
}

bool Pty::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (isOpen() && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd writable{master_, POLLOUT, 0};
            ::poll(&writable, 1, PollSliceMs);
        }
    }
    return isOpen();
}

QByteArray Pty::readAvailable() {
    QByteArray bytes;
    char chunk[256];
    ssize_t n = 0;
    // EIO while no slave is open, EAGAIN when nothing waits: both simply end the read.
    while (isOpen() && (n = ::read(master_, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, n);
    return bytes;
}

QByteArray Pty::readFor(int milliseconds, qsizetype expected) {
    const QDeadlineTimer deadline(milliseconds);
    QByteArray bytes = readAvailable();
    while (!deadline.hasExpired() && (expected <= 0 || bytes.size() < expected)) {
        runEventsBriefly();
        pollfd readable{master_, POLLIN, 0};
        ::poll(&readable, isOpen() ? 1 : 0, PollSliceMs);
        bytes += readAvailable();
    }
    return bytes;
}

void Pty::closeMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

} // namespace rtu::test
