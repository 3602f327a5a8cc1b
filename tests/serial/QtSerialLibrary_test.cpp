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

// Every byte GetByte hands out, waiting in delay units until `expected` bytes have come
// or a generous bound has passed.
QByteArray receive(QtSerialLibrary& library, PortId port, qsizetype expected) {
    QByteArray bytes;
    for (int round = 0; round < 400 && bytes.size() < expected; ++round) {
        library.CdrvDelay(port, 1);
        for (int byte = library.GetByte(port); byte != -1; byte = library.GetByte(port))
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

TEST_F(QtSerialLibraryPty, FreshPortReportsAndAcceptsTheDefaults) {
    PortParameterBlock record;
    record.bytes().fill(0x77);
    ASSERT_EQ(library.ser_rs232_getport(0, record), 0);
    EXPECT_EQ(record.BaudCode(), 7);
    EXPECT_EQ(record.ParityCode(), 0);
    EXPECT_EQ(record.LengthCode(), 3);
    EXPECT_EQ(record.StopBitsCode(), 0);
    EXPECT_EQ(record.ProtocolCode(), 4);
    EXPECT_EQ(library.SetPortCharacteristics(0, 7, 0, 3, 0, 4), 0);
}

TEST_F(QtSerialLibraryPty, AcceptedSettingsAreReportedBackAndSurviveARefusal) {
    ASSERT_EQ(library.SetPortCharacteristics(0, 11, 0, 3, 1, 7), 0);
    EXPECT_EQ(library.SetPortCharacteristics(0, 8, 0, 3, 0, 0), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 9, 0, 3, 0, 1), 0); // RTSXON
    PortParameterBlock record;
    ASSERT_EQ(library.ser_rs232_getport(0, record), 0);
    EXPECT_EQ(record.BaudCode(), 8);
    EXPECT_EQ(record.StopBitsCode(), 0);
    EXPECT_EQ(record.ProtocolCode(), 0);

    // Reopening starts again from the defaults.
    ASSERT_EQ(openPort(library, 0), 0);
    ASSERT_EQ(library.ser_rs232_getport(0, record), 0);
    EXPECT_EQ(record.BaudCode(), 7);
    EXPECT_EQ(record.ProtocolCode(), 4);
}

TEST_F(QtSerialLibraryPty, OnlyProtocolsQSerialPortCanPaceAreAccepted) {
    for (std::int16_t protocol = 0; protocol < 16; ++protocol) {
        const bool supported = protocol == 0 || protocol == 4 || protocol == 7;
        EXPECT_EQ(library.SetPortCharacteristics(0, 7, 0, 3, 0, protocol) == 0, supported)
            << protocol;
    }
    EXPECT_NE(library.SetPortCharacteristics(0, 12, 0, 3, 0, 4), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, -1, 0, 3, 0, 4), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 7, 5, 3, 0, 4), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 7, 0, 4, 0, 4), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 7, 0, 3, 2, 4), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 7, 0, 3, 0, 16), 0);
}

TEST_F(QtSerialLibraryPty, SentBytesReachTheFarEndUnchanged) {
    const QByteArray line = "GPP\r\n";
    const QByteArray values = allByteValues();
    EXPECT_EQ(library.PutString(0, line), 0);
    EXPECT_EQ(library.PutString(0, values), 0);
    EXPECT_EQ(library.PutByte(0, 0xAA), 0);
    EXPECT_NE(library.PutByte(0, 256), 0);
    library.CdrvDelay(0, 1);
    const QByteArray expected = line + values + "\xAA";
    EXPECT_EQ(pty.readFor(10000, expected.size()), expected);
}

TEST_F(QtSerialLibraryPty, ReceivedBytesComeOutOfGetByteAfterADelay) {
    int signalled = 0;
    QObject::connect(&library, &SerialLibrary::bytesWaiting, [&] { ++signalled; });
    EXPECT_EQ(library.GetByte(0), -1);
    const QByteArray sent = "PP00060\r\n" + allByteValues();
    ASSERT_TRUE(pty.write(sent));
    EXPECT_EQ(receive(library, 0, sent.size()), sent);
    EXPECT_GT(signalled, 0);
    EXPECT_EQ(library.GetByte(0), -1);
}

