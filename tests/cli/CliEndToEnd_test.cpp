// rtu7350-cli against rtu7350-sim over a real pseudo-terminal and QSerialPort, and against
// a bare pseudo-terminal where the exact bytes on the wire matter.

#include "CliProcess.h"
#include "support/Pty.h"

#include <QTemporaryDir>

namespace rtu::test {
namespace {

// Fast line and short settle delays: 15 units of 8 ms still leave several times the wire
// time of the longest reply at 115200 baud with a 2 ms turnaround.
const QStringList FastSim{"--baud", "115200", "--turnaround-ms", "2"};

QStringList fastCli(const QString& device) {
    return {"--port", device, "--baud", "115200", "--delay-unit-ms", "8", "--quiet"};
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

QByteArray unansweredLine(const QStringList& names) {
    return QStringLiteral("no reply to %1 of 39 reads: %2")
        .arg(names.size())
        .arg(names.join(' '))
        .toLatin1();
}

// The read lines that the stderr report names as unanswered.
QStringList namedUnanswered(const QByteArray& err) {
    const QByteArray marker = "reads: ";
    const qsizetype at = err.indexOf(marker);
    if (at < 0)
        return {};
    const QByteArray rest = err.mid(at + marker.size());
    return QString::fromLatin1(rest.left(rest.indexOf('\n'))).split(' ', Qt::SkipEmptyParts);
}

class CliEndToEnd : public QtApplicationTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        siteLines = configurationLines(fileContent(examplePath("site.txt")));
        ASSERT_EQ(siteLines.size(), 39);
    }

