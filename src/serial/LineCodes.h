#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace rtu {

// The port menus' entries; an entry's index is the code stored in the port parameter
// block and passed to SetPortCharacteristics.
const QStringList& baudCaptions();         // "110 Baud" .. "115K Baud"
const QStringList& parityCaptions();       // "None", "Odd", "Even", "Sticky Odd", "Sticky Even"
const QStringList& lengthCaptions();       // "5 Bits" .. "8 Bits"
const QStringList& stopBitsCaptions();     // "1 Stop Bit", "2 StopBits"
const QStringList& lineProtocolCaptions(); // "RTSRTS" .. "XONDTR"

// Bits per second of a baud code, or nullopt for a code outside 0..11.
std::optional<int> baudRate(std::int32_t baudCode);
// Baud code of a rate (110 .. 115200), or nullopt.
std::optional<std::int32_t> baudCodeForRate(int rate);

// Bits on the wire per character: start + data + parity + stop.
int bitsPerCharacter(std::int16_t parityCode, std::int16_t lengthCode, std::int16_t stopBitsCode);

// Milliseconds one character takes on the wire at the line settings (9600 baud 8N1 for a
// baud code outside the menu).
double characterMs(std::int32_t baudCode, std::int16_t parityCode, std::int16_t lengthCode,
                   std::int16_t stopBitsCode);

// Length in milliseconds of one CdrvDelay unit: 15 units cover the wire time of a
// 64-character exchange at the line settings plus 20 ms for the unit to turn round,
// never less than 2 ms. About 5.8 ms at 9600 baud 8N1.
double delayUnitMs(std::int32_t baudCode, std::int16_t parityCode, std::int16_t lengthCode,
                   std::int16_t stopBitsCode);

// HexToInt: hexadecimal text to a 16-bit signed integer; "" gives 0, "1F" gives 31.
// Characters that are not hexadecimal digits count as 0; the value wraps at 16 bits.
std::int16_t HexToInt(const QString& text);

} // namespace rtu
