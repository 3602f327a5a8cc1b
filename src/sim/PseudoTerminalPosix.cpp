#include "sim/PseudoTerminal.h"

#include "sim/UniqueFd.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace rtu {

namespace {

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what), qt_error_string(errno));
}

bool isTransientError(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

} // namespace

struct PseudoTerminal::Line {
    Line(UniqueFd masterSide, UniqueFd slaveSide, QObject* owner)
        : master(std::move(masterSide)), heldSlave(std::move(slaveSide)),
          notifier(new QSocketNotifier(master.get(), QSocketNotifier::Read, owner)) {}
    // The notifier may be the one whose signal is running: it is retired rather than deleted,
    // and stops watching before its descriptor closes.
    ~Line() {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }

    UniqueFd master;
    UniqueFd heldSlave;        // keeps the line up while the client closes and reopens the port
    QSocketNotifier* notifier; // a child of the owner, so never left behind
};

PseudoTerminal::PseudoTerminal(QObject* parent) : QObject(parent) {}

PseudoTerminal::~PseudoTerminal() = default;

QString PseudoTerminal::open() {
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!master.isOpen())
        return systemError("cannot open a pseudo-terminal");
    if (::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0)
        return systemError("cannot unlock the pseudo-terminal");
    std::array<char, 256> name{};
    if (::ptsname_r(master.get(), name.data(), name.size()) != 0)
        return systemError("cannot name the pseudo-terminal");
    // Raw: the line discipline must neither echo nor translate CR, like a real line.
    termios settings{};
    if (::tcgetattr(master.get(), &settings) != 0)
        return systemError("cannot read the line settings");
    ::cfmakeraw(&settings);
    if (::tcsetattr(master.get(), TCSANOW, &settings) != 0)
        return systemError("cannot set the line settings");
    if (::fcntl(master.get(), F_SETFL, O_NONBLOCK) != 0 ||
        ::fcntl(master.get(), F_SETFD, FD_CLOEXEC) != 0)
        return systemError("cannot set up the pseudo-terminal");
    UniqueFd slave(::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave.isOpen())
        return systemError("cannot open the pseudo-terminal's slave");

    line_ = std::make_unique<Line>(std::move(master), std::move(slave), this);
    slavePath_ = QString::fromLocal8Bit(name.data());
    connect(line_->notifier, &QSocketNotifier::activated, this, &PseudoTerminal::readyRead);
    return {};
}

std::optional<QByteArray> PseudoTerminal::read() {
    if (!isOpen())
        return std::nullopt;
    std::array<char, 4096> buffer{};
    const ssize_t count = ::read(line_->master.get(), buffer.data(), buffer.size());
    if (count < 0 && isTransientError(errno))
        return QByteArray();
    if (count <= 0)
        return std::nullopt;
    return QByteArray(buffer.data(), count);
}

std::optional<qsizetype> PseudoTerminal::write(QByteArrayView bytes) {
    if (!isOpen())
        return std::nullopt;
    const ssize_t count = ::write(line_->master.get(), bytes.data(), size_t(bytes.size()));
    if (count >= 0)
        return qsizetype(count);
    if (isTransientError(errno))
        return qsizetype(0);
    return std::nullopt;
}

int PseudoTerminal::unreadByClient() const {
    int unread = 0;
    if (!isOpen() || ::ioctl(line_->heldSlave.get(), FIONREAD, &unread) != 0)
        return 0;
    return unread;
}

void PseudoTerminal::close() {
    line_.reset();
}

} // namespace rtu
