#include "serial/QtSerialLibrary.h"

#include "serial/LineCodes.h"
#include "serial/PortLock.h"
#include "serial/QtLineSettings.h"
#include "serial/SerialDevices.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>
#include <algorithm>

#include <cmath>
#include <limits>
#include <vector>

namespace rtu {

namespace {

// Results; callers only distinguish 0 from the rest, the values help when debugging.
constexpr std::int32_t Ok = 0;
constexpr std::int32_t BadPort = 1;
constexpr std::int32_t NotOpen = 2;
constexpr std::int32_t OpenFailed = 3;
constexpr std::int32_t BadSetting = 4;
constexpr std::int32_t DeviceRefused = 5;

constexpr std::int32_t NoByte = -1;

// After a reply is in: time for bytes that trail its line end.
constexpr double GuardCharacters = 2.0;

// A wait as a timer takes it: whole milliseconds, rounded up, and held within int whatever
// the delay unit, its factor and the count multiply to.
int timerMs(double milliseconds) {
    constexpr double Longest = std::numeric_limits<int>::max();
    return milliseconds > 0 ? int(std::ceil(std::min(milliseconds, Longest))) : 0;
}

bool validPort(PortId port) {
    return port >= 0 && port < PortCount;
}

// Errors after which the device is gone: it disappeared, or a read from a descriptor that
// reported data failed (a pseudo-terminal whose other end closed, an unplugged adapter).
// Both keep recurring on every event-loop pass until the port is closed.
bool meansDeviceGone(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

// Why QSerialPort did not open `device`. It reports a port another program holds (its lock
// file, or the device's exclusive mode) as a permission error too: the device's own
// permissions tell the two apart.
OpenFailure openFailure(QSerialPort::SerialPortError error, const QString& device) {
    if (device.isEmpty() || error == QSerialPort::DeviceNotFoundError)
        return OpenFailure::NoSuchDevice;
    if (error == QSerialPort::PermissionError)
        return permissionsAllowOpening(device) ? OpenFailure::Busy : OpenFailure::PermissionDenied;
    return OpenFailure::Other;
}

} // namespace

struct QtSerialLibrary::Impl {
    struct Port {
        QString device;
        QSerialPort serial;
        LineSettings settings;  // the codes last accepted (the defaults after opening)
        OpenError openError;    // why the last open failed
        QByteArray received;    // taken from QSerialPort, handed out by GetByte
        qsizetype nextByte = 0; // index of the next byte of `received` to hand out
        bool losing = false;    // the device is gone; the close is scheduled
    };

    explicit Impl(QtSerialLibrary& owner) : q(owner) {
        for (PortId id = 0; id < PortCount; ++id) {
            Port& port = ports[std::size_t(id)];
            port.device = defaultDevice(id);
            QObject::connect(&port.serial, &QSerialPort::readyRead, &q,
                             &SerialLibrary::bytesWaiting);
            QObject::connect(
                &port.serial, &QSerialPort::errorOccurred, &q,
                [this, id](QSerialPort::SerialPortError error) { handleError(id, error); });
        }
    }

    // The port if it is open and usable, else nullptr.
    Port* openPort(PortId id) {
        if (!validPort(id))
            return nullptr;
        Port& port = ports[std::size_t(id)];
        return port.serial.isOpen() && !port.losing ? &port : nullptr;
    }

    ~Impl() {
        // The ports close as they are destroyed; nothing may reach the half-destroyed owner.
        for (Port& port : ports)
            QObject::disconnect(&port.serial, nullptr, &q, nullptr);
    }

    void close(Port& port) {
        if (port.serial.isOpen())
            port.serial.close();
        port.serial.clearError();
        port.received.clear();
        port.nextByte = 0;
        port.losing = false;
    }

