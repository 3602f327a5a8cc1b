#include "serial/LineCodes.h"
#include "serial/PortParameterBlock.h"

#include "config/CommaDecimalLocale.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rtu {
namespace {

TEST(LineCodes, BaudCodesAndRatesMapBothWays) {
    for (auto [code, rate] : {std::pair{0, 110}, {7, 9600}, {8, 19200}, {11, 115200}}) {
        EXPECT_EQ(baudRate(code), rate);
        EXPECT_EQ(baudCodeForRate(rate), code);
    }
    EXPECT_EQ(baudRate(-1), std::nullopt);
    EXPECT_EQ(baudRate(12), std::nullopt);
    EXPECT_EQ(baudCodeForRate(14400), std::nullopt);
}

TEST(LineCodes, DelayUnitCoversAnExchangeAtTheLineSpeed) {
    // The last three hold codes outside the menus, counted as 8N1.
    const struct {
        std::int16_t parity, length, stopBits;
        int bits;
    } frames[] = {{0, 3, 0, 10}, {2, 2, 0, 10},  {1, 3, 1, 12}, {4, 0, 1, 9},
                  {5, 3, 0, 10}, {0, -1, 0, 10}, {0, 3, 2, 10}};
    for (const auto& f : frames)
        EXPECT_EQ(bitsPerCharacter(f.parity, f.length, f.stopBits), f.bits) << f.parity << f.length;

    const CommaDecimalLocale german; // the arithmetic never goes through text
    // 64 characters of 10 bits at 9600 baud plus 20 ms, in 15 units.
    EXPECT_NEAR(delayUnitMs(7, 0, 3, 0), (64.0 * 10 / 9600 * 1000 + 20) / 15, 1e-9);
    EXPECT_NEAR(delayUnitMs(0, 2, 2, 1), (64.0 * 11 / 110 * 1000 + 20) / 15, 1e-9);
    EXPECT_DOUBLE_EQ(delayUnitMs(11, 0, 3, 0), 2.0) << "fast lines never go below 2 ms";
    EXPECT_DOUBLE_EQ(delayUnitMs(12, 0, 3, 0), delayUnitMs(7, 0, 3, 0)) << "unknown: 9600 8N1";
    EXPECT_DOUBLE_EQ(delayUnitMs(-5, 9, 9, 9), delayUnitMs(7, 0, 3, 0));
}

TEST(LineCodes, HexToIntReadsHexadecimalText) {
    const CommaDecimalLocale german;
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("1f"), 31);
    EXPECT_EQ(HexToInt("FFFF"), -1);
    EXPECT_EQ(HexToInt("10000"), 0) << "wraps at 16 bits";
    EXPECT_EQ(HexToInt("G1"), 1) << "a non-digit counts as 0";
    EXPECT_EQ(HexToInt(QString(100000, QChar(u'\xe9'))), 0);
}

TEST(PortParameterBlock, CodesAreLittleEndianAtTheirOffsetsAndTouchNothingElse) {
    PortParameterBlock block;
    block.bytes().fill(0x5A);
    block.setBaudCode(0x01020304);
    block.setParityCode(-2);
    block.setLengthCode(3);
    block.setStopBitsCode(0x0102);
    block.setProtocolCode(15);
    // Bytes 8 to 21: baud (32-bit), parity, length, stop bits, two bytes not ours, protocol.
    const std::uint8_t layout[] = {4, 3, 2, 1, 0xFE, 0xFF, 3, 0, 2, 1, 0x5A, 0x5A, 15, 0};
    EXPECT_TRUE(std::equal(std::begin(layout), std::end(layout), block.bytes().begin() + 8));
    EXPECT_EQ(block.bytes()[7], 0x5A);
    EXPECT_EQ(block.bytes()[22], 0x5A);
    EXPECT_EQ(block.BaudCode(), 0x01020304);
    EXPECT_EQ(block.ParityCode(), -2);
    EXPECT_EQ(block.StopBitsCode(), 0x0102);

    // The defaults used when no saved settings exist: 9600 baud, 8N1, "NONNON".
    block.setDefaultCodes();
    EXPECT_EQ(block.BaudCode(), 7);
    EXPECT_EQ(block.ParityCode(), 0);
    EXPECT_EQ(block.LengthCode(), 3);
    EXPECT_EQ(block.StopBitsCode(), 0);
    EXPECT_EQ(block.ProtocolCode(), 4);
    EXPECT_EQ(block.bytes()[18], 0x5A);
}

} // namespace
} // namespace rtu
