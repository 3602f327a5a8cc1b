#include "sim/PtyUnitServer.h"

#include "sim/SimulatedUnit.h"

#include <QByteArrayView>
#include <QSocketNotifier>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace rtu {

namespace {

constexpr int BlockedRetryMs = 10; // the client is not reading: try again a little later
// Before a planned hang-up: the last answer must have been read, since a hang-up discards
// what the client has not read yet. The kernel moves written bytes to the reader a moment
// later, so the line lingers a little before the unread count is trusted.
constexpr double HangupLingerMs = 50;
constexpr double HangupDrainLimitMs = 2000;
constexpr int DrainPollMs = 10;
constexpr int NoiseBurstLength = 3;
// Junk that never forms a reply keyword, so noise confuses only positions, not keywords.
constexpr QByteArrayView NoiseCharacters = "*~#!?-+=";

bool isNth(int count, int every) {
    return every > 0 && count % every == 0;
}

// Corrupts the first letter, which always belongs to the answer's keyword: the reader
// then finds no keyword, as with a bit error on the line.
void garble(QByteArray& answer) {
    const auto letter = std::find_if(answer.begin(), answer.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
    if (letter != answer.end())
        *letter = char(*letter ^ 0x20);
}

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what), qt_error_string(errno));
}

bool isTransientError(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

} // namespace

PtyUnitServer::PtyUnitServer(SimulatedUnit& unit, const ServerOptions& options, QObject* parent)
    : QObject(parent), unit_(unit), options_(options) {
    clock_.start();
    pumpTimer_.setSingleShot(true);
    pumpTimer_.setTimerType(Qt::PreciseTimer);
    connect(&pumpTimer_, &QTimer::timeout, this, &PtyUnitServer::pump);
    connect(&noiseTimer_, &QTimer::timeout, this, &PtyUnitServer::sendNoise);
}

PtyUnitServer::~PtyUnitServer() {
    delete readNotifier_; // before the descriptor it watches is closed
}

QString PtyUnitServer::start() {
    if (master_.isOpen())
        return QStringLiteral("already serving on %1").arg(slavePath_);
    if (options_.baud <= 0)
        return QStringLiteral("the line speed must be above 0");
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

    master_ = std::move(master);
    heldSlave_ = std::move(slave);
    slavePath_ = QString::fromLocal8Bit(name.data());
    readNotifier_ = new QSocketNotifier(master_.get(), QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &PtyUnitServer::readMaster);
    if (options_.noise)
        noiseTimer_.start(NoiseIntervalMs);
    return {};
}

void PtyUnitServer::hangUp() {
    if (!master_.isOpen())
        return;
    // This may run inside the notifier's own signal: retire it rather than delete it.
    readNotifier_->setEnabled(false);
    readNotifier_->deleteLater();
    readNotifier_ = nullptr;
    pumpTimer_.stop();
    noiseTimer_.stop();
    queue_.clear();
    master_.reset();
    heldSlave_.reset();
    emit hungUp();
}

void PtyUnitServer::readMaster() {
    std::array<char, 4096> buffer{};
    const ssize_t count = ::read(master_.get(), buffer.data(), buffer.size());
    if (count < 0 && isTransientError(errno))
        return;
    if (count <= 0) {
        hangUp();
        return;
    }
    emit bytesReceived();
    QByteArrayView bytes(buffer.data(), count);
    if (options_.echo) {
        qsizetype written = 0;
        if (!writeToMaster(bytes.data(), bytes.size(), &written))
            return;
    }
    // The bytes left the client at once; on a real line they arrive one character time
    // apart, so each request is complete only when its last byte would have arrived.
    inputFreeAtMs_ = std::max(inputFreeAtMs_, nowMs());
    while (!bytes.isEmpty() && !hangupPending_) {
        const qsizetype lineEnd = bytes.indexOf('\r');
        const QByteArrayView segment = lineEnd < 0 ? bytes : bytes.first(lineEnd + 1);
        bytes = bytes.sliced(segment.size());
        inputFreeAtMs_ += double(segment.size()) * charTimeMs();
        for (const auto& request : unit_.receive(segment))
            serveRequestLine(request.answer, inputFreeAtMs_);
    }
    pump();
}

