#include "serial/QtSerialLibrary.h"

#include "support/Application.h"
#include "support/Pty.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <numeric>

namespace rtu {
namespace {

// The library with COM1 open on a pseudo-terminal whose far end the test plays.
class QtSerialLibraryPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.isOpen());
        library.setDevice(0, pty.slavePath());
        ASSERT_EQ(open(0), 0);
    }
    std::int32_t open(PortId port) {
        return library.InitializePort(port, port, 0, 0, 9, 0, 2048, 1024, 0);
    }
    // The five codes ser_rs232_getport reports for port 0: baud, parity, length, stop, protocol.
    std::vector<int> reportedCodes() {
        PortParameterBlock r;
        EXPECT_EQ(library.ser_rs232_getport(0, r), 0);
        return {r.BaudCode(), r.ParityCode(), r.LengthCode(), r.StopBitsCode(), r.ProtocolCode()};
    }
    // Every byte GetByte hands out, waiting in delay units until `expected` bytes have come
    // or a generous bound has passed.
    QByteArray receive(qsizetype expected) {
        QByteArray bytes;
        for (int round = 0; round < 400 && bytes.size() < expected; ++round) {
            library.CdrvDelay(0, 1);
            for (int byte = library.GetByte(0); byte != -1; byte = library.GetByte(0))
                bytes += char(byte);
        }
        return bytes;
    }
    // A port the library cannot use refuses every call and leaves a settings record alone;
    // the delay still waits.
    void expectRefused(PortId port) {
        EXPECT_EQ(library.GetByte(port), -1);
        EXPECT_NE(library.PutString(port, "GPP\r\n"), 0);
        EXPECT_NE(library.PutByte(port, 13), 0);
        EXPECT_NE(library.SetPortCharacteristics(port, 7, 0, 3, 0, 4), 0);
        EXPECT_NE(library.RtsOn(port), 0);
        EXPECT_NE(library.RtsOff(port), 0);
        PortParameterBlock record;
        record.bytes().fill(0x11);
        EXPECT_NE(library.ser_rs232_getport(port, record), 0);
        EXPECT_EQ(record.bytes()[8], 0x11);
        EXPECT_NE(library.UnInitializePort(port), 0);
        EXPECT_EQ(library.CdrvDelay(port, 1), 0);
    }

    bool applicationReady = (test::ensureApplication(), true); // QSerialPort needs one
    QtSerialLibrary library;
    test::Pty pty;
};

