#include "support/FakeSerialLibrary.h"

#include "config/RuntimeError.h"

namespace rtu {

namespace {

constexpr std::int32_t Refused = -1;
const QString PutStringCall = QStringLiteral("PutString ");

QString call(const char* name, PortId port) {
    return QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(port);
}

QString withoutLineEnd(QString text) {
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    return text;
}

} // namespace

void FakeSerialLibrary::setReportedCodes(std::int32_t baud, std::int16_t parity,
                                         std::int16_t length, std::int16_t stopBits,
                                         std::int16_t protocol) {
    reported_.setBaudCode(baud);
    reported_.setParityCode(parity);
    reported_.setLengthCode(length);
    reported_.setStopBitsCode(stopBits);
    reported_.setProtocolCode(protocol);
}

void FakeSerialLibrary::queueIncoming(const QByteArray& bytes) {
    incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
}

QStringList FakeSerialLibrary::sentLines() const {
    QStringList lines;
    for (const QString& entry : calls_) {
        if (entry.startsWith(PutStringCall))
            lines << withoutLineEnd(entry.section(QLatin1Char(' '), 2));
    }
    return lines;
}

std::int32_t FakeSerialLibrary::InitializePort(PortId port, std::int16_t, std::int16_t,
                                               std::int16_t, std::int16_t, std::int16_t,
                                               std::int16_t, std::int16_t, std::int16_t) {
    calls_ << call("InitializePort", port);
    const auto configured = openResults_.find(port);
    const std::int32_t result = configured == openResults_.end() ? 0 : configured->second;
    if (result == 0)
        open_ = port;
    return result;
}

std::int32_t FakeSerialLibrary::UnInitializePort(PortId port) {
    calls_ << call("UnInitializePort", port);
    open_ = NoPort;
    return closeResult_;
}

std::int32_t FakeSerialLibrary::SetPortCharacteristics(PortId port, std::int32_t baudCode,
                                                       std::int16_t parityCode,
                                                       std::int16_t lengthCode,
                                                       std::int16_t stopBitsCode,
                                                       std::int16_t protocolCode) {
    calls_ << QStringLiteral("SetPortCharacteristics %1 %2 %3 %4 %5 %6")
                  .arg(port)
                  .arg(baudCode)
                  .arg(parityCode)
                  .arg(lengthCode)
                  .arg(stopBitsCode)
                  .arg(protocolCode);
    return port == NoPort ? Refused : characteristicsResult_;
}

std::int32_t FakeSerialLibrary::ser_rs232_getport(PortId port, PortParameterBlock& record) {
    calls_ << call("ser_rs232_getport", port);
    record = reported_;
    return 0;
}

std::int32_t FakeSerialLibrary::GetByte(PortId port) {
    if (port == NoPort || incoming_.empty())
        return -1;
    const std::uint8_t byte = incoming_.front();
    incoming_.pop_front();
    return byte;
}

std::int32_t FakeSerialLibrary::PutString(PortId port, const QByteArray& text) {
    ++linesSent_;
    if (linesSent_ == failOnLine_)
        throw RuntimeError("scripted failure while sending a line");
    const QString line = QString::fromLatin1(text);
    calls_ << PutStringCall + QString::number(port) + QLatin1Char(' ') + line;
    sent_ += text;
    if (linesSent_ == loseOnLine_)
        emit portLost(port);
    const auto reply = answers_.find(withoutLineEnd(line));
    if (port != NoPort && reply != answers_.end())
        queueIncoming(reply->second);
    return 0;
}

std::int32_t FakeSerialLibrary::PutByte(PortId port, int code) {
    calls_ << QStringLiteral("PutByte %1 %2").arg(port).arg(code);
    sent_ += static_cast<char>(code);
    return 0;
}

std::int32_t FakeSerialLibrary::RtsOn(PortId port) {
    calls_ << call("RtsOn", port);
    rts_ = true;
    return 0;
}

std::int32_t FakeSerialLibrary::RtsOff(PortId port) {
    calls_ << call("RtsOff", port);
    rts_ = false;
    return 0;
}

std::int32_t FakeSerialLibrary::CdrvDelay(PortId port, int units) {
    calls_ << QStringLiteral("CdrvDelay %1 %2").arg(port).arg(units);
    if (onDelay)
        onDelay();
    return 0;
}

} // namespace rtu
