// The rtu7350-sim program as scripts use it: started as a process, device path on the first
// line of its output, a serial client on that device. Its fault options are exercised by
// the end-to-end runs of rtu7350-cli.

#include "SimTestSupport.h"

#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

class SimProgramTest : public test::EventLoopTest {
protected:
    // Starts the program; opens the device it names unless it is to run to its end.
    void start(const QStringList& arguments, bool open = true) {
        sim.start(QStringLiteral(RTU7350_SIM_PROGRAM), arguments);
        if (!open)
            return;
        ASSERT_TRUE(waitUntil([&] { return sim.canReadLine(); }, 10000));
        port.setPortName(QString::fromLocal8Bit(sim.readLine()).trimmed());
        ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << qPrintable(port.portName());
    }
    QByteArray exchange(const QByteArray& request, qsizetype expected) {
        port.write(request);
        QByteArray answer;
        waitUntil([&] { return (answer += port.readAll()).size() >= expected; });
        return answer;
    }
    // The exit code once the program has ended by itself, -1 if it did not.
    int exitCodeAtEnd() {
        if (!waitUntil([&] { return sim.state() == QProcess::NotRunning; }, 10000))
            return -1;
        return sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1;
    }

    QTemporaryDir dir;
    QProcess sim;
    QSerialPort port;
};

TEST_F(SimProgramTest, StartsFromAStateFileAndEndsWhenIdleOrHungUp) {
    const QString state = dir.filePath("site.txt");
    ASSERT_TRUE(test::writeFile(state, "SG43U05T4ONEQ12.5OFFLT3\r\n"));
    start({"--state", state, "--version-text", "7350-3.01", "--once-idle", "0.5"});
    EXPECT_EQ(exchange("GG43\r\n", 35), "G43U05T4ONEQ0012.500OFFLT0003.000\r\n");
    EXPECT_EQ(exchange("GV\r\n", 12), "V7350-3.01\r\n");
    EXPECT_EQ(exitCodeAtEnd(), 0);

    port.close();
    start({"--hangup-after", "1"});
    EXPECT_EQ(exchange("GPP\r\n", 9), "PP00060\r\n");
    EXPECT_EQ(exitCodeAtEnd(), 0);
}

TEST_F(SimProgramTest, BadOptionsAreUsageErrorsAndABrokenStateFileNamesFileAndLine) {
    for (const char* arguments :
         {"--baud fast", "--baud 0", "--turnaround-ms -1", "--drop 0", "--garble x",
          "--hangup-after 0", "--once-idle 0", "--once-idle soon", "--bogus", "extra", "--drop"}) {
        start(QString::fromLatin1(arguments).split(' '), false);
        EXPECT_EQ(exitCodeAtEnd(), 2) << arguments;
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty());
        EXPECT_FALSE(sim.readAllStandardError().isEmpty());
    }

    const QString state = dir.filePath("bad.txt");
    ASSERT_TRUE(test::writeFile(state, "SPP60\r\nSU00\"OPEN\r\n"));
    start({"--state", state}, false);
    EXPECT_EQ(exitCodeAtEnd(), 1);
    const QString error = QString::fromLocal8Bit(sim.readAllStandardError());
    EXPECT_TRUE(error.contains(state) && error.contains("line 2")) << qPrintable(error);
}

} // namespace
} // namespace rtu
