#include "sim/PtyUnitServer.h"
#include "sim/SimulatedUnit.h"

#include "SimTestSupport.h"

#include <QSerialPort>

#include <gtest/gtest.h>

#include <memory>

namespace rtu {
namespace {

// A simulated unit on a real pseudo-terminal, with a QSerialPort client on its slave side.
class PtyUnitServerTest : public test::EventLoopTest {
protected:
    void serve(const ServerOptions& options = {}) {
        server = std::make_unique<PtyUnitServer>(unit, options);
        ASSERT_EQ(server->start(), QString());
        ASSERT_TRUE(server->slavePath().startsWith(QLatin1String("/dev/")));
        openPort();
    }

    void openPort() {
        port = std::make_unique<QSerialPort>(server->slavePath());
        port->setBaudRate(QSerialPort::Baud9600);
        QObject::connect(port.get(), &QSerialPort::readyRead, [this] {
            received += port->readAll();
            ++readyReads;
        });
        QObject::connect(port.get(), &QSerialPort::errorOccurred,
                         [this](QSerialPort::SerialPortError error) {
                             if (error != QSerialPort::NoError)
                                 portErrors.append(error);
                         });
        ASSERT_TRUE(port->open(QIODevice::ReadWrite)) << port->errorString().toStdString();
    }

    void send(const QByteArray& bytes) {
        ASSERT_EQ(port->write(bytes), bytes.size());
        ASSERT_TRUE(port->waitForBytesWritten(1000) || port->bytesToWrite() == 0);
    }

    // Waits until `count` bytes have come in, then a little longer to catch any surplus.
    QByteArray receiveAtLeast(qsizetype count) {
        waitUntil([&] { return received.size() >= count; });
        runEventsFor(100);
        return std::exchange(received, {});
    }

