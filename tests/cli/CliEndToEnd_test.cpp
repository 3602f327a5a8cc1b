// rtu7350-cli against rtu7350-sim over a real pseudo-terminal and QSerialPort, and against
// a bare pseudo-terminal where the exact bytes on the wire matter or nothing may answer.
// What the command groups send and parse is tested with UnitCommands; these tests cover
// what the tool adds: its commands, files, reports and exit statuses.

#include "support/Application.h"
#include "support/Files.h"
#include "support/Pty.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu::test {
namespace {

const QString SiteFile = QStringLiteral(RTU7350_EXAMPLES_DIR "/site.txt");

// How a run of rtu7350-cli ended; exitCode is -1 for a crash or a run that never ended.
struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The lines of a configuration file, without their CR LF.
QList<QByteArray> configurationLines(QByteArray content) {
    QList<QByteArray> lines = content.replace('\r', "").split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

// The reads a run reports unanswered ("no reply to 2 of 39 reads: GU01 GU08"), or "".
QString unansweredReads(const QByteArray& err) {
    return QRegularExpression("reads: (.*)\n").match(QString::fromLatin1(err)).captured(1);
}

// rtu7350-sim running in the background on its own pseudo-terminal, on a fast line unless
// told otherwise. `cli` holds the options that make rtu7350-cli talk to it: on the fast
// line 15 units of 8 ms still leave several times the wire time of the longest reply,
// slower lines take the unit derived from their speed.
struct SimulatedUnitProcess {
    explicit SimulatedUnitProcess(const QStringList& arguments, int baud = 115200) {
        const QString speed = QString::number(baud);
        process.start(QStringLiteral(RTU7350_SIM_PROGRAM),
                      QStringList{"--baud", speed, "--turnaround-ms", "2"} + arguments);
        const QDeadlineTimer deadline(10000);
        while (!process.canReadLine() && process.waitForReadyRead(int(deadline.remainingTime())))
            ;
        const QString device = QString::fromLocal8Bit(process.readLine()).trimmed();
        cli = {"--port", device, "--baud", speed, "--quiet"};
        if (baud == 115200)
            cli += QStringList{"--delay-unit-ms", "8"};
    }

    QProcess process;
    QStringList cli;
};

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid() && wire.isOpen()); }

    QString path(const QString& name) const { return dir.filePath(name); }
    // On a bare pseudo-terminal nothing ever answers, so the settle delays only cost time.
    QStringList bareCli() const { return {"--port", wire.slavePath(), "--delay-unit-ms", "1"}; }

    // Runs rtu7350-cli to its end, keeping the bare pseudo-terminal drained into `sent`.
    CliResult runCli(const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral(RTU7350_CLI_PROGRAM), arguments);
        const QDeadlineTimer deadline(60000);
        while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            sent += wire.readAvailable();
            process.waitForFinished(5);
        }
        sent += wire.readAvailable();
        const bool ended =
            process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit;
        return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    bool applicationReady = (ensureApplication(), true);
    QTemporaryDir dir;
    Pty wire;
    QByteArray sent; // what rtu7350-cli put on the bare pseudo-terminal
};

