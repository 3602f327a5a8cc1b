#pragma once

#include "serial/SerialLibrary.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>

class QSerialPort;

namespace rtu {

// The serial library on QSerialPort. Port ids 0..4 (COM1..COM5) map to device paths:
// /dev/ttyS0../dev/ttyS4 on Linux and COM1..COM5 on Windows by default, each overridable
// (a USB adapter, a pseudo-terminal). Received bytes are queued by QSerialPort and handed
// out one by one by GetByte.
class QtSerialLibrary : public SerialLibrary {
    Q_OBJECT
public:
    explicit QtSerialLibrary(QObject* parent = nullptr);
    ~QtSerialLibrary() override;

    static QString defaultDevice(PortId port);
    // A name without a folder is taken as resolveDeviceName() says, in the current folder.
    void setDevice(PortId port, const QString& path) override;
    QString device(PortId port) const override;

    void setDelayUnitOverride(std::optional<double> milliseconds) override;
    // The unit the delays of the port last opened or configured take, factor included.
    double delayUnitMilliseconds() const;
    void setDelayUnitFactor(int factor) override;
    void setPacing(Pacing pacing, std::optional<int> replyTimeoutMs = std::nullopt) override;
    Pacing pacing() const;

    std::int32_t InitializePort(PortId port, std::int16_t portAgain, std::int16_t hexBase,
                                std::int16_t a, std::int16_t b, std::int16_t c,
                                std::int16_t receiveSize, std::int16_t transmitSize,
                                std::int16_t d) override;
    std::int32_t UnInitializePort(PortId port) override;
    std::int32_t SetPortCharacteristics(PortId port, std::int32_t baudCode, std::int16_t parityCode,
                                        std::int16_t lengthCode, std::int16_t stopBitsCode,
                                        std::int16_t protocolCode) override;
    std::int16_t nearestLineProtocol(std::int16_t code) const override;
    bool deviceAvailable(PortId port) const override;
    std::int32_t ser_rs232_getport(PortId port, PortParameterBlock& record) override;
    std::int32_t GetByte(PortId port) override;
    std::int32_t PutString(PortId port, const QByteArray& text) override;
    std::int32_t PutByte(PortId port, int code) override;
    std::int32_t RtsOn(PortId port) override;
    std::int32_t RtsOff(PortId port) override;
    std::int32_t CdrvDelay(PortId port, int units) override;
    std::int32_t CdrvDelayUntil(PortId port, int units,
                                const std::function<bool()>& replyIn) override;
    void interruptDelay() override;
    OpenError lastOpenError(PortId port) const override;
    std::optional<ModemLines> modemLines(PortId port) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace rtu
