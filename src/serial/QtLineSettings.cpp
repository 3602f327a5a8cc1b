#include "serial/QtLineSettings.h"

#include "serial/LineCodes.h"

namespace rtu {

namespace {

// Line protocol codes QSerialPort can carry out (indexes of lineProtocolCaptions()).
constexpr std::int16_t ProtocolRtsRts = 0;
constexpr std::int16_t ProtocolNonNon = 4;
constexpr std::int16_t ProtocolXonXon = 7;

std::optional<QSerialPort::Parity> qtParity(std::int16_t code) {
    switch (code) {
    case 0:
        return QSerialPort::NoParity;
    case 1:
        return QSerialPort::OddParity;
    case 2:
        return QSerialPort::EvenParity;
    case 3:
        return QSerialPort::MarkParity; // "Sticky Odd": the parity bit is always 1
    case 4:
        return QSerialPort::SpaceParity; // "Sticky Even": the parity bit is always 0
    default:
        return std::nullopt;
    }
}

std::optional<QSerialPort::DataBits> qtDataBits(std::int16_t code) {
    switch (code) {
    case 0:
        return QSerialPort::Data5;
    case 1:
        return QSerialPort::Data6;
    case 2:
        return QSerialPort::Data7;
    case 3:
        return QSerialPort::Data8;
    default:
        return std::nullopt;
    }
}

std::optional<QSerialPort::StopBits> qtStopBits(std::int16_t code) {
    switch (code) {
    case 0:
        return QSerialPort::OneStop;
    case 1:
        return QSerialPort::TwoStop;
    default:
        return std::nullopt;
    }
}

// QSerialPort knows only three kinds of flow control, each the same in both directions:
// none, RTS/CTS and XON/XOFF. The other protocol codes pace one direction differently from
// the other or use DTR, which it cannot do; accepting them would leave the line unpaced
// while the menus claim otherwise, so they are refused.
std::optional<QSerialPort::FlowControl> qtFlowControl(std::int16_t code) {
    switch (code) {
    case ProtocolRtsRts:
        return QSerialPort::HardwareControl;
    case ProtocolNonNon:
        return QSerialPort::NoFlowControl;
    case ProtocolXonXon:
        return QSerialPort::SoftwareControl;
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QtLineSettings> toQt(const LineSettings& codes) {
    const auto rate = baudRate(codes.baud);
    const auto parity = qtParity(codes.parity);
    const auto dataBits = qtDataBits(codes.length);
    const auto stopBits = qtStopBits(codes.stopBits);
    const auto flow = qtFlowControl(codes.protocol);
    if (!rate || !parity || !dataBits || !stopBits || !flow)
        return std::nullopt;
    return QtLineSettings{*rate, *parity, *dataBits, *stopBits, *flow};
}

// Pacing by RTS/CTS in either direction is nearest to RTS/CTS both ways, then XON/XOFF;
// DTR pacing has no QSerialPort form, so without either the line runs unpaced.
std::int16_t nearestQtLineProtocol(std::int16_t code) {
    if (qtFlowControl(code))
        return code;
    const QString caption = lineProtocolCaptions().value(code);
    if (caption.contains(QLatin1String("RTS")))
        return ProtocolRtsRts;
    return caption.contains(QLatin1String("XON")) ? ProtocolXonXon : ProtocolNonNon;
}

} // namespace rtu