    bool apply(QSerialPort& serial, const QtLineSettings& wanted) {
        // Only what changes is set: a pseudo-terminal refuses some repeated settings.
        const bool ok =
            (serial.baudRate() == wanted.rate || serial.setBaudRate(wanted.rate)) &&
            (serial.dataBits() == wanted.dataBits || serial.setDataBits(wanted.dataBits)) &&
            (serial.parity() == wanted.parity || serial.setParity(wanted.parity)) &&
            (serial.stopBits() == wanted.stopBits || serial.setStopBits(wanted.stopBits)) &&
            (serial.flowControl() == wanted.flow || serial.setFlowControl(wanted.flow));
        serial.clearError();
        return ok;
    }

    void handleError(PortId id, QSerialPort::SerialPortError error) {
        Port& port = ports[std::size_t(id)];
        if (!meansDeviceGone(error) || !port.serial.isOpen() || port.losing)
            return;
        // Closing inside QSerialPort's own notification is unsafe; close on the next pass.
        port.losing = true;
        QMetaObject::invokeMethod(
            &q,
            [this, id] {
                Port& lost = ports[std::size_t(id)];
                if (!lost.losing) // closed or reopened in the meantime
                    return;
                close(lost);
                emit q.portLost(id);
            },
            Qt::QueuedConnection);
    }

    LineSettings settingsOf(PortId id) const {
        return validPort(id) ? ports[std::size_t(id)].settings : LineSettings{};
    }

    double unitMs(PortId id) const {
        const LineSettings codes = settingsOf(id);
        const double unit =
            unitOverride ? std::max(0.0, *unitOverride)
                         : delayUnitMs(codes.baud, codes.parity, codes.length, codes.stopBits);
        return unit * unitFactor;
    }

    int delayMs(PortId id, int units) const { return timerMs(std::max(0, units) * unitMs(id)); }

    // Runs the event loop of a delay until it ends or interruptDelay() ends it.
    void wait(QEventLoop& loop) {
        waits.push_back(&loop);
        loop.exec();
        waits.pop_back();
    }

    int guardMs(PortId id) const {
        const LineSettings codes = settingsOf(id);
        return timerMs(GuardCharacters *
                       characterMs(codes.baud, codes.parity, codes.length, codes.stopBits));
    }

    QtSerialLibrary& q;
    std::array<Port, PortCount> ports;
    std::optional<double> unitOverride;
    int unitFactor = 1;
    Pacing pacing = Pacing::FixedDelays;
    std::optional<int> replyTimeoutMs;
    PortId lastConfigured = NoPort; // the port whose settings delayUnitMilliseconds() reports
    std::vector<QEventLoop*> waits; // the delays running, innermost last
};

QtSerialLibrary::QtSerialLibrary(QObject* parent)
    : SerialLibrary(parent), d_(std::make_unique<Impl>(*this)) {}

QtSerialLibrary::~QtSerialLibrary() = default;

QString QtSerialLibrary::defaultDevice(PortId port) {
    if (!validPort(port))
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port + 1);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port);
#endif
}

void QtSerialLibrary::setDevice(PortId port, const QString& path) {
    if (validPort(port))
        d_->ports[std::size_t(port)].device = resolveDeviceName(path);
}

QString QtSerialLibrary::device(PortId port) const {
    return validPort(port) ? d_->ports[std::size_t(port)].device : QString();
}

void QtSerialLibrary::setDelayUnitOverride(std::optional<double> milliseconds) {
    d_->unitOverride = milliseconds;
}

double QtSerialLibrary::delayUnitMilliseconds() const {
    return d_->unitMs(d_->lastConfigured);
}

void QtSerialLibrary::setDelayUnitFactor(int factor) {
    d_->unitFactor = std::max(1, factor);
}

void QtSerialLibrary::setPacing(Pacing pacing, std::optional<int> replyTimeoutMs) {
    d_->pacing = pacing;
    d_->replyTimeoutMs = replyTimeoutMs;
}

Pacing QtSerialLibrary::pacing() const {
    return d_->pacing;
}