    void requireSimulator() {
        if (!SimulatedUnitProcess::available())
            GTEST_SKIP() << "rtu7350-sim is not part of this build";
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // The file's lines after the two clock lines, which a read never reproduces.
    static QList<QByteArray> withoutClock(const QList<QByteArray>& lines) { return lines.mid(2); }

    QTemporaryDir dir;
    QList<QByteArray> siteLines;
};

TEST_F(CliEndToEnd, ProgramThenReadRoundTripsTheSiteConfiguration) {
    requireSimulator();
    SimulatedUnitProcess unit(FastSim + QStringList{"--dump", path("dump.txt")});
    ASSERT_FALSE(unit.device().isEmpty());
    const QStringList cli = fastCli(unit.device());

    const CliResult programmed =
        runCli(cli + QStringList{"--clock", "manual", "--time", "08:15:30", "--date", "07/04/2025",
                                 "program", examplePath("site.txt")});
    ASSERT_TRUE(programmed.exited);
    EXPECT_EQ(programmed.exitCode, 0) << programmed.err.constData();
    EXPECT_TRUE(programmed.err.isEmpty()) << programmed.err.constData();

    const CliResult toFile = runCli(cli + QStringList{"read", "--output", path("read.txt")});
    EXPECT_EQ(toFile.exitCode, 0) << toFile.err.constData();
    const QList<QByteArray> readLines = configurationLines(fileContent(path("read.txt")));
    ASSERT_EQ(readLines.size(), 39);
    EXPECT_EQ(withoutClock(readLines), withoutClock(siteLines));
    // The manual clock reached the unit, whose clock then ran on from it.
    EXPECT_EQ(readLines[1], "SRTCD070425");
    EXPECT_TRUE(readLines[0].startsWith("SRTCT08")) << readLines[0].constData();
    EXPECT_TRUE(fileContent(path("read.txt")).endsWith("\r\n"));

    const CliResult toStdout = runCli(cli + QStringList{"read"});
    EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err.constData();
    EXPECT_EQ(withoutClock(configurationLines(toStdout.out)), withoutClock(siteLines));

    const CliResult verified = runCli(cli + QStringList{"verify", examplePath("site.txt")});
    EXPECT_EQ(verified.exitCode, 0) << verified.out.constData();
    EXPECT_TRUE(verified.out.isEmpty()) << verified.out.constData();

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

    Pty wire;
    ASSERT_TRUE(wire.isOpen());
    ASSERT_TRUE(writeFile(path("empty.txt"), {}));
    QByteArray sent;
    const CliResult result =
        runCli({"--port", wire.slavePath(), "--delay-unit-ms", "1", "--quiet", "--log",
                path("log.txt"), "--clock", "manual", "program", path("empty.txt")},
               [&] { sent += wire.readAvailable(); });
    sent += wire.readAvailable();

    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(sent, expected);
    // Nothing came back, so the log holds the port status and the lines sent.
    EXPECT_EQ(fileContent(path("log.txt")), "Initialize Port Status = OK\r\n" + expected);
}

TEST_F(CliEndToEnd, SilentUnitLeavesEveryReadUnansweredButTheFileIsWritten) {
    requireSimulator();
    SimulatedUnitProcess unit(FastSim + QStringList{"--silent"});
    const CliResult result =
        runCli(fastCli(unit.device()) + QStringList{"read", "--output", path("read.txt")});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains(unansweredLine(allReadLines()))) << result.err.constData();
    const QList<QByteArray> lines = configurationLines(fileContent(path("read.txt")));
    ASSERT_EQ(lines.size(), 39);
    // The read's placeholders for LCD lines nobody answered.
    EXPECT_EQ(lines[3], "SLCDT1\"????????????????????\"T2\"????????????????????\"");
}

TEST_F(CliEndToEnd, DroppedRequestsAreNamedAndLeftOutOfTheComparison) {
    requireSimulator();
    SimulatedUnitProcess unit(FastSim +
                              QStringList{"--state", examplePath("site.txt"), "--drop", "7"});
    const QStringList cli = fastCli(unit.device());

    // Requests 7, 14, 21, 28 and 35 of the 39 go unanswered.
    const CliResult read = runCli(cli + QStringList{"read", "--output", path("read.txt")});
    EXPECT_EQ(read.exitCode, 3);
    EXPECT_EQ(namedUnanswered(read.err), QStringList({"GU01", "GU08", "GU15", "GG46", "G420C4"}))
        << read.err.constData();
    EXPECT_EQ(configurationLines(fileContent(path("read.txt"))).size(), 39);

    // Other requests are dropped this time; whatever was answered matches the file.
    const CliResult verified = runCli(cli + QStringList{"verify", examplePath("site.txt")});
    EXPECT_EQ(verified.exitCode, 3);
    EXPECT_EQ(namedUnanswered(verified.err).size(), 6) << verified.err.constData();
    EXPECT_TRUE(verified.out.isEmpty()) << verified.out.constData();
}

TEST_F(CliEndToEnd, GarbledRepliesCountAsUnansweredAndNeverAsWrongValues) {
    requireSimulator();
    SimulatedUnitProcess unit(FastSim +
                              QStringList{"--state", examplePath("site.txt"), "--garble", "4"});
    const QStringList cli = fastCli(unit.device());

    // The unit garbles the keyword of answers 4, 8, ... 36.
    const CliResult read = runCli(cli + QStringList{"read"});
    EXPECT_EQ(read.exitCode, 3);
    EXPECT_EQ(namedUnanswered(read.err), QStringList({"GLCDT", "GU02", "GU06", "GU10", "GU14",
                                                      "GG42", "GG46", "G420C1", "G420C5"}))
        << read.err.constData();

    const CliResult verified = runCli(cli + QStringList{"verify", examplePath("site.txt")});
    EXPECT_EQ(verified.exitCode, 3);
    EXPECT_FALSE(namedUnanswered(verified.err).isEmpty());
    EXPECT_TRUE(verified.out.isEmpty()) << verified.out.constData();
}

// An echoing line puts each read line in front of its reply. Module replies must open the
// reply buffer, so all 34 module reads go unanswered. The unit-settings replies are found
// by the first occurrence of their keyword, which the echo holds for "GPP" (no number
// follows: unanswered), "GRTCT" and "GV" (taken as answered), and "GLCD", whose timing is
// then read from the echo's line end as 0 and 0.
TEST_F(CliEndToEnd, EchoingLineHidesModuleRepliesAndMisleadsTheLcdTiming) {
    requireSimulator();
    SimulatedUnitProcess unit(FastSim + QStringList{"--state", examplePath("site.txt"), "--echo"});
    const CliResult verified =
        runCli(fastCli(unit.device()) + QStringList{"verify", examplePath("site.txt")});
    ASSERT_TRUE(verified.exited);
    EXPECT_EQ(verified.exitCode, 3);
    EXPECT_EQ(namedUnanswered(verified.err), QStringList{"GPP"} + allReadLines().mid(5))
        << verified.err.constData();
    EXPECT_EQ(verified.out, "unit LcdSeconds: file 5, unit 0\nunit LcdRepeats: file 3, unit 0\n");
}

// Noise comes only while the unit has nothing else to send, so it never splits a reply:
// a value is never read wrong. A burst that lands between a module read line and its
// reply makes that one read unanswered, as the reply no longer opens the reply buffer.
TEST_F(CliEndToEnd, NoiseBetweenRepliesNeverGivesWrongValues) {
    requireSimulator();
    SimulatedUnitProcess unit(FastSim + QStringList{"--state", examplePath("site.txt"), "--noise"});
    const CliResult verified =
        runCli(fastCli(unit.device()) + QStringList{"verify", examplePath("site.txt")});
    ASSERT_TRUE(verified.exited);
    EXPECT_TRUE(verified.exitCode == 0 || verified.exitCode == 3) << verified.exitCode;
    EXPECT_TRUE(verified.out.isEmpty()) << verified.out.constData();
    for (const QString& line : namedUnanswered(verified.err))
        EXPECT_TRUE(allReadLines().mid(5).contains(line)) << qPrintable(line);
}

TEST_F(CliEndToEnd, HangUpMidwayEndsWithExit1AndNoOutputFile) {
    requireSimulator();
    {
        SimulatedUnitProcess unit(FastSim + QStringList{"--hangup-after", "10"});
        const CliResult read =
            runCli(fastCli(unit.device()) + QStringList{"read", "--output", path("read.txt")});
        ASSERT_TRUE(read.exited);
        EXPECT_EQ(read.exitCode, 1);
        EXPECT_TRUE(read.err.contains("port lost")) << read.err.constData();
        EXPECT_EQ(read.err.count('\n'), 1) << read.err.constData();
        EXPECT_FALSE(QFile::exists(path("read.txt")));
    }
    {
        SimulatedUnitProcess unit(FastSim + QStringList{"--hangup-after", "10"});
        const CliResult program =
            runCli(fastCli(unit.device()) + QStringList{"program", examplePath("site.txt")});
        ASSERT_TRUE(program.exited);
        EXPECT_EQ(program.exitCode, 1);
        EXPECT_TRUE(program.err.contains("port lost")) << program.err.constData();
        EXPECT_EQ(program.err.count('\n'), 1) << program.err.constData();
    }
}

TEST_F(CliEndToEnd, VerifyNamesEveryDifferenceAndExits4) {
    requireSimulator();
    QList<QByteArray> changed = siteLines;
    changed[4] = "SPP600";                              // poll period 10 minutes
    changed[5 + 5] = "SU05\"GUN BARREL\"L2IT1F3.1000E"; // volume factor
    changed[21 + 3] = "SG43U03L1ONLT13.000OFFGT24.000"; // on value
    changed[31 + 1] = "S420C2U01L1V4M0.000V20M250.000"; // value at 20 mA
    changed[5 + 7] = "SU07\"FRAC 7    \"L1IT0F1.6700%"; // label
    ASSERT_TRUE(writeFile(path("changed.txt"), changed.join("\r\n") + "\r\n"));

    SimulatedUnitProcess unit(FastSim + QStringList{"--state", examplePath("site.txt")});
    const CliResult verified =
        runCli(fastCli(unit.device()) + QStringList{"verify", path("changed.txt")});
    ASSERT_TRUE(verified.exited);
    EXPECT_EQ(verified.exitCode, 4) << verified.err.constData();
    EXPECT_EQ(verified.out, "unit PollPeriod: file 600, unit 900\n"
                            "tank 05 VolumeFactor: file 3.1, unit 2.5\n"
                            "tank 07 Label: file \"FRAC 7\", unit \"FRAC TANK\"\n"
                            "g4 3 OnValue: file 13, unit 12\n"
                            "4-20mA 2 Value20mA: file 250, unit 240\n");
}

TEST_F(CliEndToEnd, OutputFileThatCannotBeWrittenExits1) {
    requireSimulator();
    SimulatedUnitProcess unit(FastSim);
    const CliResult read = runCli(fastCli(unit.device()) +
                                  QStringList{"read", "--output", path("missing/dir/read.txt")});
    ASSERT_TRUE(read.exited);
    EXPECT_EQ(read.exitCode, 1);
    EXPECT_TRUE(read.err.contains("missing/dir/read.txt")) << read.err.constData();
}

TEST_F(CliEndToEnd, FileRejectedByTheLoadRulesSendsNothing) {
    Pty wire;
    ASSERT_TRUE(wire.isOpen());
    ASSERT_TRUE(writeFile(path("bad.txt"), "SPP900\r\nSLCD05R03\r\nSU03\"WATER 1\r\n"));
    for (const char* command : {"program", "verify"}) {
        const CliResult result =
            runCli({"--port", wire.slavePath(), "--delay-unit-ms", "1", command, path("bad.txt")});
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_TRUE(result.err.startsWith(("rtu7350-cli: " + path("bad.txt") + ":3: ").toUtf8()))
            << result.err.constData();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    }
    const CliResult missing = runCli({"--port", wire.slavePath(), "program", path("missing.txt")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.startsWith(("rtu7350-cli: " + path("missing.txt") + ": ").toUtf8()))
        << missing.err.constData();
    EXPECT_TRUE(wire.readAvailable().isEmpty());
}

TEST_F(CliEndToEnd, UsageErrorsExit2AndPortTroubleExits1) {
    for (const QStringList& arguments :
         {QStringList{"read"}, QStringList{"--port", "/dev/null", "--baud", "9601", "read"},
          QStringList{"--port", "/dev/null", "fetch"}, QStringList{"--port", "/dev/null"}}) {
        const CliResult result = runCli(arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(result.out.isEmpty());
    }
    const CliResult missing = runCli({"--port", path("no-such-tty"), "read"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("no-such-tty: cannot open the port")) << missing.err.data();
    EXPECT_TRUE(missing.out.isEmpty());
}

TEST_F(CliEndToEnd, PortsListsOneTabSeparatedLinePerPort) {
    const CliResult result = runCli({"ports"});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);
    for (const QByteArray& line : configurationLines(result.out))
        EXPECT_EQ(line.count('\t'), 3) << line.constData();
}

} // namespace
} // namespace rtu::test
