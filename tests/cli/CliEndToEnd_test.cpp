// rtu7350-cli against rtu7350-sim over a real pseudo-terminal and QSerialPort, and against
// a bare pseudo-terminal where the exact bytes on the wire matter or nothing may answer.
// What the command groups send and parse is tested with UnitCommands; these tests cover
// what the tool adds: its commands, files, reports and exit statuses.

#include "support/Application.h"
#include "support/Files.h"
#include "support/Pty.h"
#include "support/WholeUnitLines.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace rtu::test {
namespace {

const QString SiteFile = QStringLiteral(RTU7350_EXAMPLES_DIR "/site.txt");

// How a run of rtu7350-cli ended; exitCode is -1 for a crash or a run that never ended.
struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs rtu7350-cli to its end while `whileRunning` keeps being called, so that a
// pseudo-terminal served from the test stays drained.
CliResult runCli(
    const QStringList& arguments, const std::function<void()>& whileRunning = [] {}) {
    QProcess process;
    process.start(QStringLiteral(RTU7350_CLI_PROGRAM), arguments);
    const QDeadlineTimer deadline(60000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        whileRunning();
        process.waitForFinished(5);
    }
    const bool ended =
        process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

// The lines of a configuration file, without their CR LF.
QList<QByteArray> configurationLines(QByteArray content) {
    QList<QByteArray> lines = content.replace('\r', "").split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

// The read lines that the stderr report names as unanswered.
QStringList namedUnanswered(const QByteArray& err) {
    const QRegularExpression report(QStringLiteral("reads: (.*)\n"));
    return report.match(QString::fromLatin1(err)).captured(1).split(' ', Qt::SkipEmptyParts);
}

// rtu7350-sim running in the background on its own pseudo-terminal, on a fast line.
class SimulatedUnitProcess {
public:
    explicit SimulatedUnitProcess(const QStringList& arguments) {
        process_.start(QStringLiteral(RTU7350_SIM_PROGRAM),
                       QStringList{"--baud", "115200", "--turnaround-ms", "2"} + arguments);
        const QDeadlineTimer deadline(10000);
        while (!process_.canReadLine() && process_.waitForReadyRead(int(deadline.remainingTime())))
            ;
        device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }

    // The options that make rtu7350-cli talk to this unit: 15 units of 8 ms still leave
    // several times the wire time of the longest reply.
    QStringList cli() const {
        return {"--port", device_, "--baud", "115200", "--delay-unit-ms", "8", "--quiet"};
    }

    // Stops it as an operator would (SIGTERM); it writes its --dump file then. True when
    // it ended by itself with status 0.
    bool stop() {
        process_.terminate();
        return process_.waitForFinished(10000) && process_.exitStatus() == QProcess::NormalExit &&
               process_.exitCode() == 0;
    }

private:
    QProcess process_;
    QString device_;
};

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid() && wire.isOpen()); }

    QString path(const QString& name) const { return dir.filePath(name); }
    // On a bare pseudo-terminal nothing ever answers, so the settle delays only cost time.
    QStringList bareCli() const { return {"--port", wire.slavePath(), "--delay-unit-ms", "1"}; }

    bool applicationReady = (ensureApplication(), true);
    QTemporaryDir dir;
    Pty wire;
};

TEST_F(CliEndToEnd, ProgramThenReadRoundTripsTheSiteAndVerifyNamesEveryDifference) {
    const QList<QByteArray> siteLines = configurationLines(readFile(SiteFile));
    ASSERT_EQ(siteLines.size(), 39);
    SimulatedUnitProcess unit({"--dump", path("dump.txt")});
    const CliResult programmed =
        runCli(unit.cli() + QStringList{"--clock", "manual", "--time", "08:15:30", "--date",
                                        "07/04/2025", "program", SiteFile});
    EXPECT_EQ(programmed.exitCode, 0) << programmed.err.constData();
    EXPECT_TRUE(programmed.err.isEmpty()) << programmed.err.constData();

    const CliResult read = runCli(unit.cli() + QStringList{"read"});
    EXPECT_EQ(read.exitCode, 0) << read.err.constData();
    const QList<QByteArray> readLines = configurationLines(read.out);
    ASSERT_EQ(readLines.size(), 39);
    EXPECT_EQ(readLines.mid(2), siteLines.mid(2));
    // The manual clock reached the unit, whose clock then ran on from it.
    EXPECT_EQ(readLines[1], "SRTCD070425");
    EXPECT_TRUE(readLines[0].startsWith("SRTCT08")) << readLines[0].constData();

    // How differences read is ConfigurationComparison's; here the unit's values take part.
    QList<QByteArray> changed = siteLines;
    changed[4] = "SPP600";                              // poll period 10 minutes
    changed[21 + 3] = "SG43U03L1ONLT13.000OFFGT24.000"; // on value
    ASSERT_TRUE(writeFile(path("changed.txt"), changed.join("\r\n") + "\r\n"));
    const CliResult verified = runCli(unit.cli() + QStringList{"verify", path("changed.txt")});
    EXPECT_EQ(verified.exitCode, 4) << verified.err.constData();
    EXPECT_EQ(verified.out, "unit PollPeriod: file 600, unit 900\n"
                            "G4 module 3 OnValue: file 13, unit 12\n");

    ASSERT_TRUE(unit.stop());
    EXPECT_EQ(configurationLines(readFile(path("dump.txt"))).mid(2), siteLines.mid(2));
}

