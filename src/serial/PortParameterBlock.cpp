#include "serial/PortParameterBlock.h"

#include <QtEndian>

namespace rtu {

namespace {

template <typename T>
T readCode(const std::array<std::uint8_t, PortParameterBlock::Size>& bytes, int offset) {
    return qFromLittleEndian<T>(bytes.data() + offset);
}

template <typename T>
void writeCode(std::array<std::uint8_t, PortParameterBlock::Size>& bytes, int offset, T code) {
    qToLittleEndian<T>(code, bytes.data() + offset);
}

} // namespace

std::int32_t PortParameterBlock::BaudCode() const {
    return readCode<std::int32_t>(bytes_, BaudOffset);
}
std::int16_t PortParameterBlock::ParityCode() const {
    return readCode<std::int16_t>(bytes_, ParityOffset);
}
std::int16_t PortParameterBlock::LengthCode() const {
    return readCode<std::int16_t>(bytes_, LengthOffset);
}
std::int16_t PortParameterBlock::StopBitsCode() const {
    return readCode<std::int16_t>(bytes_, StopBitsOffset);
}
std::int16_t PortParameterBlock::ProtocolCode() const {
    return readCode<std::int16_t>(bytes_, ProtocolOffset);
}

void PortParameterBlock::setBaudCode(std::int32_t code) {
    writeCode(bytes_, BaudOffset, code);
}
void PortParameterBlock::setParityCode(std::int16_t code) {
    writeCode(bytes_, ParityOffset, code);
}
void PortParameterBlock::setLengthCode(std::int16_t code) {
    writeCode(bytes_, LengthOffset, code);
}
void PortParameterBlock::setStopBitsCode(std::int16_t code) {
    writeCode(bytes_, StopBitsOffset, code);
}
void PortParameterBlock::setProtocolCode(std::int16_t code) {
    writeCode(bytes_, ProtocolOffset, code);
}

void PortParameterBlock::setDefaultCodes() {
    setBaudCode(DefaultBaudCode);
    setParityCode(DefaultParityCode);
    setLengthCode(DefaultLengthCode);
    setStopBitsCode(DefaultStopBitsCode);
    setProtocolCode(DefaultProtocolCode);
}

} // namespace rtu