TEST_F(CliEndToEnd, ProgramThenReadRoundTripsTheSiteAndVerifyNamesEveryDifference) {
    const QList<QByteArray> siteLines = configurationLines(readFile(SiteFile));
    ASSERT_EQ(siteLines.size(), 39);
    SimulatedUnitProcess unit({"--dump", path("dump.txt")});
    const CliResult programmed =
        runCli(unit.cli + QStringList{"--log", path("log.txt"), "--clock", "manual", "--time",
                                      "08:15:30", "--date", "07/04/2025", "program", SiteFile});
    EXPECT_EQ(std::pair(programmed.exitCode, programmed.err), std::pair(0, QByteArray()));
    // Nothing came back, so the log holds the port status and the lines sent.
    const QByteArray log = readFile(path("log.txt"));
    EXPECT_TRUE(log.startsWith("Initialize Port Status = OK\r\nSRTCT081530\r\nSRTCD070425\r\n"));
    EXPECT_EQ(log.count("\r\n"), 40) << log.constData();

    const CliResult read = runCli(unit.cli + QStringList{"read"});
    EXPECT_EQ(read.exitCode, 0) << read.err.constData();
    const QList<QByteArray> readLines = configurationLines(read.out);
    ASSERT_EQ(readLines.size(), 39);
    EXPECT_EQ(readLines.mid(2), siteLines.mid(2));

    // How differences read is ConfigurationComparison's; here the unit's values take part.
    QList<QByteArray> changed = siteLines;
    changed[4] = "SPP600";                              // poll period 10 minutes
    changed[21 + 3] = "SG43U03L1ONLT13.000OFFGT24.000"; // on value
    ASSERT_TRUE(writeFile(path("changed.txt"), changed.join("\r\n") + "\r\n"));
    const CliResult verified = runCli(unit.cli + QStringList{"verify", path("changed.txt")});
    EXPECT_EQ(verified.exitCode, 4) << verified.err.constData();
    EXPECT_EQ(verified.out, "unit PollPeriod: file 600, unit 900\n"
                            "G4 module 3 OnValue: file 13, unit 12\n");

    // Stopped as an operator would (SIGTERM), it writes its --dump file.
    unit.process.terminate();
    ASSERT_TRUE(unit.process.waitForFinished(10000));
    EXPECT_EQ(std::pair(unit.process.exitStatus(), unit.process.exitCode()),
              std::pair(QProcess::NormalExit, 0));
    EXPECT_EQ(configurationLines(readFile(path("dump.txt"))).mid(2), siteLines.mid(2));
}

TEST_F(CliEndToEnd, UnansweredReadsAreNamedAndAHangUpOrBadOutputEndsWithExit1) {
    const CliResult result = runCli(bareCli() + QStringList{"read", "--output", path("read.txt")});
    EXPECT_EQ(result.exitCode, 3);
    // Which reads are named, in which order, is UnitCommands'; here the report prints them.
    EXPECT_TRUE(result.err.contains("no reply to 39 of 39 reads: GRTCT GPP GLCD GLCDT GV GU00 "))
        << result.err.constData();
    // Without --quiet: one progress line for the five unit-settings reads, one per module.
    EXPECT_TRUE(result.err.startsWith("line 1 of 39: Reading unit settings\n"
                                      "line 6 of 39: Reading tank 00\n"));
    EXPECT_EQ(configurationLines(readFile(path("read.txt"))).size(), 39);

    // A file that cannot be written fails the run, unanswered reads or not.
    const CliResult unwritable =
        runCli(bareCli() + QStringList{"read", "--output", path("missing/dir/read.txt")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains("missing/dir/read.txt")) << unwritable.err.constData();

    // A hang-up midway ends with exit 1 and no output file.
    for (const QStringList& command :
         {QStringList{"read", "--output", path("lost.txt")}, QStringList{"program", SiteFile}}) {
        SCOPED_TRACE(qPrintable(command.first()));
        SimulatedUnitProcess unit({"--hangup-after", "10"});
        const CliResult result = runCli(unit.cli + command);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.contains("port lost")) << result.err.constData();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    }
    EXPECT_FALSE(QFile::exists(path("lost.txt")));
}

