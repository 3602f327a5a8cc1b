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
        sim.kill();
        sim.waitForFinished(5000);
    }

    // Starts the program and opens the device it names.
    void start(const QStringList& arguments) {
        sim.start(QStringLiteral(RTU7350_SIM_PROGRAM), arguments);
        ASSERT_TRUE(waitUntil([&] { return sim.canReadLine(); }, 10000));
        port.setPortName(QString::fromLocal8Bit(sim.readLine()).trimmed());
        ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << qPrintable(port.portName());
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

    // The exit code once the program has ended by itself, -1 if it did not.
    int exitCodeAtEnd() {
        if (!waitUntil([&] { return sim.state() == QProcess::NotRunning; }, 10000))
            return -1;
        return sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1;
    }

    int runToEnd(const QStringList& arguments) {
        sim.start(QStringLiteral(RTU7350_SIM_PROGRAM), arguments);
        return exitCodeAtEnd();
    }

    QString writeFile(const QString& name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        return file.fileName();
    }

    QTemporaryDir dir;
    QProcess sim;
    QSerialPort port;
};

TEST_F(SimProgramTest, StartsFromAStateFileAndEndsWhenIdleOrHungUp) {
    const QString state = writeFile("site.txt", "SPP7507\r\nSG43U05T4ONEQ12.5OFFLT3\r\n");
    start({"--state", state, "--version-text", "7350-3.01", "--once-idle", "0.5"});
    EXPECT_EQ(exchange("GPP\r\n", 9), "PP07507\r\n");
    EXPECT_EQ(exchange("GG43\r\n", 35), "G43U05T4ONEQ0012.500OFFLT0003.000\r\n");
    EXPECT_EQ(exchange("GV\r\n", 12), "V7350-3.01\r\n");
    EXPECT_EQ(exitCodeAtEnd(), 0);

    port.close();
    start({"--hangup-after", "1"});
    EXPECT_EQ(exchange("GPP\r\n", 9), "PP00060\r\n");
    EXPECT_EQ(exitCodeAtEnd(), 0);
}

TEST_F(SimProgramTest, BadOptionsAreUsageErrorsAndABrokenStateFileNamesFileAndLine) {
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
        EXPECT_EQ(runToEnd(arguments), 2) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty());
        EXPECT_FALSE(sim.readAllStandardError().isEmpty());
    }

    const QString state = writeFile("bad.txt", "SPP60\r\nSU00\"OPEN\r\n");
    EXPECT_EQ(runToEnd({"--state", state}), 1);
    const QString error = QString::fromLocal8Bit(sim.readAllStandardError());
    EXPECT_TRUE(error.contains(state)) << qPrintable(error);
    EXPECT_TRUE(error.contains(QLatin1String("line 2"))) << qPrintable(error);
}

} // namespace
} // namespace rtu
