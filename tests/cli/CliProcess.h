#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace rtu::test {

// How a run of rtu7350-cli ended. `exited` is false for a crash or a run that had to be
// killed.
struct CliResult {
    bool exited = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline QString cliProgram() {
    return QStringLiteral(RTU7350_CLI_PROGRAM);
}

inline QString examplePath(const QString& name) {
    return QStringLiteral(RTU7350_EXAMPLES_DIR "/") + name;
}

// Runs rtu7350-cli to its end (killing it after boundMs) while this process's event loop
// keeps running, so a pseudo-terminal served from the test stays responsive.
template <typename WhileRunning>
CliResult runCli(const QStringList& arguments, WhileRunning whileRunning, int boundMs = 60000) {
    QProcess process;
    process.start(cliProgram(), arguments);
    CliResult result;
    if (!process.waitForStarted(5000))
        return result;
    const QDeadlineTimer deadline(boundMs);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        whileRunning();
        process.waitForFinished(5);
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        return result;
    }
    result.exited = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

inline CliResult runCli(const QStringList& arguments) {
    return runCli(arguments, [] {});
}

// The 39 lines of a configuration file, without their CR LF.
inline QList<QByteArray> configurationLines(const QByteArray& content) {
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

inline QByteArray fileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// rtu7350-sim running in the background on its own pseudo-terminal.
class SimulatedUnitProcess {
public:
    explicit SimulatedUnitProcess(const QStringList& arguments) {
#ifdef RTU7350_SIM_PROGRAM
        process_.start(QStringLiteral(RTU7350_SIM_PROGRAM), arguments);
        const QDeadlineTimer deadline(10000);
        while (!process_.canReadLine() && process_.waitForReadyRead(int(deadline.remainingTime())))
            ;
        if (process_.canReadLine())
            device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
#else
        Q_UNUSED(arguments);
#endif
    }
    ~SimulatedUnitProcess() {
        stop();
    }
    SimulatedUnitProcess(const SimulatedUnitProcess&) = delete;
    SimulatedUnitProcess& operator=(const SimulatedUnitProcess&) = delete;

    static bool available() {
#ifdef RTU7350_SIM_PROGRAM
        return true;
#else
        return false;
#endif
    }

    // The device to open, empty when the simulator did not start.
    QString device() const {
        return device_;
    }

    // Stops it as an operator would (SIGTERM); it writes its --dump file then. True when
    // it ended by itself with status 0.
    bool stop() {
        if (process_.state() == QProcess::NotRunning)
            return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(5000);
            return false;
        }
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }

private:
    QProcess process_;
    QString device_;
};

// A test with a QCoreApplication: QProcess, the pseudo-terminal helper and the session's
// timers need its event loop.
class QtApplicationTest : public ::testing::Test {
private:
    int argc_ = 1;
    char name_[9] = "test_cli";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication app_{argc_, argv_};
};

} // namespace rtu::test
