#pragma once

#include "config/RuntimeError.h"
#include "serial/SerialLibrary.h"

#include <QRegularExpression>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace rtu {

// What a FakeSerialLibrary is told to do and what it has recorded: a new library's state.
struct FakeSerialState {
    // Behaviour: what the calls return.
    std::map<PortId, std::int32_t> openResults; // InitializePort; 0 for ports not named
    std::int32_t closeResult = 0;
    std::int32_t characteristicsResult = 0; // for a port other than NoPort
    std::function<void()> onDelay;
    // After each wait for a reply: whether the exchange judged the reply in.
    std::vector<bool> repliesIn;
    bool available = false;           // deviceAvailable for every port
    std::optional<ModemLines> pinout; // modemLines of an open port
    // The line protocol the library carries out in place of one it cannot (default: any).
    std::function<std::int16_t(std::int16_t)> nearestProtocol;
    // Throws from PutString for the n-th (1-based) line sent, to test error traps.
    int failOnLine = 0;
    // Reports the port lost while the n-th line is sent.
    int loseOnLine = 0;
    // What the reply wait set last.
    int delayUnitFactor = 1;
    Pacing pacing = Pacing::FixedDelays;

protected:
    PortParameterBlock reported_;
    std::map<QString, QByteArray> answers_;
    std::deque<std::uint8_t> incoming_;
    QStringList calls_;
    QByteArray sent_;
    int linesSent_ = 0;
};

// A scripted serial library for unit tests. It records every call in order (as text such
// as "PutString 0 GPP\r\n" or "CdrvDelay 0 25"; GetByte is not recorded), lets a test
// queue bytes to be received, and answers lines: a reply registered for a sent line is
// queued as received bytes when that line is sent. During CdrvDelay it runs the onDelay
// hook (normally the receiver tick), so replies reach the reply buffer inside the wait.
class FakeSerialLibrary : public SerialLibrary, public FakeSerialState {
public:
    // The five codes ser_rs232_getport reports for an open port.
    void setReportedCodes(std::int32_t baud, std::int16_t parity, std::int16_t length,
                          std::int16_t stopBits, std::int16_t protocol) {
        reported_.setBaudCode(baud);
        reported_.setParityCode(parity);
        reported_.setLengthCode(length);
        reported_.setStopBitsCode(stopBits);
        reported_.setProtocolCode(protocol);
    }
    // When `line` (without CR LF) is sent, `reply` becomes receivable.
    void answer(const QString& line, const QByteArray& reply) { answers_[line] = reply; }
    void queueIncoming(const QByteArray& bytes) {
        incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
    }

    // Observation.
    const QStringList& calls() const { return calls_; }
    // The PutString texts, without CR LF.
    QStringList sentLines() const {
        QStringList lines;
        for (const QString& entry : calls_.filter(QRegularExpression("^PutString ")))
            lines << withoutLineEnd(entry.section(QLatin1Char(' '), 2));
        return lines;
    }
    QByteArray sentBytes() const { return sent_; }
    void clearCalls() { calls_.clear(); }
    // Back to a new library's state. A fuzz target reuses one library for all its inputs.
    void reset() { static_cast<FakeSerialState&>(*this) = FakeSerialState(); }

    std::int32_t InitializePort(PortId port, std::int16_t, std::int16_t, std::int16_t, std::int16_t,
                                std::int16_t, std::int16_t, std::int16_t, std::int16_t) override {
        record("InitializePort", port);
        return openResults.contains(port) ? openResults[port] : 0;
    }
    std::int32_t UnInitializePort(PortId port) override {
        record("UnInitializePort", port);
        return closeResult;
    }
    std::int32_t SetPortCharacteristics(PortId port, std::int32_t baud, std::int16_t parity,
                                        std::int16_t length, std::int16_t stopBits,
                                        std::int16_t protocol) override {
        calls_ << QString::asprintf("SetPortCharacteristics %d %d %d %d %d %d", port, baud, parity,
                                    length, stopBits, protocol);
        return port == NoPort ? -1 : characteristicsResult;
    }
    bool deviceAvailable(PortId) const override { return available; }
    QString device(PortId port) const override { return QStringLiteral("/dev/fake%1").arg(port); }
    std::optional<ModemLines> modemLines(PortId port) override {
        return port == NoPort ? std::nullopt : pinout;
    }
    std::int16_t nearestLineProtocol(std::int16_t code) const override {
        return nearestProtocol ? nearestProtocol(code) : code;
    }
    std::int32_t ser_rs232_getport(PortId port, PortParameterBlock& block) override {
        record("ser_rs232_getport", port);
        block = reported_;
        return 0;
    }
    std::int32_t GetByte(PortId port) override {
        if (port == NoPort || incoming_.empty())
            return -1;
        const std::uint8_t byte = incoming_.front();
        incoming_.pop_front();
        return byte;
    }
    std::int32_t PutString(PortId port, const QByteArray& text) override {
        if (++linesSent_ == failOnLine)
            throw RuntimeError("scripted failure while sending a line");
        const QString line = QString::fromLatin1(text);
        calls_ << QStringLiteral("PutString %1 ").arg(port) + line;
        sent_ += text;
        if (linesSent_ == loseOnLine)
            emit portLost(port);
        const auto reply = answers_.find(withoutLineEnd(line));
        if (port != NoPort && reply != answers_.end())
            queueIncoming(reply->second);
        return 0;
    }
    std::int32_t PutByte(PortId port, int code) override {
        calls_ << QStringLiteral("PutByte %1 %2").arg(port).arg(code);
        sent_ += char(code);
        return 0;
    }
    std::int32_t RtsOn(PortId port) override { return record("RtsOn", port), 0; }
    std::int32_t RtsOff(PortId port) override { return record("RtsOff", port), 0; }
    std::int32_t CdrvDelay(PortId port, int units) override {
        calls_ << QStringLiteral("CdrvDelay %1 %2").arg(port).arg(units);
        if (onDelay)
            onDelay();
        return 0;
    }
    void interruptDelay() override { calls_ << QStringLiteral("interruptDelay"); }
    void setDelayUnitFactor(int factor) override { delayUnitFactor = factor; }
    void setPacing(Pacing chosen, std::optional<int> = std::nullopt) override { pacing = chosen; }
    std::int32_t CdrvDelayUntil(PortId port, int units,
                                const std::function<bool()>& replyIn) override {
        CdrvDelay(port, units);
        repliesIn.push_back(replyIn());
        return 0;
    }

private:
    static QString withoutLineEnd(const QString& text) {
        return text.endsWith(QLatin1String("\r\n")) ? text.chopped(2) : text;
    }
    void record(const char* name, PortId port) {
        calls_ << QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(port);
    }
};

} // namespace rtu