void PtyUnitServer::serveRequestLine(const QByteArray& answer, double completedAtMs) {
    ++requestCount_;
    if (options_.hangupAfter > 0 && requestCount_ >= options_.hangupAfter)
        hangupPending_ = true;
    if (answer.isEmpty() || options_.silent || isNth(requestCount_, options_.dropEvery))
        return;
    QByteArray reply = answer;
    if (isNth(++answerCount_, options_.garbleEvery))
        garble(reply);
    enqueue(reply, completedAtMs + options_.turnaroundMs);
}

void PtyUnitServer::enqueue(const QByteArray& bytes, double readyAtMs) {
    const double startMs = std::max(readyAtMs, outputFreeAtMs_);
    outputFreeAtMs_ = startMs + double(bytes.size()) * charTimeMs();
    queue_.push_back({bytes, startMs, 0});
}

// Writes every byte whose character time has passed, so the client receives the answers
// at the line speed, in small chunks.
void PtyUnitServer::pump() {
    const double now = nowMs();
    while (!queue_.empty()) {
        Outgoing& front = queue_.front();
        const auto due = std::clamp<qsizetype>(qsizetype((now - front.startMs) / charTimeMs()), 0,
                                               front.bytes.size());
        if (due > front.sent) {
            qsizetype written = 0;
            if (!writeToMaster(front.bytes.constData() + front.sent, due - front.sent, &written))
                return;
            front.sent += written;
            if (front.sent < due) {
                pumpTimer_.start(BlockedRetryMs);
                return;
            }
        }
        if (front.sent < front.bytes.size())
            break;
        queue_.pop_front();
    }
    if (queue_.empty() && hangupPending_) {
        hangUpOnceDrained(now);
        return;
    }
    schedulePump();
}

void PtyUnitServer::hangUpOnceDrained(double now) {
    if (hangupDeadlineMs_ < 0)
        hangupDeadlineMs_ = now + HangupDrainLimitMs;
    int unread = 0;
    const bool lingering = now < outputFreeAtMs_ + HangupLingerMs;
    const bool unreadLeft = ::ioctl(heldSlave_.get(), FIONREAD, &unread) == 0 && unread > 0;
    if ((lingering || unreadLeft) && now < hangupDeadlineMs_) {
        pumpTimer_.start(DrainPollMs);
        return;
    }
    hangUp();
}

void PtyUnitServer::schedulePump() {
    if (queue_.empty()) {
        pumpTimer_.stop();
        return;
    }
    const Outgoing& front = queue_.front();
    const double nextDueMs = front.startMs + double(front.sent + 1) * charTimeMs();
    pumpTimer_.start(std::max(0, int(std::ceil(nextDueMs - nowMs()))));
}

// False when the line has gone (and has been hung up); a full buffer is no failure.
bool PtyUnitServer::writeToMaster(const char* data, qsizetype size, qsizetype* written) {
    const ssize_t count = ::write(master_.get(), data, size_t(size));
    *written = std::max<qsizetype>(count, 0);
    if (count >= 0 || isTransientError(errno))
        return true;
    hangUp();
    return false;
}

void PtyUnitServer::sendNoise() {
    if (!queue_.empty() || hangupPending_)
        return;
    QByteArray junk;
    for (int i = 0; i < NoiseBurstLength; ++i) {
        junk.append(NoiseCharacters[noisePosition_]);
        noisePosition_ = int((noisePosition_ + 1) % NoiseCharacters.size());
    }
    enqueue(junk, nowMs());
    pump();
}

double PtyUnitServer::nowMs() const {
    return double(clock_.nsecsElapsed()) / 1e6;
}

double PtyUnitServer::charTimeMs() const {
    return 10000.0 / options_.baud;
}

} // namespace rtu