TEST_F(QtSerialLibraryPty, SettingsStartAtTheDefaultsBytesCrossUnchangedUntilTheFarEndCloses) {
    const std::vector<int> defaults{7, 0, 3, 0, 4};
    EXPECT_EQ(reportedCodes(), defaults);
    // Only the flow controls QSerialPort can pace are accepted: RTSRTS (0), NONNON (4) and
    // XONXON (7). Every other code, RTSXON to XONDTR and one past them, has the nearest one
    // it can: RTS first, then XON, else none.
    const int nearest[] = {0, 0, 0, 0, 4, 7, 7, 7, 4, 0, 4, 7, 0, 4, 0, 7, 4};
    for (std::int16_t protocol = 0; protocol <= 16; ++protocol) {
        EXPECT_EQ(library.nearestLineProtocol(protocol), nearest[protocol]) << protocol;
        EXPECT_EQ(library.SetPortCharacteristics(0, 7, 0, 3, 0, protocol) == 0,
                  nearest[protocol] == protocol)
            << protocol;
    }
    for (const auto& [baud, parity, length, stop] :
         {std::array{12, 0, 3, 0}, {-1, 0, 3, 0}, {7, 5, 3, 0}, {7, 0, 4, 0}, {7, 0, 3, 2}})
        EXPECT_NE(library.SetPortCharacteristics(0, baud, parity, length, stop, 4), 0) << baud;

    ASSERT_EQ(library.SetPortCharacteristics(0, 11, 0, 3, 1, 7), 0);
    EXPECT_DOUBLE_EQ(library.delayUnitMilliseconds(), 2.0) << "follows the line speed";
    EXPECT_NE(library.SetPortCharacteristics(0, 9, 0, 3, 0, 1), 0); // RTSXON
    EXPECT_EQ(reportedCodes(), std::vector<int>({11, 0, 3, 1, 7}));
    library.setDelayUnitOverride(40.0);
    library.setDelayUnitFactor(4);
    EXPECT_DOUBLE_EQ(library.delayUnitMilliseconds(), 160.0) << "an override wins, lengthened";
    library.setDelayUnitOverride(std::nullopt);
    EXPECT_DOUBLE_EQ(library.delayUnitMilliseconds(), 8.0) << "the line's unit, lengthened";

    // A closed port refuses everything and can be reopened.
    EXPECT_EQ(library.UnInitializePort(0), 0);
    expectRefused(0);
    ASSERT_EQ(open(0), 0);
    EXPECT_EQ(reportedCodes(), defaults) << "reopening starts again from the defaults";

    // Bytes cross the line unchanged whatever RTS does.
    library.RtsOn(0); // results are not examined; a pseudo-terminal has no RTS line
    QByteArray values(256, '\0');
    std::iota(values.begin(), values.end(), '\0');
    EXPECT_EQ(library.PutString(0, "GPP\r\n"), 0);
    EXPECT_EQ(library.PutString(0, values), 0);
    EXPECT_EQ(library.PutByte(0, 0xAA), 0);
    EXPECT_NE(library.PutByte(0, 256), 0);
    bool timerFired = false;
    QTimer::singleShot(0, [&] { timerFired = true; });
    EXPECT_EQ(library.CdrvDelay(0, 1), 0);
    EXPECT_TRUE(timerFired) << "the event loop runs during a delay";
    const QByteArray expected = "GPP\r\n" + values + "\xAA";
    EXPECT_EQ(pty.readFor(10000, expected.size()), expected);

    library.RtsOff(0);
    int signalled = 0;
    QObject::connect(&library, &SerialLibrary::bytesWaiting, [&] { ++signalled; });
    EXPECT_EQ(library.GetByte(0), -1);
    ASSERT_TRUE(pty.write("PP00060\r\n" + values));
    EXPECT_EQ(receive(9 + 256), "PP00060\r\n" + values);
    EXPECT_GT(signalled, 0);
    EXPECT_EQ(library.GetByte(0), -1);

    // Closing the far end reports the port lost once.
    std::vector<PortId> lost;
    QObject::connect(&library, &SerialLibrary::portLost, [&](PortId port) {
        lost.push_back(port);
        EXPECT_EQ(library.GetByte(port), -1); // already closed when reported
    });
    pty.closeMaster();
    for (int round = 0; round < 400 && lost.empty(); ++round)
        library.CdrvDelay(0, 1);
    library.CdrvDelay(0, 5);
    EXPECT_EQ(lost, std::vector<PortId>{0});
    expectRefused(0);
}

// The fixture's library holds the line, as another program would: it is busy under any
// other name too (even for root, whom the device's exclusive mode lets through).
TEST_F(QtSerialLibraryPty, APortHeldElsewhereIsBusyAndNoPortIsRefused) {
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyRTU");
    ASSERT_TRUE(QFile::link(pty.slavePath(), link));
    QtSerialLibrary other;
    other.setDevice(2, link);
    const auto openOther = [&] { return other.InitializePort(2, 2, 0, 0, 9, 0, 2048, 1024, 0); };
    EXPECT_NE(openOther(), 0);
    const OpenError error = other.lastOpenError(2);
    EXPECT_EQ(error.reason, OpenFailure::Busy);
    EXPECT_EQ(describeOpenError(error), "busy; another program holds the port, close it first");

    ASSERT_EQ(library.UnInitializePort(0), 0);
    EXPECT_EQ(openOther(), 0);
    EXPECT_EQ(other.lastOpenError(2).reason, OpenFailure::None);

    // No port at all is refused. (A missing device is OpenErrorTest's.)
    EXPECT_EQ(library.device(1), QStringLiteral("/dev/ttyS1"));
    EXPECT_NE(open(NoPort), 0);
    expectRefused(NoPort);
}

} // namespace
} // namespace rtu
