#include "serial/QtSerialLibrary.h"
#include "sim/PtyUnitServer.h"
#include "sim/SimulatedUnit.h"
#include "support/Configurations.h"
#include "support/Files.h"
#include "support/SessionRig.h"

#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace rtu {
namespace {

const QByteArray LcdTextAnswer = "LCDT1\"Company             \"T2\"Lease Name          \"\r\n";

// A fresh simulated unit on a real pseudo-terminal, with a QSerialPort client on its slave
// side.
class PtyUnitServerTest : public ::testing::Test {
protected:
    void serve(const ServerOptions& options = {}) {
        port.reset();
        server = std::make_unique<PtyUnitServer>(unit, options);
        ASSERT_EQ(server->start(), QString());
        openPort(server->slavePath());
    }
    void openPort(const QString& device) {
        port = std::make_unique<QSerialPort>(device);
        QObject::connect(port.get(), &QSerialPort::readyRead,
                         [this] { received += port->readAll(); });
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
        test::waitUntil([&] { return received.size() >= count; });
        test::waitUntil([] { return false; }, 100);
        return std::exchange(received, {});
    }

    bool applicationReady = (test::ensureApplication(), true);
    SimulatedUnit unit;
    std::unique_ptr<PtyUnitServer> server;
    std::unique_ptr<QSerialPort> port;
    QByteArray received;
    bool portFailed = false;
};

TEST_F(PtyUnitServerTest, AnswersInOrderAppliesSettingsIsSilentOrNoisyOrHangsUpAsAsked) {
    serve();
    send("GL");
    test::waitUntil([] { return false; }, 50);
    send("CD\r\nSPP120\r\nGPP\r\nNONSENSE\r\n");
    EXPECT_EQ(receiveAtLeast(19), "LCD03R05\r\nPP00120\r\n");
    EXPECT_EQ(server->requestCount(), 4);

    // The adapter stays plugged in while the program closes and reopens its port.
    port.reset();
    test::waitUntil([] { return false; }, 50);
    EXPECT_TRUE(server->isServing());
    openPort(server->slavePath());
    send("GV\r\n");
    EXPECT_EQ(receiveAtLeast(12), "V7350-2.14\r\n");

    // A silent unit takes settings but never answers.
    serve({.silent = true});
    send("SPP300\r\nGPP\r\nGV\r\n");
    ASSERT_TRUE(test::waitUntil([&] { return server->requestCount() == 3; }));
    EXPECT_EQ(receiveAtLeast(0), QByteArray());
    EXPECT_EQ(unit.pollPeriodSeconds(), 300);

    // Noise comes between answers, never inside one.
    serve({.noise = true});
    ASSERT_TRUE(test::waitUntil([&] { return received.size() >= 6; }));
    for (const char byte : std::exchange(received, {}))
        EXPECT_TRUE(QByteArrayView("*~#!?-+=").contains(byte)) << int(byte);
    for (int i = 0; i < 5; ++i)
        send("GLCDT\r\n");
    ASSERT_TRUE(test::waitUntil([&] { return received.count(LcdTextAnswer) == 5; }));

    // A hang-up after the n-th request, or while idle, fails the client's port.
    received.clear();
    serve({.hangupAfter = 2});
    bool hungUp = false;
    QObject::connect(server.get(), &PtyUnitServer::hungUp, [&] { hungUp = true; });
    send("GPP\r\n");
    EXPECT_EQ(receiveAtLeast(9), "PP00300\r\n"); // as the silent unit was told
    EXPECT_TRUE(server->isServing());
    send("GV\r\n");
    ASSERT_TRUE(test::waitUntil([&] { return hungUp && portFailed; }));
    EXPECT_EQ(received, "V7350-2.14\r\n");
    EXPECT_FALSE(server->isServing());

    serve(); // and while idle
    portFailed = false;
    server->hangUp();
    ASSERT_TRUE(test::waitUntil([&] { return portFailed; }));
    server->hangUp(); // a second hang-up is harmless
    EXPECT_FALSE(server->isServing());
}

// The link goes with the line; one a killed unit left is replaced, a file is not.
TEST_F(PtyUnitServerTest, TheLinkPathLivesAsLongAsTheLine) {
    QTemporaryDir dir;
    const QString link = dir.filePath("unit");
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), link));
    serve({.linkPath = link});
    server->hangUp();
    EXPECT_FALSE(QFileInfo(link).isSymbolicLink());
    ASSERT_TRUE(test::writeFile(link, "notes"));
    EXPECT_NE(PtyUnitServer(unit, {.linkPath = link}).start(), QString());
}

