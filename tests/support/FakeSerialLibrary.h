#pragma once

#include "serial/SerialLibrary.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <functional>
#include <map>

namespace rtu {

// A scripted serial library for unit tests. It records every call in order (as text such
// as "PutString 0 GPP\r\n" or "CdrvDelay 0 25"), lets a test queue bytes to be received,
// and answers lines: a reply registered for a sent line is queued as received bytes when
// that line is sent. During CdrvDelay it runs the onDelay hook (normally the receiver tick),
// so replies reach the reply buffer inside the wait, as on the real line.
class FakeSerialLibrary : public SerialLibrary {
    Q_OBJECT
public:
    using SerialLibrary::SerialLibrary;

    // Behaviour.
    void setOpenResult(PortId port, std::int32_t result) { openResults_[port] = result; }
    void setCloseResult(std::int32_t result) { closeResult_ = result; }
    void setCharacteristicsResult(std::int32_t result) { characteristicsResult_ = result; }
    // The five codes ser_rs232_getport reports for an open port.
    void setReportedCodes(std::int32_t baud, std::int16_t parity, std::int16_t length,
                          std::int16_t stopBits, std::int16_t protocol);
    // When `line` (without CR LF) is sent, `reply` becomes receivable.
    void answer(const QString& line, const QByteArray& reply) { answers_[line] = reply; }
    void queueIncoming(const QByteArray& bytes);
    std::function<void()> onDelay;
    // Throws from PutString for the n-th (1-based) line sent, to test error traps.
    void failOnLine(int n) { failOnLine_ = n; }
    // Reports the port lost while the n-th line is sent.
    void loseOnLine(int n) { loseOnLine_ = n; }

    // Observation.
    const QStringList& calls() const { return calls_; }
    QStringList sentLines() const; // the PutString texts, without CR LF
    QByteArray sentBytes() const { return sent_; }
    bool rts() const { return rts_; }
    PortId openPort() const { return open_; }
    void clearCalls() { calls_.clear(); }

    std::int32_t InitializePort(PortId port, std::int16_t portAgain, std::int16_t hexBase,
                                std::int16_t a, std::int16_t b, std::int16_t c,
                                std::int16_t receiveSize, std::int16_t transmitSize,
                                std::int16_t d) override;
    std::int32_t UnInitializePort(PortId port) override;
    std::int32_t SetPortCharacteristics(PortId port, std::int32_t baudCode, std::int16_t parityCode,
                                        std::int16_t lengthCode, std::int16_t stopBitsCode,
                                        std::int16_t protocolCode) override;
    std::int32_t ser_rs232_getport(PortId port, PortParameterBlock& record) override;
    std::int32_t GetByte(PortId port) override;
    std::int32_t PutString(PortId port, const QByteArray& text) override;
    std::int32_t PutByte(PortId port, int code) override;
    std::int32_t RtsOn(PortId port) override;
    std::int32_t RtsOff(PortId port) override;
    std::int32_t CdrvDelay(PortId port, int units) override;

private:
    std::map<PortId, std::int32_t> openResults_;
    std::int32_t closeResult_ = 0;
    std::int32_t characteristicsResult_ = 0;
    PortParameterBlock reported_;
    std::map<QString, QByteArray> answers_;
    std::deque<std::uint8_t> incoming_;
    QStringList calls_;
    QByteArray sent_;
    int linesSent_ = 0;
    int failOnLine_ = 0;
    int loseOnLine_ = 0;
    bool rts_ = false;
    PortId open_ = NoPort;
};

} // namespace rtu
