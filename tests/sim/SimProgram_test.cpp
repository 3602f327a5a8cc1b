// The rtu7350-sim program as scripts use it: started as a process, device path on the first
// line of its output, a serial client on that device.

#include "SimTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

class SimProgramTest : public test::EventLoopTest {
protected:
    void TearDown() override {
        if (sim.state() != QProcess::NotRunning) {
            sim.kill();
            sim.waitForFinished(5000);
        }
    }

    // Starts the program and opens the device it names.
    void start(const QStringList& arguments) {
        sim.start(QStringLiteral(RTU7350_SIM_PROGRAM), arguments);
        ASSERT_TRUE(sim.waitForStarted(5000));
        ASSERT_TRUE(waitUntil([&] { return sim.canReadLine(); }, 10000));
        const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
        port.setPortName(device);
        ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << device.toStdString();
    }

    QByteArray exchange(const QByteArray& request, qsizetype expected) {
        port.write(request);
        QByteArray answer;
        waitUntil([&] {
            answer += port.readAll();
            return answer.size() >= expected;
        });
        return answer;
    }

    // Runs the program to its end and returns its exit code (-1 if it did not end).
    int runToEnd(const QStringList& arguments) {
        sim.start(QStringLiteral(RTU7350_SIM_PROGRAM), arguments);
        if (!sim.waitForFinished(10000))
            return -1;
        return sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1;
    }

    bool endsByItself() {
        return waitUntil([&] { return sim.state() == QProcess::NotRunning; }, 10000) &&
               sim.exitStatus() == QProcess::NormalExit;
    }

    static QString writeFile(const QTemporaryDir& dir, const QString& name,
                             const QByteArray& content) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    QProcess sim;
    QSerialPort port;
};

TEST_F(SimProgramTest, ServesUntilTerminatedAndDumpsItsState) {
    QTemporaryDir dir;
    const QString dump = dir.filePath(QStringLiteral("dump.txt"));
    start({"--baud", "115200", "--turnaround-ms", "0", "--dump", dump});
    EXPECT_EQ(exchange("SPP300\r\nSLCDT1\"Depot\"T2\"East\"\r\nGPP\r\n", 9), "PP00300\r\n");

    sim.terminate();
    ASSERT_TRUE(endsByItself());
    EXPECT_EQ(sim.exitCode(), 0);
    QFile file(dump);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_EQ(content.count("\r\n"), 39);
    EXPECT_TRUE(content.contains("\r\nSPP300\r\n"));
    EXPECT_TRUE(content.contains("\r\nSLCDT1\"Depot\"T2\"East\"\r\n"));
}

TEST_F(SimProgramTest, StartsFromAStateFileAndEndsWhenIdle) {
    QTemporaryDir dir;
    const QString state =
        writeFile(dir, QStringLiteral("site.txt"), "SPP7507\r\nSG43U05T4ONEQ12.5OFFLT3\r\n");
    start({"--state", state, "--version-text", "7350-3.01", "--once-idle", "0.5"});
    EXPECT_EQ(exchange("GPP\r\n", 9), "PP07507\r\n");
    EXPECT_EQ(exchange("GG43\r\n", 35), "G43U05T4ONEQ0012.500OFFLT0003.000\r\n");
    EXPECT_EQ(exchange("GV\r\n", 12), "V7350-3.01\r\n");

    ASSERT_TRUE(endsByItself());
    EXPECT_EQ(sim.exitCode(), 0);
}

TEST_F(SimProgramTest, EndsWhenTheLineIsHungUp) {
    start({"--hangup-after", "1"});
    EXPECT_EQ(exchange("GPP\r\n", 9), "PP00060\r\n");
    ASSERT_TRUE(endsByItself());
    EXPECT_EQ(sim.exitCode(), 0);
}

TEST_F(SimProgramTest, RejectsBadOptionsAsUsageErrors) {
    const QList<QStringList> badArguments{{"--baud", "fast"},
                                          {"--baud", "0"},
                                          {"--turnaround-ms", "-1"},
                                          {"--drop", "0"},
                                          {"--garble", "x"},
                                          {"--hangup-after", "0"},
                                          {"--once-idle", "0"},
                                          {"--once-idle", "soon"},
                                          {"--bogus"},
                                          {"extra"},
                                          {"--drop"}};
    for (const QStringList& arguments : badArguments) {
        EXPECT_EQ(runToEnd(arguments), 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty());
        EXPECT_FALSE(sim.readAllStandardError().isEmpty());
    }
}

TEST_F(SimProgramTest, BrokenStateFileIsAnErrorNamingTheFileAndLine) {
    QTemporaryDir dir;
    const QString state = writeFile(dir, QStringLiteral("bad.txt"), "SPP60\r\nSU00\"OPEN\r\n");
    EXPECT_EQ(runToEnd({"--state", state}), 1);
    const QString error = QString::fromLocal8Bit(sim.readAllStandardError());
    EXPECT_TRUE(error.contains(state)) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("line 2"))) << error.toStdString();
}

} // namespace
} // namespace rtu
