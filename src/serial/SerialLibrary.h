#pragma once

#include "serial/OpenError.h"
#include "serial/PortParameterBlock.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace rtu {

using PortId = std::int16_t; // 0..4 = COM1..COM5, -1 = no port open
inline constexpr PortId NoPort = -1;
inline constexpr int PortCount = 5;

// The modem status lines the far end drives, as the port last saw them.
struct ModemLines {
    bool cts = false; // clear to send
    bool dsr = false; // data set ready
    bool dcd = false; // data carrier detect
};

// How the wait after a read line ends: after the whole settle delay, or as soon as the reply
// is in plus two character times.
enum class Pacing { FixedDelays, UntilReply };

// The ten operations of the serial communication library the program is written against.
// Every call takes the port id first; every result is a 32-bit integer, 0 meaning success.
// Implementations: QtSerialLibrary (a real or pseudo terminal through QSerialPort) and
// FakeSerialLibrary (scripted, for unit tests).
class SerialLibrary : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the port. The program passes: port, port, 0, 0, 9, 0, 2048, 1024, 0.
    virtual std::int32_t InitializePort(PortId port, std::int16_t portAgain, std::int16_t hexBase,
                                        std::int16_t a, std::int16_t b, std::int16_t c,
                                        std::int16_t receiveSize, std::int16_t transmitSize,
                                        std::int16_t d) = 0;
    virtual std::int32_t UnInitializePort(PortId port) = 0;
    // Codes are the indexes of the port menus (see LineCodes.h). Refuses port -1.
    virtual std::int32_t SetPortCharacteristics(PortId port, std::int32_t baudCode,
                                                std::int16_t parityCode, std::int16_t lengthCode,
                                                std::int16_t stopBitsCode,
                                                std::int16_t protocolCode) = 0;
    // The line protocol code the library carries out for `code`: the code itself when it
    // can, else the nearest one it can.
    virtual std::int16_t nearestLineProtocol(std::int16_t code) const { return code; }
    // Whether the device behind a port is there to be opened (an adapter plugged back in).
    virtual bool deviceAvailable(PortId /*port*/) const { return false; }
    // The device behind a port, as the operator chose it; empty when the library cannot say.
    virtual QString device(PortId /*port*/) const { return {}; }
    // Puts another device behind a port (an adapter, a pseudo-terminal); the next
    // InitializePort of that port opens it.
    virtual void setDevice(PortId /*port*/, const QString& /*path*/) {}
    // Fills the block with the open port's parameters, the five codes included.
    virtual std::int32_t ser_rs232_getport(PortId port, PortParameterBlock& record) = 0;
    // The next received byte 0..255, or -1 when none is waiting (and for port -1). Never blocks.
    virtual std::int32_t GetByte(PortId port) = 0;
    virtual std::int32_t PutString(PortId port, const QByteArray& text) = 0;
    virtual std::int32_t PutByte(PortId port, int code) = 0;
    virtual std::int32_t RtsOn(PortId port) = 0;
    virtual std::int32_t RtsOff(PortId port) = 0;
    // Waits `units` delay units while the event loop keeps running, so the receiver keeps
    // collecting bytes during the wait.
    virtual std::int32_t CdrvDelay(PortId port, int units) = 0;
    // The wait after a read line. A library that paces by replies ends it once `replyIn`
    // holds (asked after the receiver has taken new bytes), plus a guard for trailing bytes;
    // this one, like a library pacing by fixed delays, waits the whole delay.
    virtual std::int32_t CdrvDelayUntil(PortId port, int units,
                                        const std::function<bool()>& /*replyIn*/) {
        return CdrvDelay(port, units);
    }
    // Ends the delay running now, if any, at once: a program that is closing must not wait
    // out a settle delay, which at 110 baud or with a long delay unit can last many seconds.
    virtual void interruptDelay() {}

    // Longest delay unit an operator may fix: 25 units of it stay under half a minute.
    static constexpr double MaxDelayUnitMs = 1000.0;
    // Fixes the length of one CdrvDelay unit (slow radio links); nullopt lets the library
    // derive it from the line settings.
    virtual void setDelayUnitOverride(std::optional<double> /*milliseconds*/) {}
    // Lengthens every delay unit, derived or fixed, for a slow unit ("Reply Wait" x2..x8).
    virtual void setDelayUnitFactor(int /*factor*/) {}
    // How CdrvDelayUntil ends; `replyTimeoutMs` replaces the settle delay as the longest wait
    // for a reply, nullopt keeps it. A library that cannot tell a reply in keeps fixed delays.
    virtual void setPacing(Pacing /*pacing*/,
                           std::optional<int> /*replyTimeoutMs*/ = std::nullopt) {}

    // Beyond the ten: why the port's last InitializePort failed. Reason None after a
    // success, and from a library that cannot say.
    virtual OpenError lastOpenError(PortId) const { return {}; }
    // Beyond the ten: the open port's modem status lines; nullopt without an open port and
    // from a device that cannot say (a pseudo-terminal).
    virtual std::optional<ModemLines> modemLines(PortId) { return std::nullopt; }

signals:
    // Bytes are waiting: the receiver may tick now instead of waiting for its timer.
    void bytesWaiting();
    // The open port failed for good (adapter unplugged, device gone).
    void portLost(rtu::PortId port);
};

} // namespace rtu
