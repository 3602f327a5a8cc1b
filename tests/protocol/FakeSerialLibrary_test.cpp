#include "serial/FakeSerialLibrary.h"

#include "config/RuntimeError.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

QList<int> drain(FakeSerialLibrary& library, PortId port) {
    QList<int> bytes;
    for (int byte = library.GetByte(port); byte >= 0; byte = library.GetByte(port))
        bytes << byte;
    return bytes;
}

TEST(FakeSerialLibraryTest, RecordsCallsInOrderAsText) {
    FakeSerialLibrary library;
    library.InitializePort(0, 0, 0, 0, 9, 0, 2048, 1024, 0);
    library.SetPortCharacteristics(0, 7, 0, 3, 0, 4);
    library.RtsOn(0);
    library.PutString(0, "GPP\r\n");
    library.PutByte(0, 65);
    library.CdrvDelay(0, 25);
    library.RtsOff(0);
    library.UnInitializePort(0);
    EXPECT_EQ(library.calls(),
              QStringList({"InitializePort 0", "SetPortCharacteristics 0 7 0 3 0 4", "RtsOn 0",
                           "PutString 0 GPP\r\n", "PutByte 0 65", "CdrvDelay 0 25", "RtsOff 0",
                           "UnInitializePort 0"}));
    EXPECT_EQ(library.sentLines(), QStringList({"GPP"}));
    EXPECT_EQ(library.sentBytes(), QByteArray("GPP\r\nA"));
    EXPECT_FALSE(library.rts());
    EXPECT_EQ(library.openPort(), NoPort);
}

TEST(FakeSerialLibraryTest, AnswersARegisteredLineWithReceivableBytes) {
    FakeSerialLibrary library;
    library.answer("GPP", "PP00060\r\n");
    library.PutString(0, "GV\r\n");
    EXPECT_EQ(library.GetByte(0), -1);
    library.PutString(0, "GPP\r\n");
    library.queueIncoming(QByteArray("\x00\xff", 2));
    const QList<int> expected{'P', 'P', '0', '0', '0', '6', '0', 13, 10, 0, 255};
    EXPECT_EQ(drain(library, 0), expected);
    EXPECT_EQ(library.GetByte(0), -1);
}

TEST(FakeSerialLibraryTest, NoPortReceivesNothingAndRefusesSettings) {
    FakeSerialLibrary library;
    library.answer("GPP", "PP00060\r\n");
    library.queueIncoming("X");
    library.PutString(NoPort, "GPP\r\n");
    EXPECT_EQ(library.GetByte(NoPort), -1);
    EXPECT_NE(library.SetPortCharacteristics(NoPort, 7, 0, 3, 0, 4), 0);
    EXPECT_EQ(library.SetPortCharacteristics(0, 7, 0, 3, 0, 4), 0);
    EXPECT_EQ(drain(library, 0), QList<int>({'X'})) << "the answer to a line sent to no port";
}

TEST(FakeSerialLibraryTest, OpenResultAndReportedCodesAreScripted) {
    FakeSerialLibrary library;
    library.setOpenResult(2, 5);
    EXPECT_EQ(library.InitializePort(2, 2, 0, 0, 9, 0, 2048, 1024, 0), 5);
    EXPECT_EQ(library.openPort(), NoPort);
    EXPECT_EQ(library.InitializePort(1, 1, 0, 0, 9, 0, 2048, 1024, 0), 0);
    EXPECT_EQ(library.openPort(), 1);

    library.setReportedCodes(9, 2, 1, 1, 3);
    PortParameterBlock block;
    library.ser_rs232_getport(1, block);
    EXPECT_EQ(block.BaudCode(), 9);
    EXPECT_EQ(block.ParityCode(), 2);
    EXPECT_EQ(block.LengthCode(), 1);
    EXPECT_EQ(block.StopBitsCode(), 1);
    EXPECT_EQ(block.ProtocolCode(), 3);
}

TEST(FakeSerialLibraryTest, FailsOrLosesThePortOnTheScriptedLine) {
    FakeSerialLibrary library;
    QList<PortId> lost;
    QObject::connect(&library, &SerialLibrary::portLost, [&](PortId port) { lost << port; });
    library.failOnLine(2);
    library.loseOnLine(3);
    library.PutString(0, "A\r\n");
    EXPECT_THROW(library.PutString(0, "B\r\n"), RuntimeError);
    EXPECT_TRUE(lost.isEmpty());
    library.PutString(0, "C\r\n");
    EXPECT_EQ(lost, QList<PortId>({0}));
    EXPECT_EQ(library.sentLines(), QStringList({"A", "C"}));
}

} // namespace
} // namespace rtu
