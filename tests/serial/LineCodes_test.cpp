#include "serial/LineCodes.h"
#include "serial/PortParameterBlock.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>

namespace rtu {
namespace {

TEST(LineCodes, MenuCaptionsInCodeOrder) {
    EXPECT_EQ(baudCaptions(), QStringList({"110 Baud", "150 Baud", "300 Baud", "600 Baud",
                                           "1200 Baud", "2400 Baud", "4800 Baud", "9600 Baud",
                                           "19.2K Baud", "38.4K Baud", "57.6K Baud", "115K Baud"}));
    EXPECT_EQ(parityCaptions(), QStringList({"None", "Odd", "Even", "Sticky Odd", "Sticky Even"}));
    EXPECT_EQ(lengthCaptions(), QStringList({"5 Bits", "6 Bits", "7 Bits", "8 Bits"}));
    EXPECT_EQ(stopBitsCaptions(), QStringList({"1 Stop Bit", "2 StopBits"}));
    EXPECT_EQ(lineProtocolCaptions(),
              QStringList({"RTSRTS", "RTSXON", "RTSDTR", "RTSNON", "NONNON", "NONXON", "XONNON",
                           "XONXON", "DTRNON", "DTRRTS", "DTRDTR", "DTRXON", "NONRTS", "NONDTR",
                           "XONRTS", "XONDTR"}));
}

TEST(LineCodes, BaudCodesAndRatesMapBothWays) {
    const int rates[] = {110, 150, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    for (std::int32_t code = 0; code < 12; ++code) {
        EXPECT_EQ(baudRate(code), rates[code]) << code;
        EXPECT_EQ(baudCodeForRate(rates[code]), code) << code;
    }
    EXPECT_EQ(baudRate(-1), std::nullopt);
    EXPECT_EQ(baudRate(12), std::nullopt);
    EXPECT_EQ(baudCodeForRate(14400), std::nullopt);
    EXPECT_EQ(baudCodeForRate(0), std::nullopt);
}

TEST(LineCodes, BitsPerCharacterCountStartDataParityAndStop) {
    EXPECT_EQ(bitsPerCharacter(0, 3, 0), 10); // 8N1
    EXPECT_EQ(bitsPerCharacter(2, 2, 0), 10); // 7E1
    EXPECT_EQ(bitsPerCharacter(1, 3, 1), 12); // 8O2
    EXPECT_EQ(bitsPerCharacter(4, 0, 1), 9);  // 5, space parity, 2 stop bits
    EXPECT_EQ(bitsPerCharacter(5, 3, 0), 10); // unknown parity: counted as 8N1
    EXPECT_EQ(bitsPerCharacter(0, -1, 0), 10);
    EXPECT_EQ(bitsPerCharacter(0, 3, 2), 10);
}

TEST(LineCodes, DelayUnitCoversAnExchangeAtTheLineSpeed) {
    // 64 characters of 10 bits at 9600 baud plus 20 ms, in 15 units.
    EXPECT_NEAR(delayUnitMs(7, 0, 3, 0), (64.0 * 10 / 9600 * 1000 + 20) / 15, 1e-9);
    EXPECT_NEAR(delayUnitMs(7, 0, 3, 0), 5.78, 0.01);
    EXPECT_NEAR(delayUnitMs(0, 2, 2, 1), (64.0 * 11 / 110 * 1000 + 20) / 15, 1e-9);
    // Fast lines never go below the 2 ms floor.
    EXPECT_DOUBLE_EQ(delayUnitMs(11, 0, 3, 0), 2.0);
    // Codes outside the menus fall back to 9600 8N1.
    EXPECT_DOUBLE_EQ(delayUnitMs(12, 0, 3, 0), delayUnitMs(7, 0, 3, 0));
    EXPECT_DOUBLE_EQ(delayUnitMs(-5, 9, 9, 9), delayUnitMs(7, 0, 3, 0));
}

TEST(LineCodes, HexToIntReadsHexadecimalText) {
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("1F"), 31);
    EXPECT_EQ(HexToInt("1f"), 31);
    EXPECT_EQ(HexToInt("7FFF"), 32767);
    EXPECT_EQ(HexToInt("FFFF"), -1);
    EXPECT_EQ(HexToInt("10000"), 0); // wraps at 16 bits
    EXPECT_EQ(HexToInt("G1"), 1);    // a non-digit counts as 0
    EXPECT_EQ(HexToInt(QString(100000, QChar(u'\xe9'))), 0);
}

TEST(LineCodes, NumbersIgnoreACommaDecimalLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // absent on some machines; QLocale still differs
    EXPECT_EQ(HexToInt("1F"), 31);
    EXPECT_NEAR(delayUnitMs(7, 0, 3, 0), 5.78, 0.01);
    EXPECT_EQ(baudCaptions().at(8), "19.2K Baud");
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(saved);
}

TEST(PortParameterBlock, CodesAreLittleEndianAtTheirOffsets) {
    PortParameterBlock block;
    block.setBaudCode(0x01020304);
    block.setParityCode(-2);
    block.setLengthCode(3);
    block.setStopBitsCode(0x0102);
    block.setProtocolCode(15);
    const auto& b = block.bytes();
    EXPECT_EQ((std::array<int, 4>{b[8], b[9], b[10], b[11]}), (std::array<int, 4>{4, 3, 2, 1}));
    EXPECT_EQ(b[12], 0xFE);
    EXPECT_EQ(b[13], 0xFF);
    EXPECT_EQ(b[14], 3);
    EXPECT_EQ(b[16], 2);
    EXPECT_EQ(b[17], 1);
    EXPECT_EQ(b[20], 15);
    EXPECT_EQ(block.BaudCode(), 0x01020304);
    EXPECT_EQ(block.ParityCode(), -2);
    EXPECT_EQ(block.LengthCode(), 3);
    EXPECT_EQ(block.StopBitsCode(), 0x0102);
    EXPECT_EQ(block.ProtocolCode(), 15);
    // Nothing else is touched.
    for (int i : {0, 7, 18, 19, 22, 191})
        EXPECT_EQ(b[i], 0) << i;
}

TEST(PortParameterBlock, DefaultCodesAre9600EightNoneOneNoFlowControl) {
    PortParameterBlock block;
    block.bytes().fill(0x5A);
    block.setDefaultCodes();
    EXPECT_EQ(block.BaudCode(), 7);
    EXPECT_EQ(block.ParityCode(), 0);
    EXPECT_EQ(block.LengthCode(), 3);
    EXPECT_EQ(block.StopBitsCode(), 0);
    EXPECT_EQ(block.ProtocolCode(), 4);
    EXPECT_EQ(block.bytes()[0], 0x5A);
    EXPECT_EQ(block.bytes()[18], 0x5A);
    EXPECT_EQ(block.bytes()[22], 0x5A);
}

} // namespace
} // namespace rtu