    SimulatedUnit unit;
    std::unique_ptr<PtyUnitServer> server;
    std::unique_ptr<QSerialPort> port;
    QByteArray received;
    int readyReads = 0;
    QList<QSerialPort::SerialPortError> portErrors;
};

TEST_F(PtyUnitServerTest, AnswersRequestsInOrderAndAppliesSettings) {
    serve();
    send("GPP\r\n");
    EXPECT_EQ(receiveAtLeast(9), "PP00060\r\n");

    send("SPP120\r\nGPP\r\nGLCD\r\nNONSENSE\r\n");
    EXPECT_EQ(receiveAtLeast(19), "PP00120\r\nLCD03R05\r\n");
    EXPECT_EQ(server->requestCount(), 5);
}

TEST_F(PtyUnitServerTest, RequestSplitAcrossWritesIsOneRequest) {
    serve();
    send("GL");
    runEventsFor(50);
    send("CD\r\n");
    EXPECT_EQ(receiveAtLeast(10), "LCD03R05\r\n");
    EXPECT_EQ(server->requestCount(), 1);
}

// The adapter stays plugged in while the program closes and reopens its port.
TEST_F(PtyUnitServerTest, ClientMayCloseAndReopenThePort) {
    serve();
    port->close();
    port.reset();
    runEventsFor(50);
    EXPECT_TRUE(server->isServing());

    openPort();
    send("GV\r\n");
    EXPECT_EQ(receiveAtLeast(12), "V7350-2.14\r\n");
}

TEST_F(PtyUnitServerTest, AnswersLeaveAtTheLineSpeedInPieces) {
    ServerOptions options;
    options.baud = 1200; // the 53-byte answer takes about 440 ms on the line
    serve(options);
    send("GLCDT\r\n");
    EXPECT_EQ(receiveAtLeast(53), "LCDT1\"Company             \"T2\"Lease Name          \"\r\n");
    EXPECT_GT(readyReads, 1);
}

TEST_F(PtyUnitServerTest, SilentUnitTakesSettingsButNeverAnswers) {
    ServerOptions options;
    options.silent = true;
    serve(options);
    send("SPP300\r\nGPP\r\nGV\r\n");
    ASSERT_TRUE(waitUntil([&] { return server->requestCount() == 3; }));
    runEventsFor(100);
    EXPECT_TRUE(received.isEmpty());
    EXPECT_EQ(unit.pollPeriodSeconds(), 300);
}

TEST_F(PtyUnitServerTest, DropLeavesEveryNthRequestUnanswered) {
    ServerOptions options;
    options.dropEvery = 2;
    serve(options);
    send("GPP\r\nGV\r\nGLCD\r\nGU00\r\nGG40\r\n");
    EXPECT_EQ(receiveAtLeast(9 + 10 + 35),
              "PP00060\r\nLCD03R05\r\nG40U99L1ONGT0000.000OFFLT0000.000\r\n");
}

TEST_F(PtyUnitServerTest, GarbleCorruptsTheKeywordOfEveryNthAnswer) {
    ServerOptions options;
    options.garbleEvery = 2;
    serve(options);
    send("GPP\r\nGLCD\r\nGV\r\nG420C1\r\n");
    const QByteArray clean =
        "PP00060\r\nLCD03R05\r\nV7350-2.14\r\n420C1U99L1V4M000.000V20M239.500\r\n";
    const QByteArray got = receiveAtLeast(clean.size());
    ASSERT_EQ(got.size(), clean.size());
    QList<qsizetype> differences;
    for (qsizetype i = 0; i < got.size(); ++i)
        if (got[i] != clean[i])
            differences.append(i);
    ASSERT_EQ(differences.size(), 2);
    EXPECT_FALSE(got.contains("LCD"));
    EXPECT_FALSE(got.contains("420C"));
    EXPECT_TRUE(got.startsWith("PP00060\r\n"));
}

TEST_F(PtyUnitServerTest, EchoReturnsEveryByteBeforeTheAnswer) {
    ServerOptions options;
    options.echo = true;
    serve(options);
    send("GPP\r\n");
    EXPECT_EQ(receiveAtLeast(14), "GPP\r\nPP00060\r\n");
}

TEST_F(PtyUnitServerTest, NoiseComesBetweenAnswersNeverInsideOne) {
    ServerOptions options;
    options.noise = true;
    serve(options);
    ASSERT_TRUE(waitUntil([&] { return received.size() >= 6; }));
    for (const char byte : std::exchange(received, {}))
        EXPECT_TRUE(QByteArrayView("*~#!?-+=").contains(byte)) << int(byte);

    for (int i = 0; i < 5; ++i)
        send("GLCDT\r\n");
    const QByteArray answer = "LCDT1\"Company             \"T2\"Lease Name          \"\r\n";
    ASSERT_TRUE(waitUntil([&] { return received.count(answer) == 5; }));
}

TEST_F(PtyUnitServerTest, HangupAfterServingTheNthRequestFailsTheClientsPort) {
    ServerOptions options;
    options.hangupAfter = 2;
    serve(options);
    bool hungUp = false;
    QObject::connect(server.get(), &PtyUnitServer::hungUp, [&] { hungUp = true; });

    send("GPP\r\n");
    EXPECT_EQ(receiveAtLeast(9), "PP00060\r\n");
    EXPECT_TRUE(server->isServing());

    send("GV\r\n");
    ASSERT_TRUE(waitUntil([&] { return hungUp && !portErrors.isEmpty(); }));
    EXPECT_EQ(received, "V7350-2.14\r\n");
    EXPECT_FALSE(server->isServing());
}

TEST_F(PtyUnitServerTest, HangUpWhileIdleAlsoFailsTheClient) {
    serve();
    server->hangUp();
    ASSERT_TRUE(waitUntil([&] { return !portErrors.isEmpty(); }));
    server->hangUp(); // a second hang-up is harmless
    EXPECT_FALSE(server->isServing());
}

} // namespace
} // namespace rtu
