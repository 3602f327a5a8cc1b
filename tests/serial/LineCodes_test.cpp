#include "serial/LineCodes.h"
#include "serial/PortParameterBlock.h"

#include "config/CommaDecimalLocale.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

TEST(LineCodes, MapBothWaysGiveTheDelayUnitAndSitLittleEndianAtTheirOffsetsInTheBlock) {
    for (auto [code, rate] : {std::pair{0, 110}, {7, 9600}, {8, 19200}, {11, 115200}}) {
        EXPECT_EQ(baudRate(code), rate);
        EXPECT_EQ(baudCodeForRate(rate), code);
    }
    EXPECT_FALSE(baudRate(-1) || baudRate(12));
    EXPECT_EQ(baudCodeForRate(14400), std::nullopt);

    // Parity, length and stop-bit codes; the last three hold codes outside the menus,
    // counted as 8N1.
    for (const auto& [parity, length, stop, bits] : {std::array{0, 3, 0, 10},
                                                     {2, 2, 0, 10},
                                                     {1, 3, 1, 12},
                                                     {4, 0, 1, 9},
                                                     {5, 3, 0, 10},
                                                     {0, -1, 0, 10},
                                                     {0, 3, 2, 10}})
        EXPECT_EQ(bitsPerCharacter(parity, length, stop), bits) << parity << length << stop;

    const CommaDecimalLocale german; // the arithmetic never goes through text
    // 64 characters and 20 ms in 15 units: 9600 8N1 and 110 7E2.
    EXPECT_NEAR(delayUnitMs(7, 0, 3, 0), 5.7778, 1e-4);
    EXPECT_DOUBLE_EQ(delayUnitMs(0, 2, 2, 1), 428.0);
    EXPECT_DOUBLE_EQ(delayUnitMs(11, 0, 3, 0), 2.0) << "fast lines never go below 2 ms";
    EXPECT_DOUBLE_EQ(delayUnitMs(-5, 9, 9, 9), delayUnitMs(7, 0, 3, 0)) << "unknown: 9600 8N1";

    PortParameterBlock block;
    block.bytes().fill(0x5A);
    block.setBaudCode(0x01020304);
    block.setParityCode(-2);
    block.setLengthCode(3);
    block.setStopBitsCode(0x0102);
    block.setProtocolCode(15);
    // Bytes 7 to 22: baud (32-bit), parity, length, stop bits, two bytes not ours, protocol.
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(block.bytes().data()) + 7, 16).toHex(),
              "5a04030201feff030002015a5a0f005a");
    EXPECT_EQ(block.BaudCode(), 0x01020304);
    EXPECT_EQ(block.ParityCode(), -2);
    EXPECT_EQ(block.StopBitsCode(), 0x0102);

    // The defaults used when no saved settings exist: 9600 baud, 8N1, "NONNON".
    block.setDefaultCodes();
    EXPECT_EQ(std::vector<int>({block.BaudCode(), block.ParityCode(), block.LengthCode(),
                                block.StopBitsCode(), block.ProtocolCode()}),
              std::vector<int>({7, 0, 3, 0, 4}));
    EXPECT_EQ(block.bytes()[18], 0x5A);
}

} // namespace
} // namespace rtu