// Against a unit that holds the site, a faulty line costs answers, never a wrong value: the
// verify run names no difference. Reply pacing, which ends the wait after a read line once
// its reply is in (and a guard of two characters' time has passed), leaves the same reads
// unanswered as the fixed settle delays.
TEST_F(CliEndToEnd, AFaultyLineCostsAnswersNeverAWrongValueWithFixedDelaysOrReplyPacing) {
    // Line speed, fault, and the reads left unanswered.
    const std::tuple<int, const char*, const char*> cases[] = {
        // A slow line: the guard after a reply lasts as long as the line takes for two
        // characters, or the rest of a reply spills into the next read's wait.
        {2400, "", ""},
        // A 2-wire RS-485 line puts each read line in front of its reply: every reply is
        // found after the echo.
        {9600, "--echo", ""},
        // Requests 7, 14, 21, 28 and 35 of the 39 go unanswered.
        {115200, "--drop 7", "GU01 GU08 GU15 GG46 G420C4"},
        // The unit garbles the keyword of answers 4, 8, ... 36 (of the LCD text reply, only
        // the second line is found: it is partly answered).
        {115200, "--garble 4", "GU02 GU06 GU10 GU14 GG42 GG46 G420C1 G420C5"},
        // Junk ahead of every 3rd answer: the LCD timing is found behind it, the tank and
        // module replies, which must start the buffer, are lost.
        {9600, "--noise-every 3",
         "GU00 GU03 GU06 GU09 GU12 GU15 GG42 GG45 GG48 G420C2 G420C5 G420C8"},
        // A unit slower than the 120 ms of a module read: each late reply lands in a later
        // line's wait, where it names another record.
        {115200, "--turnaround-ms 150",
         "GU00 GU01 GU02 GU03 GU04 GU05 GU06 GU07 GU08 GU09 GU10 GU11 GU12 GU13 GU14 GU15 "
         "GG40 GG41 GG42 GG43 GG44 GG45 GG46 GG47 GG48 GG49 G420C1 G420C2 G420C3 G420C4 "
         "G420C5 G420C6 G420C7 G420C8"},
    };
    for (const auto& [baud, fault, unanswered] : cases) {
        // A fresh unit for each run, so that its faults hit the same requests.
        for (const QStringList pacing : {QStringList{}, QStringList{"--pacing", "reply"}}) {
            SCOPED_TRACE(qPrintable(QString::number(baud) + ' ' + fault + ' ' + pacing.join(' ')));
            SimulatedUnitProcess unit(QStringList{"--state", SiteFile} +
                                          QString(fault).split(' ', Qt::SkipEmptyParts),
                                      baud);
            const CliResult verified = runCli(unit.cli + pacing + QStringList{"verify", SiteFile});
            EXPECT_EQ(verified.exitCode, *unanswered ? 3 : 0) << verified.err.constData();
            EXPECT_EQ(unansweredReads(verified.err), unanswered);
            EXPECT_EQ(verified.out, "");
        }
    }
}

TEST_F(CliEndToEnd, BadFilesUsageAndPortTroubleSendNothingAndPortsListsTabSeparatedLines) {
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
    EXPECT_TRUE(sent.isEmpty());

    // With --partial a file that is not whole is taken: the defaults fill the rest.
    ASSERT_TRUE(writeFile(path("part.txt"), "SPP900\r\n"));
    EXPECT_EQ(runCli(bareCli() + QStringList{"--partial", "program", path("part.txt")}).exitCode,
              0);
    EXPECT_EQ(sent.count("\r\n"), 39);
    EXPECT_TRUE(sent.contains("\r\nSPP900\r\n")) << sent.constData();

    // The usage rules themselves are tested with CliOptions.
    const CliResult usage = runCli({"--port", "/dev/null", "--baud", "9601", "read"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.out.isEmpty() && !usage.err.isEmpty());
    const CliResult missing = runCli({"--port", path("no-such-tty"), "read"});
    EXPECT_EQ(std::pair(missing.exitCode, missing.out), std::pair(1, QByteArray()));
    EXPECT_TRUE(missing.err.contains("no-such-tty: cannot open the port: no such device; "))
        << missing.err.data();

    const CliResult ports = runCli({"ports"});
    EXPECT_EQ(ports.exitCode, 0);
    for (const QByteArray& line : configurationLines(ports.out))
        EXPECT_EQ(line.count('\t'), 4) << line.constData();
}

} // namespace
} // namespace rtu::test