TEST_F(CliEndToEnd, ProgramAllOfTheDefaultsPutsExactlyTheseBytesOnTheWire) {
    const QByteArray expected =
        defaultProgramAllLines("120000", "123100").join("\r\n").toLatin1() + "\r\n";
    ASSERT_TRUE(writeFile(path("empty.txt"), {}));
    QByteArray sent;
    const CliResult result =
        runCli(bareCli() + QStringList{"--log", path("log.txt"), "--clock", "manual", "--partial",
                                       "program", path("empty.txt")},
               [&] { sent += wire.readAvailable(); });
    sent += wire.readAvailable();

    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(sent, expected);
    // Nothing came back, so the log holds the port status and the lines sent.
    EXPECT_EQ(readFile(path("log.txt")), "Initialize Port Status = OK\r\n" + expected);
}

TEST_F(CliEndToEnd, ReadFromASilentUnitNamesEveryReadAndStillWritesTheFile) {
    const CliResult result = runCli(bareCli() + QStringList{"read", "--output", path("read.txt")});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(
        result.err.contains(("no reply to 39 of 39 reads: " + readAllLines().join(' ')).toLatin1()))
        << result.err.constData();
    // Without --quiet: one progress line for the five unit-settings reads, one per module.
    EXPECT_TRUE(result.err.startsWith("line 1 of 39: Reading unit settings\n"
                                      "line 6 of 39: Reading tank 00\n"));
    EXPECT_EQ(result.err.count("of 39: Reading"), 35);
    EXPECT_EQ(configurationLines(readFile(path("read.txt"))).size(), 39);

    // A file that cannot be written fails the run, unanswered reads or not.
    const CliResult unwritable =
        runCli(bareCli() + QStringList{"read", "--output", path("missing/dir/read.txt")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains("missing/dir/read.txt")) << unwritable.err.constData();
}

// Against a unit that holds the site: a faulty line costs answers, never a wrong value.
TEST_F(CliEndToEnd, DroppedAndGarbledRepliesAreNamedAsUnansweredAndEchoesAreSkipped) {
    const struct {
        QStringList fault;
        QStringList unanswered;
        int exitCode;
    } cases[] = {
        // Requests 7, 14, 21, 28 and 35 of the 39 go unanswered.
        {{"--drop", "7"}, {"GU01", "GU08", "GU15", "GG46", "G420C4"}, 3},
        // The unit garbles the keyword of answers 4, 8, ... 36.
        {{"--garble", "4"},
         {"GLCDT", "GU02", "GU06", "GU10", "GU14", "GG42", "GG46", "G420C1", "G420C5"},
         3},
        // A 2-wire RS-485 line puts each read line in front of its reply: every reply is
        // found after the echo, and the site reads back unchanged.
        {{"--echo"}, {}, 0},
    };
    for (const auto& line : cases) {
        SCOPED_TRACE(qPrintable(line.fault.join(' ')));
        SimulatedUnitProcess unit(QStringList{"--state", SiteFile} + line.fault);
        const CliResult verified = runCli(unit.cli() + QStringList{"verify", SiteFile});
        EXPECT_EQ(verified.exitCode, line.exitCode);
        EXPECT_EQ(namedUnanswered(verified.err), line.unanswered) << verified.err.constData();
        EXPECT_EQ(verified.out, "");
    }
}

TEST_F(CliEndToEnd, HangUpMidwayEndsWithExit1AndNoOutputFile) {
    for (const QStringList& command :
         {QStringList{"read", "--output", path("read.txt")}, QStringList{"program", SiteFile}}) {
        SCOPED_TRACE(qPrintable(command.first()));
        SimulatedUnitProcess unit({"--hangup-after", "10"});
        const CliResult result = runCli(unit.cli() + command);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.contains("port lost")) << result.err.constData();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    }
    EXPECT_FALSE(QFile::exists(path("read.txt")));
}

TEST_F(CliEndToEnd, AFileRejectedByTheLoadRulesOrMissingSendsNothing) {
    ASSERT_TRUE(writeFile(path("bad.txt"), "SPP900\r\nSLCD05R03\r\nSU03\"WATER 1\r\n"));
    const std::pair<const char*, QString> cases[] = {
        {"program", "bad.txt: not a whole configuration (missing: SRTCT, SRTCD, SLCDT1, SU00"},
        {"verify", "bad.txt:3: "},
        {"program", "missing.txt: "}};
    for (const auto& [command, reported] : cases) {
        const CliResult result =
            runCli(bareCli() + QStringList{command, path(reported.section(':', 0, 0))});
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_TRUE(result.err.startsWith(("rtu7350-cli: " + path(reported)).toUtf8()))
            << result.err.constData();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    }
    EXPECT_TRUE(wire.readAvailable().isEmpty());
}

// The usage rules themselves are tested with CliOptions.
TEST_F(CliEndToEnd, UsageErrorsExit2PortTroubleExits1AndPortsListsTabSeparatedLines) {
    const CliResult usage = runCli({"--port", "/dev/null", "--baud", "9601", "read"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.out.isEmpty());
    EXPECT_FALSE(usage.err.isEmpty());
    const CliResult missing = runCli({"--port", path("no-such-tty"), "read"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("no-such-tty: cannot open the port: no such device; "))
        << missing.err.data();
    EXPECT_TRUE(missing.out.isEmpty());

    const CliResult ports = runCli({"ports"});
    EXPECT_EQ(ports.exitCode, 0);
    for (const QByteArray& line : configurationLines(ports.out))
        EXPECT_EQ(line.count('\t'), 4) << line.constData();
}

} // namespace
} // namespace rtu::test
