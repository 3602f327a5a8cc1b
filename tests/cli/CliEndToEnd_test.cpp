// rtu7350-cli against rtu7350-sim over a real pseudo-terminal and QSerialPort, and against
// a bare pseudo-terminal where the exact bytes on the wire matter or nothing may answer.

#include "support/Pty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace rtu::test {
namespace {

// Fast line and short settle delays: 15 units of 8 ms still leave several times the wire
// time of the longest reply at 115200 baud with a 2 ms turnaround.
const QStringList FastSim{"--baud", "115200", "--turnaround-ms", "2"};

QStringList fastCli(const QString& device) {
    return {"--port", device, "--baud", "115200", "--delay-unit-ms", "8", "--quiet"};
}

// On a bare pseudo-terminal nothing ever answers, so the settle delays only cost time.
QStringList bareCli(const Pty& wire) {
    return {"--port", wire.slavePath(), "--delay-unit-ms", "1"};
}

const QString SiteFile = QStringLiteral(RTU7350_EXAMPLES_DIR "/site.txt");

// How a run of rtu7350-cli ended; `exited` is false for a crash or a run that was killed.
struct CliResult {
    bool exited = false;
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
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit, process.exitCode(),
            process.readAllStandardOutput(), process.readAllStandardError()};
}

// The lines of a configuration file, without their CR LF.
QList<QByteArray> configurationLines(QByteArray content) {
    QList<QByteArray> lines = content.replace('\r', "").split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

// The lines after the two clock lines, which a read never reproduces.
QList<QByteArray> withoutClock(const QList<QByteArray>& lines) {
    return lines.mid(2);
}

QByteArray fileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Every read line of a whole-unit read, in order.
QStringList allReadLines() {
    QStringList lines{"GRTCT", "GPP", "GLCD", "GLCDT", "GV"};
    for (int tank = 0; tank < 16; ++tank)
        lines << QStringLiteral("GU%1").arg(tank, 2, 10, QLatin1Char('0'));
    for (int module = 0; module <= 9; ++module)
        lines << QStringLiteral("GG4%1").arg(module);
    for (int module = 1; module <= 8; ++module)
        lines << QStringLiteral("G420C%1").arg(module);
    return lines;
}

// The read lines that the stderr report names as unanswered.
QStringList namedUnanswered(const QByteArray& err) {
    const QRegularExpression report(QStringLiteral("reads: (.*)\n"));
    return report.match(QString::fromLatin1(err)).captured(1).split(' ', Qt::SkipEmptyParts);
}

// rtu7350-sim running in the background on its own pseudo-terminal.
class SimulatedUnitProcess {
public:
    explicit SimulatedUnitProcess(const QStringList& arguments) {
        process_.start(QStringLiteral(RTU7350_SIM_PROGRAM), FastSim + arguments);
        const QDeadlineTimer deadline(10000);
        while (!process_.canReadLine() && process_.waitForReadyRead(int(deadline.remainingTime())))
            ;
        device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~SimulatedUnitProcess() { stop(); }

    // The options that make rtu7350-cli talk to this unit.
    QStringList cli() const { return fastCli(device_); }

    // Stops it as an operator would (SIGTERM); it writes its --dump file then. True when
    // it ended by itself with status 0.
    bool stop() {
        process_.terminate();
        if (!process_.waitForFinished(10000) && process_.state() != QProcess::NotRunning) {
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

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(wire.isOpen());
        siteLines = configurationLines(fileContent(SiteFile));
        ASSERT_EQ(siteLines.size(), 39);
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    int argc_ = 1;
    char name_[13] = "test_cli_e2e";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication app_{argc_, argv_};
    QTemporaryDir dir;
    Pty wire;
    QList<QByteArray> siteLines;
};

TEST_F(CliEndToEnd, ProgramThenReadRoundTripsTheSiteAndVerifyNamesEveryDifference) {
    SimulatedUnitProcess unit({"--dump", path("dump.txt")});
    const CliResult programmed =
        runCli(unit.cli() + QStringList{"--clock", "manual", "--time", "08:15:30", "--date",
                                        "07/04/2025", "program", SiteFile});
    ASSERT_TRUE(programmed.exited);
    EXPECT_EQ(programmed.exitCode, 0) << programmed.err.constData();
    EXPECT_TRUE(programmed.err.isEmpty()) << programmed.err.constData();

    const CliResult read = runCli(unit.cli() + QStringList{"read"});
    EXPECT_EQ(read.exitCode, 0) << read.err.constData();
    const QList<QByteArray> readLines = configurationLines(read.out);
    ASSERT_EQ(readLines.size(), 39);
    EXPECT_EQ(withoutClock(readLines), withoutClock(siteLines));
    // The manual clock reached the unit, whose clock then ran on from it.
    EXPECT_EQ(readLines[1], "SRTCD070425");
    EXPECT_TRUE(readLines[0].startsWith("SRTCT08")) << readLines[0].constData();

    QList<QByteArray> changed = siteLines;
    changed[4] = "SPP600";                              // poll period 10 minutes
    changed[5 + 5] = "SU05\"GUN BARREL\"L2IT1F3.1000E"; // volume factor
    changed[21 + 3] = "SG43U03L1ONLT13.000OFFGT24.000"; // on value
    changed[31 + 1] = "S420C2U01L1V4M0.000V20M250.000"; // value at 20 mA
    changed[5 + 7] = "SU07\"FRAC 7    \"L1IT0F1.6700%"; // label
    ASSERT_TRUE(writeFile(path("changed.txt"), changed.join("\r\n") + "\r\n"));
    const CliResult verified = runCli(unit.cli() + QStringList{"verify", path("changed.txt")});
    EXPECT_EQ(verified.exitCode, 4) << verified.err.constData();
    EXPECT_EQ(verified.out, "unit PollPeriod: file 600, unit 900\n"
                            "tank 05 VolumeFactor: file 3.1, unit 2.5\n"
                            "tank 07 Label: file \"FRAC 7\", unit \"FRAC TANK\"\n"
                            "G4 module 3 OnValue: file 13, unit 12\n"
                            "4-20mA module 2 Value20mA: file 250, unit 240\n");

    ASSERT_TRUE(unit.stop());
    EXPECT_EQ(withoutClock(configurationLines(fileContent(path("dump.txt")))),
              withoutClock(siteLines));
}

TEST_F(CliEndToEnd, ProgramAllOfTheDefaultsPutsExactlyTheseBytesOnTheWire) {
    QByteArray expected = "SRTCT120000\r\nSRTCD123100\r\nSPP060\r\nSLCD03R05\r\n"
                          "SLCDT1\"Company\"T2\"Lease Name\"\r\n";
    for (int tank = 0; tank < 16; ++tank)
        expected += QByteArray("SU") + QByteArray::number(tank).rightJustified(2, '0') + "\"TANK " +
                    QByteArray::number(tank + 1).rightJustified(2, '0') + "   \"L0IT0F1.6700E\r\n";
    for (int module = 0; module <= 9; ++module)
        expected += "SG4" + QByteArray::number(module) + "U99L1ONGT0000.000OFFLT0000.000\r\n";
    for (int module = 1; module <= 8; ++module)
        expected += "S420C" + QByteArray::number(module) + "U99L1V4M000.000V20M239.500\r\n";

    ASSERT_TRUE(writeFile(path("empty.txt"), {}));
    QByteArray sent;
    const CliResult result =
        runCli(bareCli(wire) + QStringList{"--log", path("log.txt"), "--clock", "manual", "program",
                                           path("empty.txt")},
               [&] { sent += wire.readAvailable(); });
    sent += wire.readAvailable();

    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(sent, expected);
    // Nothing came back, so the log holds the port status and the lines sent.
    EXPECT_EQ(fileContent(path("log.txt")), "Initialize Port Status = OK\r\n" + expected);
}

TEST_F(CliEndToEnd, ReadFromASilentUnitNamesEveryReadAndStillWritesTheFile) {
    const CliResult result =
        runCli(bareCli(wire) + QStringList{"read", "--output", path("read.txt")});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(
        result.err.contains(("no reply to 39 of 39 reads: " + allReadLines().join(' ')).toLatin1()))
        << result.err.constData();
    // Without --quiet: one progress line for the five unit-settings reads, one per module.
    EXPECT_TRUE(result.err.startsWith("line 1 of 39: Reading unit settings\n"
                                      "line 6 of 39: Reading tank 00\n"));
    EXPECT_TRUE(result.err.contains("\nline 39 of 39: Reading 4-20mA module 8\n"));
    EXPECT_EQ(result.err.count("of 39: Reading"), 35);
    const QByteArray file = fileContent(path("read.txt"));
    EXPECT_TRUE(file.endsWith("\r\n"));
    const QList<QByteArray> lines = configurationLines(file);
    ASSERT_EQ(lines.size(), 39);
    // The read's placeholders for LCD lines nobody answered.
    EXPECT_EQ(lines[3], "SLCDT1\"????????????????????\"T2\"????????????????????\"");

    // A file that cannot be written fails the run, unanswered reads or not.
    const CliResult unwritable =
        runCli(bareCli(wire) + QStringList{"read", "--output", path("missing/dir/read.txt")});
    ASSERT_TRUE(unwritable.exited);
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains("missing/dir/read.txt")) << unwritable.err.constData();
}

// Against a unit that holds the site: a faulty line costs answers, never a wrong value.
TEST_F(CliEndToEnd, DroppedGarbledAndEchoedRepliesAreNamedAsUnanswered) {
    const struct {
        QStringList fault;
        QStringList unanswered;
        QByteArray differences;
    } cases[] = {
        // Requests 7, 14, 21, 28 and 35 of the 39 go unanswered.
        {{"--drop", "7"}, {"GU01", "GU08", "GU15", "GG46", "G420C4"}, ""},
        // The unit garbles the keyword of answers 4, 8, ... 36.
        {{"--garble", "4"},
         {"GLCDT", "GU02", "GU06", "GU10", "GU14", "GG42", "GG46", "G420C1", "G420C5"},
         ""},
        // An echoing line puts each read line in front of its reply. Module replies must
        // open the reply buffer, so all 34 module reads go unanswered. The unit-settings
        // replies are found by the first occurrence of their keyword, which the echo holds
        // for "GPP" (no number follows: unanswered), "GRTCT" and "GV" (taken as answered),
        // and "GLCD", whose timing is then read from the echo's line end as 0 and 0.
        {{"--echo"},
         QStringList{"GPP"} + allReadLines().mid(5),
         "unit LcdSeconds: file 5, unit 0\nunit LcdRepeats: file 3, unit 0\n"},
    };
    for (const auto& line : cases) {
        SCOPED_TRACE(qPrintable(line.fault.join(' ')));
        SimulatedUnitProcess unit(QStringList{"--state", SiteFile} + line.fault);
        const CliResult verified = runCli(unit.cli() + QStringList{"verify", SiteFile});
        EXPECT_EQ(verified.exitCode, 3);
        EXPECT_EQ(namedUnanswered(verified.err), line.unanswered) << verified.err.constData();
        EXPECT_EQ(verified.out, line.differences);
    }
}

// Noise comes only while the unit has nothing else to send, so it never splits a reply:
// a value is never read wrong. A burst that lands between a module read line and its
// reply makes that one read unanswered, as the reply no longer opens the reply buffer.
TEST_F(CliEndToEnd, NoiseBetweenRepliesNeverGivesWrongValues) {
    SimulatedUnitProcess unit({"--state", SiteFile, "--noise"});
    const CliResult verified = runCli(unit.cli() + QStringList{"verify", SiteFile});
    ASSERT_TRUE(verified.exited);
    EXPECT_TRUE(verified.exitCode == 0 || verified.exitCode == 3) << verified.exitCode;
    EXPECT_TRUE(verified.out.isEmpty()) << verified.out.constData();
    for (const QString& line : namedUnanswered(verified.err))
        EXPECT_TRUE(allReadLines().mid(5).contains(line)) << qPrintable(line);
}

TEST_F(CliEndToEnd, HangUpMidwayEndsWithExit1AndNoOutputFile) {
    for (const QStringList& command :
         {QStringList{"read", "--output", path("read.txt")}, QStringList{"program", SiteFile}}) {
        SCOPED_TRACE(qPrintable(command.first()));
        SimulatedUnitProcess unit({"--hangup-after", "10"});
        const CliResult result = runCli(unit.cli() + command);
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.contains("port lost")) << result.err.constData();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    }
    EXPECT_FALSE(QFile::exists(path("read.txt")));
}

TEST_F(CliEndToEnd, AFileRejectedByTheLoadRulesOrMissingSendsNothing) {
    ASSERT_TRUE(writeFile(path("bad.txt"), "SPP900\r\nSLCD05R03\r\nSU03\"WATER 1\r\n"));
    const std::pair<const char*, QString> cases[] = {
        {"program", "bad.txt:3: "}, {"verify", "bad.txt:3: "}, {"program", "missing.txt: "}};
    for (const auto& [command, reported] : cases) {
        const QString file = path(reported.section(':', 0, 0));
        const CliResult result = runCli(bareCli(wire) + QStringList{command, file});
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_TRUE(result.err.startsWith(("rtu7350-cli: " + path(reported)).toUtf8()))
            << result.err.constData();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    }
    EXPECT_TRUE(wire.readAvailable().isEmpty());
}

TEST_F(CliEndToEnd, UsageErrorsExit2PortTroubleExits1AndPortsListsTabSeparatedLines) {
    for (const QStringList& arguments :
         {QStringList{"read"}, QStringList{"--port", "/dev/null", "--baud", "9601", "read"}}) {
        const CliResult result = runCli(arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(result.out.isEmpty());
    }
    const CliResult missing = runCli({"--port", path("no-such-tty"), "read"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("no-such-tty: cannot open the port: no such device; "))
        << missing.err.data();
    EXPECT_TRUE(missing.out.isEmpty());

    const CliResult ports = runCli({"ports"});
    ASSERT_TRUE(ports.exited);
    EXPECT_EQ(ports.exitCode, 0);
    for (const QByteArray& line : configurationLines(ports.out))
        EXPECT_EQ(line.count('\t'), 4) << line.constData();
}

} // namespace
} // namespace rtu::test
