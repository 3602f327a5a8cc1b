#include "sim/PtyUnitServer.h"
#include "sim/SimulatedUnit.h"

#include "SimTestSupport.h"

#include <QSerialPort>

#include <gtest/gtest.h>

#include <memory>

namespace rtu {
namespace {

const QByteArray LcdTextAnswer = "LCDT1\"Company             \"T2\"Lease Name          \"\r\n";

// A fresh simulated unit on a real pseudo-terminal, with a QSerialPort client on its slave
// side.
class PtyUnitServerTest : public test::EventLoopTest {
protected:
    void serve(const ServerOptions& options = {}) {
        port.reset();
        server = std::make_unique<PtyUnitServer>(unit, options);
        ASSERT_EQ(server->start(), QString());
        openPort();
    }
    void openPort() {
        port = std::make_unique<QSerialPort>(server->slavePath());
        QObject::connect(port.get(), &QSerialPort::readyRead, [this] {
            received += port->readAll();
            ++readyReads;
        });
        QObject::connect(port.get(), &QSerialPort::errorOccurred, [this](auto error) {
            portFailed = portFailed || error != QSerialPort::NoError;
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
    bool portFailed = false;
};

TEST_F(PtyUnitServerTest, AnswersWholeRequestsInOrderAndAppliesSettings) {
    serve();
    send("GL");
    runEventsFor(50);
    send("CD\r\nSPP120\r\nGPP\r\nNONSENSE\r\n");
    EXPECT_EQ(receiveAtLeast(19), "LCD03R05\r\nPP00120\r\n");
    EXPECT_EQ(server->requestCount(), 4);

    // The adapter stays plugged in while the program closes and reopens its port.
    port.reset();
    runEventsFor(50);
    EXPECT_TRUE(server->isServing());
    openPort();
    send("GV\r\n");
    EXPECT_EQ(receiveAtLeast(12), "V7350-2.14\r\n");
}

TEST_F(PtyUnitServerTest, AnswersLeaveAtTheLineSpeedInPieces) {
    serve({.baud = 1200}); // the 53-byte answer takes about 440 ms on the line
    send("GLCDT\r\n");
    EXPECT_EQ(receiveAtLeast(53), LcdTextAnswer);
    EXPECT_GT(readyReads, 1);
}

TEST_F(PtyUnitServerTest, SilentUnitTakesSettingsButNeverAnswers) {
    serve({.silent = true});
    send("SPP300\r\nGPP\r\nGV\r\n");
    ASSERT_TRUE(waitUntil([&] { return server->requestCount() == 3; }));
    EXPECT_EQ(receiveAtLeast(0), QByteArray());
    EXPECT_EQ(unit.pollPeriodSeconds(), 300);
}

TEST_F(PtyUnitServerTest, NoiseComesBetweenAnswersNeverInsideOne) {
    serve({.noise = true});
    ASSERT_TRUE(waitUntil([&] { return received.size() >= 6; }));
    for (const char byte : std::exchange(received, {}))
        EXPECT_TRUE(QByteArrayView("*~#!?-+=").contains(byte)) << int(byte);
    for (int i = 0; i < 5; ++i)
        send("GLCDT\r\n");
    ASSERT_TRUE(waitUntil([&] { return received.count(LcdTextAnswer) == 5; }));
}

TEST_F(PtyUnitServerTest, HangUpAfterTheNthRequestOrWhileIdleFailsTheClientsPort) {
    serve({.hangupAfter = 2});
    bool hungUp = false;
    QObject::connect(server.get(), &PtyUnitServer::hungUp, [&] { hungUp = true; });
    send("GPP\r\n");
    EXPECT_EQ(receiveAtLeast(9), "PP00060\r\n");
    EXPECT_TRUE(server->isServing());
    send("GV\r\n");
    ASSERT_TRUE(waitUntil([&] { return hungUp && portFailed; }));
    EXPECT_EQ(received, "V7350-2.14\r\n");
    EXPECT_FALSE(server->isServing());

    serve();
    portFailed = false;
    server->hangUp();
    ASSERT_TRUE(waitUntil([&] { return portFailed; }));
    server->hangUp(); // a second hang-up is harmless
    EXPECT_FALSE(server->isServing());
}

} // namespace
} // namespace rtu
