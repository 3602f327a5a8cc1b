#include "sim/PtyUnitServer.h"

#include "sim/SimulatedUnit.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <utility>

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

} // namespace

PtyUnitServer::PtyUnitServer(SimulatedUnit& unit, const ServerOptions& options, QObject* parent)
    : QObject(parent), unit_(unit), options_(options) {
    clock_.start();
    pumpTimer_.setSingleShot(true);
    pumpTimer_.setTimerType(Qt::PreciseTimer);
    connect(&pumpTimer_, &QTimer::timeout, this, &PtyUnitServer::pump);
    connect(&noiseTimer_, &QTimer::timeout, this, &PtyUnitServer::sendNoise);
    connect(&line_, &PseudoTerminal::readyRead, this, &PtyUnitServer::readLine);
}

PtyUnitServer::~PtyUnitServer() {
    removeLink();
}

QString PtyUnitServer::start() {
    if (line_.isOpen())
        return QStringLiteral("already serving on %1").arg(line_.slavePath());
    if (options_.baud <= 0)
        return QStringLiteral("the line speed must be above 0");
    if (QString error = line_.open(); !error.isEmpty())
        return error;
    if (QString error = placeLink(); !error.isEmpty()) {
        line_.close();
        return error;
    }
    if (options_.noise)
        noiseTimer_.start(NoiseIntervalMs);
    return {};
}

// A link left behind by a unit that was killed is replaced; anything else under that name
// belongs to someone else.
QString PtyUnitServer::placeLink() {
    const QString& path = options_.linkPath;
    if (path.isEmpty())
        return {};
    const QFileInfo existing(path);
    if (existing.isSymbolicLink())
        QFile::remove(path);
    else if (existing.exists())
        return QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(path);
    QFile line(slavePath());
    if (!line.link(path))
        return QStringLiteral("cannot make the link %1: %2").arg(path, line.errorString());
    linked_ = true;
    return {};
}

// Only while the link still leads here: another unit may have taken the name meanwhile.
// A link left after the line closed would lead to whichever terminal next gets its name.
void PtyUnitServer::removeLink() {
    if (!std::exchange(linked_, false))
        return;
    if (QFile::symLinkTarget(options_.linkPath) == slavePath())
        QFile::remove(options_.linkPath);
}

void PtyUnitServer::hangUp() {
    if (!line_.isOpen())
        return;
    removeLink();
    pumpTimer_.stop();
    noiseTimer_.stop();
    queue_.clear();
    line_.close();
    emit hungUp();
}

void PtyUnitServer::readLine() {
    const std::optional<QByteArray> received = line_.read();
    if (!received) {
        hangUp();
        return;
    }
    if (received->isEmpty())
        return;
    emit bytesReceived();
    QByteArrayView bytes(*received);
    if (options_.echo && !writeToLine(bytes))
        return;
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
    if (isNth(answerCount_, options_.noiseEvery))
        reply.prepend(noiseBurst());
    enqueue(reply, completedAtMs + options_.turnaroundMs);
}

void PtyUnitServer::enqueue(const QByteArray& bytes, double readyAtMs) {
    const double startMs = std::max(readyAtMs, outputFreeAtMs_);
    outputFreeAtMs_ = startMs + double(bytes.size()) * answerByteMs();
    queue_.push_back({bytes, startMs, 0});
}

// Writes every byte whose character time has passed, so the client receives the answers
// at the line speed, in small chunks.
void PtyUnitServer::pump() {
    const double now = nowMs();
    while (!queue_.empty()) {
        Outgoing& front = queue_.front();
        const auto due = std::clamp<qsizetype>(qsizetype((now - front.startMs) / answerByteMs()), 0,
                                               front.bytes.size());
        if (due > front.sent) {
            const std::optional<qsizetype> written =
                writeToLine(QByteArrayView(front.bytes).sliced(front.sent, due - front.sent));
            if (!written)
                return;
            front.sent += *written;
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
    const bool lingering = now < outputFreeAtMs_ + HangupLingerMs;
    if ((lingering || line_.unreadByClient() > 0) && now < hangupDeadlineMs_) {
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
    const double nextDueMs = front.startMs + double(front.sent + 1) * answerByteMs();
    pumpTimer_.start(std::max(0, int(std::ceil(nextDueMs - nowMs()))));
}

// The number of bytes written, or nullopt when the line has gone (and has been hung up);
// a full buffer is no failure.
std::optional<qsizetype> PtyUnitServer::writeToLine(QByteArrayView bytes) {
    const std::optional<qsizetype> written = line_.write(bytes);
    if (!written)
        hangUp();
    return written;
}

void PtyUnitServer::sendNoise() {
    if (!queue_.empty() || hangupPending_)
        return;
    enqueue(noiseBurst(), nowMs());
    pump();
}

QByteArray PtyUnitServer::noiseBurst() {
    QByteArray junk;
    for (int i = 0; i < NoiseBurstLength; ++i) {
        junk.append(NoiseCharacters[noisePosition_]);
        noisePosition_ = int((noisePosition_ + 1) % NoiseCharacters.size());
    }
    return junk;
}

double PtyUnitServer::nowMs() const {
    return double(clock_.nsecsElapsed()) / 1e6;
}

double PtyUnitServer::charTimeMs() const {
    return 10000.0 / options_.baud;
}

// A slow unit leaves gaps between its bytes; none sends faster than its line.
double PtyUnitServer::answerByteMs() const {
    return std::max(charTimeMs(), double(options_.byteDelayMs));
}

} // namespace rtu