TEST_F(QtSerialLibraryPty, RtsRefusedByAPseudoTerminalLeavesTheLineWorking) {
    library.RtsOn(0); // results are not examined; a pseudo-terminal has no RTS line
    library.RtsOff(0);
    ASSERT_EQ(library.PutString(0, "SPP00060\r\n"), 0);
    EXPECT_EQ(pty.readFor(10000, 10), "SPP00060\r\n");
    ASSERT_TRUE(pty.write("OK\r\n"));
    EXPECT_EQ(receive(library, 0, 4), "OK\r\n");
    EXPECT_EQ(library.SetPortCharacteristics(0, 7, 0, 3, 0, 4), 0);
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
    EXPECT_EQ(library.GetByte(0), -1);
    EXPECT_NE(library.PutString(0, "x"), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 7, 0, 3, 0, 4), 0);
    EXPECT_NE(library.UnInitializePort(0), 0);
}

TEST_F(QtSerialLibraryPty, ClosedPortRefusesAndCanBeReopened) {
    EXPECT_EQ(library.UnInitializePort(0), 0);
    EXPECT_NE(library.UnInitializePort(0), 0);
    EXPECT_EQ(library.GetByte(0), -1);
    EXPECT_NE(library.PutString(0, "x"), 0);
    EXPECT_NE(library.SetPortCharacteristics(0, 7, 0, 3, 0, 4), 0);
    PortParameterBlock record;
    record.bytes().fill(0x11);
    EXPECT_NE(library.ser_rs232_getport(0, record), 0);
    EXPECT_EQ(record.bytes()[8], 0x11);

    ASSERT_EQ(openPort(library, 0), 0);
    ASSERT_TRUE(pty.write("again"));
    EXPECT_EQ(receive(library, 0, 5), "again");
}

TEST(QtSerialLibrary, NoPortAndUnknownPortsAreRefused) {
    ensureApplication();
    QtSerialLibrary library;
    for (PortId port : {NoPort, PortId(5), PortId(-7)}) {
        EXPECT_NE(openPort(library, port), 0) << port;
        EXPECT_NE(library.UnInitializePort(port), 0);
        EXPECT_NE(library.SetPortCharacteristics(port, 7, 0, 3, 0, 4), 0);
        PortParameterBlock record;
        EXPECT_NE(library.ser_rs232_getport(port, record), 0);
        EXPECT_EQ(record, PortParameterBlock{});
        EXPECT_EQ(library.GetByte(port), -1);
        EXPECT_NE(library.PutString(port, "GPP\r\n"), 0);
        EXPECT_NE(library.PutByte(port, 13), 0);
        EXPECT_NE(library.RtsOn(port), 0);
        EXPECT_NE(library.RtsOff(port), 0);
        EXPECT_EQ(library.CdrvDelay(port, 1), 0);
    }
}

TEST(QtSerialLibrary, MissingDeviceFailsToOpen) {
    ensureApplication();
    QtSerialLibrary library;
    library.setDevice(1, "/nonexistent/ttyRTU");
    EXPECT_NE(openPort(library, 1), 0);
    EXPECT_EQ(library.GetByte(1), -1);
    library.setDevice(1, "");
    EXPECT_NE(openPort(library, 1), 0);
}

TEST(QtSerialLibrary, DevicesDefaultToTheSystemsSerialPorts) {
    QtSerialLibrary library;
    for (PortId port = 0; port < PortCount; ++port) {
#ifdef Q_OS_WIN
        EXPECT_EQ(library.device(port), QStringLiteral("COM%1").arg(port + 1));
#else
        EXPECT_EQ(library.device(port), QStringLiteral("/dev/ttyS%1").arg(port));
#endif
    }
    EXPECT_EQ(library.device(NoPort), QString());
    library.setDevice(2, "/dev/ttyUSB0");
    library.setDevice(5, "/dev/ignored");
    EXPECT_EQ(library.device(2), "/dev/ttyUSB0");
    EXPECT_EQ(library.device(5), QString());
}

TEST_F(QtSerialLibraryPty, DelayUnitFollowsTheLineSettingsUnlessOverridden) {
    EXPECT_NEAR(library.delayUnitMilliseconds(), 5.78, 0.01);
    ASSERT_EQ(library.SetPortCharacteristics(0, 11, 0, 3, 0, 4), 0);
    EXPECT_DOUBLE_EQ(library.delayUnitMilliseconds(), 2.0);
    library.setDelayUnitOverride(40.0);
    EXPECT_DOUBLE_EQ(library.delayUnitMilliseconds(), 40.0);
    library.setDelayUnitOverride(std::nullopt);
    EXPECT_DOUBLE_EQ(library.delayUnitMilliseconds(), 2.0);
}

TEST_F(QtSerialLibraryPty, TimersKeepFiringDuringADelay) {
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    EXPECT_EQ(library.CdrvDelay(0, 2), 0);
    EXPECT_TRUE(fired);
}

} // namespace
} // namespace rtu
