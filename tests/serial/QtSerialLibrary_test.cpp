#include "serial/QtSerialLibrary.h"

#include "support/Pty.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace rtu {
namespace {

// QSerialPort and the delay's event loop need an application object.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_serial";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

std::int32_t openPort(QtSerialLibrary& library, PortId port) {
    return library.InitializePort(port, port, 0, 0, 9, 0, 2048, 1024, 0);
}

// The five codes ser_rs232_getport reports for port 0: baud, parity, length, stop, protocol.
std::vector<int> reportedCodes(QtSerialLibrary& library) {
    PortParameterBlock record;
    EXPECT_EQ(library.ser_rs232_getport(0, record), 0);
    return {record.BaudCode(), record.ParityCode(), record.LengthCode(), record.StopBitsCode(),
            record.ProtocolCode()};
}

// Every byte GetByte hands out, waiting in delay units until `expected` bytes have come
// or a generous bound has passed.
QByteArray receive(QtSerialLibrary& library, qsizetype expected) {
    QByteArray bytes;
    for (int round = 0; round < 400 && bytes.size() < expected; ++round) {
        library.CdrvDelay(0, 1);
        for (int byte = library.GetByte(0); byte != -1; byte = library.GetByte(0))
            bytes += char(byte);
    }
    return bytes;
}

QByteArray allByteValues() {
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes += char(value);
    return bytes;
}

class QtSerialLibraryPty : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        if (!pty.isOpen())
            GTEST_SKIP() << "no pseudo-terminal available";
        library.setDevice(0, pty.slavePath());
        ASSERT_EQ(openPort(library, 0), 0);
    }

    rtu::test::Pty pty;
    QtSerialLibrary library;
};

TEST_F(QtSerialLibraryPty, SettingsStartAtTheDefaultsAndKeepTheLastAccepted) {
    const std::vector<int> defaults{7, 0, 3, 0, 4};
    EXPECT_EQ(reportedCodes(library), defaults);
    EXPECT_NEAR(library.delayUnitMilliseconds(), 5.78, 0.01);

    // Only the flow controls QSerialPort can pace are accepted: RTSRTS, NONNON, XONXON.
    for (std::int16_t protocol = 0; protocol <= 16; ++protocol) {
        const bool supported = protocol == 0 || protocol == 4 || protocol == 7;
        EXPECT_EQ(library.SetPortCharacteristics(0, 7, 0, 3, 0, protocol) == 0, supported)
            << protocol;
    }
    EXPECT_NE(library.SetPortCharacteristics(0, 12, 0, 3, 0, 4), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, -1, 0, 3, 0, 4), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 7, 5, 3, 0, 4), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 7, 0, 4, 0, 4), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 7, 0, 3, 2, 4), 0);

    ASSERT_EQ(library.SetPortCharacteristics(0, 11, 0, 3, 1, 7), 0);
    EXPECT_DOUBLE_EQ(library.delayUnitMilliseconds(), 2.0) << "follows the line speed";
    EXPECT_NE(library.SetPortCharacteristics(0, 9, 0, 3, 0, 1), 0); // RTSXON
    EXPECT_EQ(reportedCodes(library), std::vector<int>({11, 0, 3, 1, 7}));
    library.setDelayUnitOverride(40.0);
    EXPECT_DOUBLE_EQ(library.delayUnitMilliseconds(), 40.0) << "an override wins over the line";
    library.setDelayUnitOverride(std::nullopt);
    EXPECT_DOUBLE_EQ(library.delayUnitMilliseconds(), 2.0);

    ASSERT_EQ(openPort(library, 0), 0);
    EXPECT_EQ(reportedCodes(library), defaults) << "reopening starts again from the defaults";
}

TEST_F(QtSerialLibraryPty, BytesCrossTheLineUnchangedWhateverRtsDoes) {
    library.RtsOn(0); // results are not examined; a pseudo-terminal has no RTS line
    const QByteArray values = allByteValues();
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
    const QByteArray sent = "PP00060\r\n" + values;
    ASSERT_TRUE(pty.write(sent));
    EXPECT_EQ(receive(library, sent.size()), sent);
    EXPECT_GT(signalled, 0);
    EXPECT_EQ(library.GetByte(0), -1);
}

// A port the library cannot use refuses every call; the delay still waits.
void expectRefused(QtSerialLibrary& library, PortId port) {
    EXPECT_EQ(library.GetByte(port), -1);
    EXPECT_NE(library.PutString(port, "GPP\r\n"), 0);
    EXPECT_NE(library.PutByte(port, 13), 0);
    EXPECT_NE(library.SetPortCharacteristics(port, 7, 0, 3, 0, 4), 0);
    EXPECT_NE(library.UnInitializePort(port), 0);
    EXPECT_EQ(library.CdrvDelay(port, 1), 0);
}

TEST_F(QtSerialLibraryPty, ClosingTheFarEndReportsThePortLostOnce) {
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
    expectRefused(library, 0);
}

TEST_F(QtSerialLibraryPty, ClosedPortRefusesAndCanBeReopened) {
    EXPECT_EQ(library.UnInitializePort(0), 0);
    expectRefused(library, 0);
    PortParameterBlock record;
    record.bytes().fill(0x11);
    EXPECT_NE(library.ser_rs232_getport(0, record), 0);
    EXPECT_EQ(record.bytes()[8], 0x11);

    ASSERT_EQ(openPort(library, 0), 0);
    ASSERT_TRUE(pty.write("again"));
    EXPECT_EQ(receive(library, 5), "again");
}

// The fixture's library holds the line, as another program would.
TEST_F(QtSerialLibraryPty, APortHeldElsewhereIsBusyUntilItIsLetGo) {
    QtSerialLibrary other;
    other.setDevice(2, pty.slavePath());
    EXPECT_NE(openPort(other, 2), 0);
    const OpenError error = other.lastOpenError(2);
    EXPECT_EQ(error.reason, OpenFailure::Busy);
    EXPECT_EQ(describeOpenError(error), "busy; another program holds the port, close it first");

    ASSERT_EQ(library.UnInitializePort(0), 0);
    EXPECT_EQ(openPort(other, 2), 0);
    EXPECT_EQ(other.lastOpenError(2).reason, OpenFailure::None);
}

TEST(QtSerialLibrary, MissingDevicesAndUnknownPortsAreRefused) {
    ensureApplication();
    QtSerialLibrary library;
    EXPECT_EQ(library.device(1), QStringLiteral("/dev/ttyS1"));
    library.setDevice(1, "/nonexistent/ttyRTU");
    library.setDevice(5, "/dev/ignored");
    EXPECT_EQ(library.device(5), QString());
    for (PortId port : {PortId(1), NoPort, PortId(5), PortId(-7)}) {
        EXPECT_NE(openPort(library, port), 0) << port;
        expectRefused(library, port);
        PortParameterBlock record;
        EXPECT_NE(library.ser_rs232_getport(port, record), 0);
        EXPECT_EQ(record, PortParameterBlock{});
        EXPECT_NE(library.RtsOn(port), 0);
        EXPECT_NE(library.RtsOff(port), 0);
    }
}

} // namespace
} // namespace rtu
