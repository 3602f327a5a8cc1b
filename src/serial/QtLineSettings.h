#pragma once

#include "serial/PortParameterBlock.h"

#include <QSerialPort>

#include <cstdint>
#include <optional>

namespace rtu {

// The five line codes of a port, as the menus number them.
struct LineSettings {
    std::int32_t baud = DefaultBaudCode;
    std::int16_t parity = DefaultParityCode;
    std::int16_t length = DefaultLengthCode;
    std::int16_t stopBits = DefaultStopBitsCode;
    std::int16_t protocol = DefaultProtocolCode;
};

// The QSerialPort form of a set of codes.
struct QtLineSettings {
    qint32 rate;
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
    QSerialPort::StopBits stopBits;
    QSerialPort::FlowControl flow;
};

// Nullopt when a code is outside its menu or names a line protocol QSerialPort cannot carry
// out.
std::optional<QtLineSettings> toQt(const LineSettings& codes);

// The line protocol code QSerialPort carries out for `code`: the code itself when it can,
// else the nearest one it can.
std::int16_t nearestQtLineProtocol(std::int16_t code);

} // namespace rtu