// The constant arguments only give the call its shape: QSerialPort sizes its own buffers.
std::int32_t QtSerialLibrary::InitializePort(PortId port, std::int16_t, std::int16_t, std::int16_t,
                                             std::int16_t, std::int16_t, std::int16_t, std::int16_t,
                                             std::int16_t) {
    if (!validPort(port))
        return BadPort;
    Impl::Port& state = d_->ports[std::size_t(port)];
    d_->close(state);

    // A freshly opened port always starts at the defaults, whatever it was left at.
    state.settings = LineSettings{};
    const auto defaults = toQt(state.settings);
    state.serial.setPortName(state.device);
    state.serial.setBaudRate(defaults->rate);
    state.serial.setDataBits(defaults->dataBits);
    state.serial.setParity(defaults->parity);
    state.serial.setStopBits(defaults->stopBits);
    state.serial.setFlowControl(defaults->flow);
    if (state.device.isEmpty() || !state.serial.open(QIODevice::ReadWrite)) {
        state.openError = {openFailure(state.serial.error(), state.device), state.device,
                           state.serial.errorString()};
        state.serial.clearError();
        return OpenFailed;
    }
    if (!lockPortDevice(state.serial)) {
        state.serial.close();
        state.openError = {OpenFailure::Busy, state.device, QString()};
        return OpenFailed;
    }
    state.openError = {};
    d_->lastConfigured = port;
    return Ok;
}

OpenError QtSerialLibrary::lastOpenError(PortId port) const {
    return validPort(port) ? d_->ports[std::size_t(port)].openError : OpenError{};
}

std::int32_t QtSerialLibrary::UnInitializePort(PortId port) {
    if (!validPort(port))
        return BadPort;
    // A port whose device is gone is still closed here; it then reports no loss.
    Impl::Port& state = d_->ports[std::size_t(port)];
    if (!state.serial.isOpen())
        return NotOpen;
    d_->close(state);
    return Ok;
}

std::int32_t QtSerialLibrary::SetPortCharacteristics(PortId port, std::int32_t baudCode,
                                                     std::int16_t parityCode,
                                                     std::int16_t lengthCode,
                                                     std::int16_t stopBitsCode,
                                                     std::int16_t protocolCode) {
    Impl::Port* state = d_->openPort(port);
    if (!state)
        return validPort(port) ? NotOpen : BadPort;
    const LineSettings codes{baudCode, parityCode, lengthCode, stopBitsCode, protocolCode};
    const auto wanted = toQt(codes);
    if (!wanted)
        return BadSetting;
    if (!d_->apply(state->serial, *wanted)) {
        // Put back what was accepted before, so the device matches the remembered codes.
        d_->apply(state->serial, *toQt(state->settings));
        return DeviceRefused;
    }
    state->settings = codes;
    d_->lastConfigured = port;
    return Ok;
}

// A device path (a USB adapter's node, a pseudo-terminal) exists; a port name (COM3) is
// looked for among the ports the system reports.
bool QtSerialLibrary::deviceAvailable(PortId port) const {
    const QString path = device(port);
    if (path.isEmpty())
        return false;
    if (path.contains(QLatin1Char('/')))
        return QFileInfo::exists(path);
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    return std::any_of(ports.begin(), ports.end(),
                       [&](const QSerialPortInfo& info) { return info.portName() == path; });
}

std::int16_t QtSerialLibrary::nearestLineProtocol(std::int16_t code) const {
    return nearestQtLineProtocol(code);
}

std::int32_t QtSerialLibrary::ser_rs232_getport(PortId port, PortParameterBlock& record) {
    const Impl::Port* state = d_->openPort(port);
    if (!state)
        return validPort(port) ? NotOpen : BadPort;
    record = PortParameterBlock{};
    record.setBaudCode(state->settings.baud);
    record.setParityCode(state->settings.parity);
    record.setLengthCode(state->settings.length);
    record.setStopBitsCode(state->settings.stopBits);
    record.setProtocolCode(state->settings.protocol);
    return Ok;
}

