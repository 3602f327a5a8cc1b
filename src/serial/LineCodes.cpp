#include "serial/LineCodes.h"

#include <algorithm>
#include <array>

namespace rtu {

namespace {

constexpr std::array<int, 12> BaudRates{110,  150,  300,   600,   1200,  2400,
                                        4800, 9600, 19200, 38400, 57600, 115200};

constexpr int FallbackRate = 9600;
constexpr int FallbackBitsPerCharacter = 10; // 8N1

// One CdrvDelay unit is a fifteenth of the time a 64-character exchange takes on the wire
// plus the unit's turn-round time.
constexpr double ExchangeCharacters = 64.0;
constexpr double TurnRoundMs = 20.0;
constexpr double UnitsPerExchange = 15.0;
constexpr double ShortestUnitMs = 2.0;

} // namespace

const QStringList& baudCaptions() {
    static const QStringList captions{
        QStringLiteral("110 Baud"),   QStringLiteral("150 Baud"),   QStringLiteral("300 Baud"),
        QStringLiteral("600 Baud"),   QStringLiteral("1200 Baud"),  QStringLiteral("2400 Baud"),
        QStringLiteral("4800 Baud"),  QStringLiteral("9600 Baud"),  QStringLiteral("19.2K Baud"),
        QStringLiteral("38.4K Baud"), QStringLiteral("57.6K Baud"), QStringLiteral("115K Baud")};
    return captions;
}

const QStringList& parityCaptions() {
    static const QStringList captions{QStringLiteral("None"), QStringLiteral("Odd"),
                                      QStringLiteral("Even"), QStringLiteral("Sticky Odd"),
                                      QStringLiteral("Sticky Even")};
    return captions;
}

const QStringList& lengthCaptions() {
    static const QStringList captions{QStringLiteral("5 Bits"), QStringLiteral("6 Bits"),
                                      QStringLiteral("7 Bits"), QStringLiteral("8 Bits")};
    return captions;
}

const QStringList& stopBitsCaptions() {
    static const QStringList captions{QStringLiteral("1 Stop Bit"), QStringLiteral("2 StopBits")};
    return captions;
}

const QStringList& lineProtocolCaptions() {
    static const QStringList captions{
        QStringLiteral("RTSRTS"), QStringLiteral("RTSXON"), QStringLiteral("RTSDTR"),
        QStringLiteral("RTSNON"), QStringLiteral("NONNON"), QStringLiteral("NONXON"),
        QStringLiteral("XONNON"), QStringLiteral("XONXON"), QStringLiteral("DTRNON"),
        QStringLiteral("DTRRTS"), QStringLiteral("DTRDTR"), QStringLiteral("DTRXON"),
        QStringLiteral("NONRTS"), QStringLiteral("NONDTR"), QStringLiteral("XONRTS"),
        QStringLiteral("XONDTR")};
    return captions;
}

std::optional<int> baudRate(std::int32_t baudCode) {
    if (baudCode < 0 || baudCode >= std::int32_t(BaudRates.size()))
        return std::nullopt;
    return BaudRates[std::size_t(baudCode)];
}

std::optional<std::int32_t> baudCodeForRate(int rate) {
    const auto found = std::find(BaudRates.begin(), BaudRates.end(), rate);
    if (found == BaudRates.end())
        return std::nullopt;
    return std::int32_t(found - BaudRates.begin());
}

// Any code outside its menu counts as 8N1, the library's default framing.
int bitsPerCharacter(std::int16_t parityCode, std::int16_t lengthCode, std::int16_t stopBitsCode) {
    const bool known = parityCode >= 0 && parityCode < parityCaptions().size() && lengthCode >= 0 &&
                       lengthCode < lengthCaptions().size() && stopBitsCode >= 0 &&
                       stopBitsCode < stopBitsCaptions().size();
    if (!known)
        return FallbackBitsPerCharacter;
    const int startBits = 1;
    const int dataBits = 5 + lengthCode;
    const int parityBits = parityCode == 0 ? 0 : 1;
    const int stopBits = 1 + stopBitsCode;
    return startBits + dataBits + parityBits + stopBits;
}

double characterMs(std::int32_t baudCode, std::int16_t parityCode, std::int16_t lengthCode,
                   std::int16_t stopBitsCode) {
    const double rate = baudRate(baudCode).value_or(FallbackRate);
    return bitsPerCharacter(parityCode, lengthCode, stopBitsCode) / rate * 1000.0;
}

double delayUnitMs(std::int32_t baudCode, std::int16_t parityCode, std::int16_t lengthCode,
                   std::int16_t stopBitsCode) {
    const double wireMs =
        ExchangeCharacters * characterMs(baudCode, parityCode, lengthCode, stopBitsCode);
    return std::max(ShortestUnitMs, (wireMs + TurnRoundMs) / UnitsPerExchange);
}

std::int16_t HexToInt(const QString& text) {
    std::uint16_t value = 0; // unsigned, so that more than four digits wrap instead of overflowing
    for (const QChar c : text) {
        const int digit = QStringView(&c, 1).toInt(nullptr, 16);
        value = std::uint16_t(value * 16u + std::uint16_t(digit));
    }
    return std::int16_t(value);
}

} // namespace rtu