// The program's side of a simulated unit's line at 115200 baud: a session on the real serial
// library, with the 8 ms settle-delay unit of the tests' fast lines.
struct LineSession : test::SessionRig<QtSerialLibrary> {
    LineSession(SimulatedUnit& unit, int byteDelayMs, Pacing pacing,
                std::optional<int> replyTimeoutMs = std::nullopt)
        : server(unit, {.baud = 115200, .turnaroundMs = 1, .byteDelayMs = byteDelayMs}) {
        EXPECT_EQ(server.start(), QString());
        library.setDevice(0, server.slavePath());
        library.setDelayUnitOverride(8.0);
        library.setPacing(pacing, replyTimeoutMs);
        EXPECT_EQ(library.InitializePort(0, 0, 0, 0, 9, 0, 2048, 1024, 0), 0);
        // 115200 baud 8N1: the guard after a reply lasts a millisecond.
        EXPECT_EQ(library.SetPortCharacteristics(0, 11, 0, 3, 0, 4), 0);
        session.link.CurrentPort = 0;
    }

    PtyUnitServer server;
};

// A unit sending its bytes 10 ms apart is slower than a read's wait: each reply is cut off
// by it, whether the wait is the whole settle delay or ends once the reply is in, and is no
// answer: the record keeps its values. At 4 ms apart, with a wait of up to 3 s that ends on
// replies, the unit is read whole: the wait takes in the LF of each CR LF, which would
// otherwise start the next line's buffer.
TEST(PtyUnitServerLine, AReplyCutOffByTheWaitIsNoAnswerAndASlowUnitIsReadWholeByReplies) {
    SimulatedUnit unit;
    G4Record& g4 = unit.tables().G4Records[3];
    std::tie(g4.Unit, g4.Source, g4.Channel, g4.OnValue) = std::tuple("5", "T", "3", "12.5");
    using enum Pacing;
    for (const Pacing pacing : {FixedDelays, UntilReply}) {
        LineSession line(unit, 10, pacing); // "G43U05T3ONG" has come when the wait ends
        ReadReport report;
        EXPECT_TRUE(line.session.commands.readListed({"GG43"}, &report));
        EXPECT_EQ(report.unanswered, QStringList{"GG43"});
        EXPECT_EQ(line.session.tables, test::defaultTables());
    }

    LineSession slow(unit, 4, UntilReply, 3000);
    ReadReport report;
    EXPECT_TRUE(slow.session.commands.readAll(&report));
    EXPECT_EQ(report.answered.size(), 39) << qPrintable(report.unanswered.join(' '));
}

// The rtu7350-sim program as scripts use it: started as a process, device path on the first
// line of its output, a serial client on that device. Its state file and fault options are
// exercised by the end-to-end runs of rtu7350-cli.
TEST_F(PtyUnitServerTest, TheProgramServesEndsWhenIdleAndRefusesBadOptions) {
    QTemporaryDir dir;
    QProcess sim;
    sim.start(RTU7350_SIM_PROGRAM, {"--version-text", "7350-3.01", "--once-idle", "0.5"});
    ASSERT_TRUE(test::waitUntil([&] { return sim.canReadLine(); }, 10000));
    openPort(QString::fromLocal8Bit(sim.readLine()).trimmed());
    send("GV\r\n");
    EXPECT_EQ(receiveAtLeast(12), "V7350-3.01\r\n");
    EXPECT_TRUE(test::waitUntil([&] { return sim.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(std::pair(sim.exitStatus(), sim.exitCode()), std::pair(QProcess::NormalExit, 0));

    // Usage errors end with 2 and say nothing on standard output; a broken state file ends with
    // 1 and names the file and the line.
    const auto run = [](const QStringList& arguments) {
        QProcess sim;
        sim.start(RTU7350_SIM_PROGRAM, arguments);
        const bool ended = sim.waitForFinished(10000) && sim.exitStatus() == QProcess::NormalExit;
        return QString::number(ended ? sim.exitCode() : -1) + sim.readAllStandardOutput() + ": " +
               QString::fromLocal8Bit(sim.readAllStandardError());
    };
    for (const char* arguments :
         {"--baud fast", "--baud 0", "--turnaround-ms -1", "--byte-delay-ms 60001", "--drop 0",
          "--garble x", "--hangup-after 0", "--once-idle 0", "--once-idle soon", "--bogus", "extra",
          "--drop"}) {
        const QString outcome = run(QString::fromLatin1(arguments).split(' '));
        EXPECT_TRUE(outcome.startsWith("2: ") && outcome.size() > 3) << qPrintable(outcome);
    }
    const QString bad = dir.filePath("bad.txt");
    ASSERT_TRUE(test::writeFile(bad, "SPP60\r\nSU00\"OPEN\r\n"));
    const QString error = run({"--state", bad});
    EXPECT_TRUE(error.startsWith("1: ") && error.contains(bad) && error.contains("line 2"))
        << qPrintable(error);
    // A FIFO would hold the start-up up for ever: it is refused, with no line to name.
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(run({"--state", fifo}),
              "1: rtu7350-sim: " + fifo + ": cannot open: not a regular file\n");
}

} // namespace
} // namespace rtu
