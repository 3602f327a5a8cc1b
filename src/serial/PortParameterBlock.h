#pragma once

#include <array>
#include <cstdint>

namespace rtu {

// The serial layer's 192-byte port parameter block (the program's PortRecord). The program
// owns five little-endian codes at fixed byte positions; every other byte belongs to the
// serial layer and is stored and restored unchanged.
class PortParameterBlock {
public:
    static constexpr int Size = 192;
    static constexpr int BaudOffset = 8;      // 32-bit
    static constexpr int ParityOffset = 12;   // 16-bit
    static constexpr int LengthOffset = 14;   // 16-bit
    static constexpr int StopBitsOffset = 16; // 16-bit
    static constexpr int ProtocolOffset = 20; // 16-bit

    std::int32_t BaudCode() const;
    std::int16_t ParityCode() const;
    std::int16_t LengthCode() const;
    std::int16_t StopBitsCode() const;
    std::int16_t ProtocolCode() const;
    void setBaudCode(std::int32_t code);
    void setParityCode(std::int16_t code);
    void setLengthCode(std::int16_t code);
    void setStopBitsCode(std::int16_t code);
    void setProtocolCode(std::int16_t code);

    // The defaults used when no saved settings exist: 9600 baud, no parity, 8 bits,
    // 1 stop bit, "NONNON".
    void setDefaultCodes();

    std::array<std::uint8_t, Size>& bytes() { return bytes_; }
    const std::array<std::uint8_t, Size>& bytes() const { return bytes_; }

    friend bool operator==(const PortParameterBlock&, const PortParameterBlock&) = default;

private:
    std::array<std::uint8_t, Size> bytes_{};
};

inline constexpr std::int32_t DefaultBaudCode = 7;     // "9600 Baud"
inline constexpr std::int16_t DefaultParityCode = 0;   // "None"
inline constexpr std::int16_t DefaultLengthCode = 3;   // "8 Bits"
inline constexpr std::int16_t DefaultStopBitsCode = 0; // "1 Stop Bit"
inline constexpr std::int16_t DefaultProtocolCode = 4; // "NONNON"

} // namespace rtu