std::int32_t QtSerialLibrary::GetByte(PortId port) {
    Impl::Port* state = d_->openPort(port);
    if (!state)
        return NoByte;
    if (state->nextByte >= state->received.size()) {
        state->received = state->serial.readAll();
        state->nextByte = 0;
        if (state->received.isEmpty())
            return NoByte;
    }
    return std::uint8_t(state->received.at(state->nextByte++));
}

std::int32_t QtSerialLibrary::PutString(PortId port, const QByteArray& text) {
    Impl::Port* state = d_->openPort(port);
    if (!state)
        return validPort(port) ? NotOpen : BadPort;
    // Queued only: QSerialPort writes when the event loop runs (at the latest in CdrvDelay).
    // Flushing here could block for good on a line held back by flow control.
    if (state->serial.write(text) != text.size()) {
        state->serial.clearError();
        return DeviceRefused;
    }
    return Ok;
}

std::int32_t QtSerialLibrary::PutByte(PortId port, int code) {
    if (code < 0 || code > 255)
        return BadSetting;
    return PutString(port, QByteArray(1, char(code)));
}

namespace {

std::int32_t setRts(QSerialPort& serial, bool raised) {
    if (serial.setRequestToSend(raised))
        return Ok;
    // Pseudo-terminals and ports under RTS/CTS flow control refuse; callers ignore the
    // result, and the refusal must not linger as the port's error.
    serial.clearError();
    return DeviceRefused;
}

} // namespace

std::int32_t QtSerialLibrary::RtsOn(PortId port) {
    Impl::Port* state = d_->openPort(port);
    return state ? setRts(state->serial, true) : NotOpen;
}

std::int32_t QtSerialLibrary::RtsOff(PortId port) {
    Impl::Port* state = d_->openPort(port);
    return state ? setRts(state->serial, false) : NotOpen;
}

std::optional<ModemLines> QtSerialLibrary::modemLines(PortId port) {
    Impl::Port* state = d_->openPort(port);
    if (!state)
        return std::nullopt;
    state->serial.clearError();
    const QSerialPort::PinoutSignals pins = state->serial.pinoutSignals();
    // A device without modem lines refuses; the refusal must not linger as the port's error.
    const bool refused = state->serial.error() != QSerialPort::NoError;
    state->serial.clearError();
    if (refused)
        return std::nullopt;
    return ModemLines{pins.testFlag(QSerialPort::ClearToSendSignal),
                      pins.testFlag(QSerialPort::DataSetReadySignal),
                      pins.testFlag(QSerialPort::DataCarrierDetectSignal)};
}

std::int32_t QtSerialLibrary::CdrvDelay(PortId port, int units) {
    // Events keep running: queued writes go out, received bytes and timers are handled.
    QEventLoop wait;
    QTimer::singleShot(d_->delayMs(port, units), Qt::PreciseTimer, &wait, &QEventLoop::quit);
    d_->wait(wait);
    return Ok;
}

std::int32_t QtSerialLibrary::CdrvDelayUntil(PortId port, int units,
                                             const std::function<bool()>& replyIn) {
    if (d_->pacing == Pacing::FixedDelays)
        return CdrvDelay(port, units);
    QEventLoop wait;
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    connect(&end, &QTimer::timeout, &wait, &QEventLoop::quit);
    end.start(d_->replyTimeoutMs.value_or(d_->delayMs(port, units)));
    bool in = false;
    const auto check = [&] {
        if (in || !replyIn())
            return;
        in = true;
        end.start(std::min(d_->guardMs(port), end.remainingTime()));
    };
    // Queued, so that it is asked after the receiver has taken the bytes of the notice.
    connect(this, &SerialLibrary::bytesWaiting, &wait, check, Qt::QueuedConnection);
    check();
    d_->wait(wait);
    return Ok;
}

// A delay that runs inside another (an event handled during the outer wait) ends both.
void QtSerialLibrary::interruptDelay() {
    for (QEventLoop* wait : d_->waits)
        wait->quit();
}

} // namespace rtu
