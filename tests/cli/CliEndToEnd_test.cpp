// rtu7350-cli against rtu7350-sim over a real pseudo-terminal and QSerialPort, and against
// a bare pseudo-terminal where the exact bytes on the wire matter or nothing may answer.
// What the command groups send and parse is tested with UnitCommands; these tests cover
// what the tool adds: its commands, files, reports and exit statuses.

#include "support/Application.h"
#include "support/Files.h"
#include "support/Pty.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    // Every run keeps its work record in the test's own folder.
    void SetUp() override {
        ASSERT_TRUE(dir.isValid() && wire.isOpen());
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    }

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
    const auto record = [this] {
        return QJsonDocument::fromJson(runCli({"record", "--json"}).out).array();
    };
    ASSERT_EQ(record().size(), 1);
    const QJsonObject programAll = record().first().toObject();
    EXPECT_EQ(programAll["action"].toString(), "Program All");
    EXPECT_EQ(programAll["linesSent"].toInt(), 39);

    const CliResult read = runCli(unit.cli + QStringList{"read"});
    EXPECT_EQ(read.exitCode, 0) << read.err.constData();
    const QList<QByteArray> readLines = configurationLines(read.out);
    ASSERT_EQ(readLines.size(), 39);
    EXPECT_EQ(readLines.mid(2), siteLines.mid(2));

    // How differences read is UnitComparison's; here the unit's values take part, and
    // with --partial only the records the file names: poll period and G4 module 3's on value.
    ASSERT_TRUE(writeFile(path("changed.txt"), "SPP600\r\nSG43U03L1ONLT13.000OFFGT24.000\r\n"));
    const CliResult verified =
        runCli(unit.cli + QStringList{"--no-record", "--partial", "verify", path("changed.txt")});
    EXPECT_EQ(verified.exitCode, 4) << verified.err.constData();
    EXPECT_EQ(verified.out, "time between polls in seconds: file 600, unit 900\n"
                            "G4 module 3 ON value: file 13, unit 12\n");
    EXPECT_EQ(record().last().toObject()["action"].toString(), "Read All");
    EXPECT_EQ(record().size(), 2);

    // Stopped as an operator would (SIGTERM), it writes its --dump file.
    unit.process.terminate();
    ASSERT_TRUE(unit.process.waitForFinished(10000));
    EXPECT_EQ(std::pair(unit.process.exitStatus(), unit.process.exitCode()),
              std::pair(QProcess::NormalExit, 0));
    EXPECT_EQ(configurationLines(readFile(path("dump.txt"))).mid(2), siteLines.mid(2));
}

// Against a unit that holds the site, a file differing in one tank sends that tank's line
// alone and reads it back; run again, it sends nothing. --json tells a script what was done.
TEST_F(CliEndToEnd, ProgramChangesSendsOnlyTheDifferingTankAndJsonNamesTheDifference) {
    SimulatedUnitProcess unit({"--state", SiteFile});
    QByteArray changed = readFile(SiteFile);
    changed.replace("SU03\"WATER 1   \"L1IT0F1.6700E", "SU03\"WATER 1   \"L1IT0F2.1000E");
    ASSERT_TRUE(writeFile(path("changed.txt"), changed));
    for (const qsizetype setLines : {1, 0}) {
        QFile::remove(path("log.txt"));
        const CliResult run =
            runCli(unit.cli + QStringList{"--json", "--log", path("log.txt"), "program",
                                          "--changes", path("changed.txt")});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        // The unit answers a tank read with the tank's "S" line: the lines sent are the "S"
        // lines that follow no tank read.
        const QList<QByteArray> logged = configurationLines(readFile(path("log.txt")));
        qsizetype sent = 0;
        for (qsizetype i = 1; i < logged.size(); ++i)
            sent += logged[i].startsWith('S') && !logged[i - 1].startsWith("GU") ? 1 : 0;
        EXPECT_EQ(sent, setLines) << readFile(path("log.txt")).constData();
        const QJsonObject report = QJsonDocument::fromJson(run.out).object();
        EXPECT_EQ(report["action"], "program-changes");
        EXPECT_EQ(report["linesSent"].toArray().size(), 39 + 2 * setLines);
        const QJsonArray differences = report["differences"].toArray();
        EXPECT_EQ(differences.size(), setLines);
        if (setLines) {
            EXPECT_EQ(differences.first(), QJsonObject({{"record", "SU03"},
                                                        {"field", "tank 03 (WATER 1) factor"},
                                                        {"file", "2.1"},
                                                        {"unit", "1.67"}}));
            EXPECT_EQ(report["linesSent"].toArray().at(39), "SU03\"WATER 1   \"L1IT0F2.1000E");
        }
    }
    // The work record names the change with the unit's value before it.
    const QJsonArray record = QJsonDocument::fromJson(runCli({"record", "--json"}).out).array();
    QStringList actions;
    for (const QJsonValue& line : record)
        actions << line["action"].toString();
    EXPECT_EQ(actions, QStringList({"Compare", "Program Differences", "Compare"}));
    EXPECT_EQ(record.at(1)["changes"].toArray(),
              QJsonArray({QJsonObject{{"record", "SU03"},
                                      {"field", "tank 03 (WATER 1) factor"},
                                      {"before", "1.67"},
                                      {"after", "2.1"}}}));
}

// A read that is not whole never replaces a file: a backup stays as it was.
TEST_F(CliEndToEnd, AReadNotAnsweredInFullWritesOnlyWhatWasReadAndAHangUpOrBadOutputExit1) {
    ASSERT_TRUE(writeFile(path("backup.txt"), readFile(SiteFile)));
    for (const QStringList& read :
         {QStringList{"read", "--output", path("backup.txt")},
          QStringList{"--partial", "read", "--output", path("backup.txt")}, QStringList{"read"}}) {
        SCOPED_TRACE(qPrintable(read.join(' ')));
        const CliResult result = runCli(bareCli() + read);
        EXPECT_EQ(std::pair(result.exitCode, result.out), std::pair(3, QByteArray()));
        // Which reads are named, in which order, is UnitCommands'; here the report prints them.
        EXPECT_TRUE(unansweredReads(result.err).startsWith("GRTCT GPP GLCD GLCDT GV GU00 "));
        EXPECT_TRUE(result.err.contains("rtu7350-cli: nothing written: ")) << result.err.data();
        EXPECT_EQ(readFile(path("backup.txt")), readFile(SiteFile));
        // Without --quiet: one progress line for the five unit-settings reads, one per module.
        EXPECT_TRUE(result.err.startsWith("line 1 of 39: Reading unit settings\n"
                                          "line 6 of 39: Reading tank 00\n"));
    }

    // --partial writes the records read in full; program refuses that file, and with
    // --partial sends only those records.
    SimulatedUnitProcess dropping({"--state", SiteFile, "--drop", "7"});
    const CliResult part =
        runCli(dropping.cli + QStringList{"--partial", "read", "--output", path("part.txt")});
    EXPECT_EQ(std::pair(part.exitCode, unansweredReads(part.err)),
              std::pair(3, QString("GU01 GU08 GU15 GG46 G420C4")));
    const QByteArray partFile = readFile(path("part.txt"));
    EXPECT_EQ(configurationLines(partFile).size(), 34);
    EXPECT_TRUE(partFile.contains("\nSU02\"CRUDE 3") && !partFile.contains("SU01"))
        << partFile.data();
    EXPECT_EQ(runCli(bareCli() + QStringList{"program", path("part.txt")}).exitCode, 1);
    sent.clear();
    EXPECT_EQ(runCli(bareCli() + QStringList{"--partial", "program", path("part.txt")}).exitCode,
              0);
    EXPECT_EQ(sent.count("\r\n"), 34);

    // A file that cannot be written fails the run.
    const CliResult unwritable = runCli(
        dropping.cli + QStringList{"--partial", "read", "--output", path("missing/dir/read.txt")});
    EXPECT_TRUE(unwritable.exitCode == 1 && unwritable.err.contains("missing/dir/read.txt"))
        << unwritable.err.constData();

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
        // the second line is found: it is partly answered, so no whole reply either).
        {115200, "--garble 4", "GLCDT GU02 GU06 GU10 GU14 GG42 GG46 G420C1 G420C5"},
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
        for (const QStringList& pacing : {QStringList{}, QStringList{"--pacing", "reply"}}) {
            SCOPED_TRACE(qPrintable(QString::number(baud) + ' ' + fault + ' ' + pacing.join(' ')));
            SimulatedUnitProcess unit(QStringList{"--state", SiteFile} +
                                          QString(fault).split(' ', Qt::SkipEmptyParts),
                                      baud);
            const CliResult verified = runCli(unit.cli + pacing + QStringList{"verify", SiteFile});
            EXPECT_EQ(verified.exitCode, *unanswered ? 3 : 0) << verified.err.constData();
            EXPECT_EQ(unansweredReads(verified.err), unanswered);
            EXPECT_EQ(verified.out, *unanswered ? QByteArray()
                                                : "unit matches " + QFile::encodeName(SiteFile) +
                                                      ": 39 of 39 lines\n");
        }
    }
}

// SIGTERM while programming a silent unit (30 ms delay units: 24 s in all) cuts the wait
// of the line going out short: the tool lowers RTS, names what it programmed and ends with
// 143, as a shell reports a process the signal ended.
TEST_F(CliEndToEnd, ATerminationSignalStopsAProgramAtItsLineAndNamesWhatWasProgrammed) {
    QProcess cli;
    cli.start(RTU7350_CLI_PROGRAM, QStringList{"--port", wire.slavePath(), "--delay-unit-ms", "30",
                                               "--quiet", "program", SiteFile});
    ASSERT_TRUE(waitUntil([&] { return (sent += wire.readAvailable()).contains("SU00"); }, 30000));
    cli.terminate();
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(std::pair(cli.exitStatus(), cli.exitCode()), std::pair(QProcess::NormalExit, 143));
    EXPECT_EQ(cli.readAllStandardError(),
              "rtu7350-cli: stopped: unit settings programmed; the rest not\n");
}

// Files that program and verify refuse: nothing is sent. Both load their file the same way,
// so each refusal is tried with one of them.
// The site report needs no port, and its PDF no display.
TEST_F(CliEndToEnd, ReportWritesTheSiteAsHtmlAndPdf) {
    for (const char* name : {"site.html", "site.pdf"}) {
        const CliResult result = runCli({"report", SiteFile, "--output", path(name)});
        EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    }
    EXPECT_TRUE(readFile(path("site.html")).contains("ON when level &gt; 180.0 in"));
    EXPECT_TRUE(readFile(path("site.pdf")).startsWith("%PDF"));
}

TEST_F(CliEndToEnd, BadFilesUsageAndPortTroubleSendNothingAndPortsListsTabSeparatedLines) {
    QByteArray placeholder = readFile(SiteFile);
    placeholder.replace("WEST RIDGE LEASE #14", QByteArray(20, '?'));
    const std::pair<const char*, QByteArray> files[] = {
        {"bad.txt", "SPP900\r\nSLCD05R03\r\nSU03\"WATER 1\r\n"},
        {"binary.bin", QByteArray::fromHex("7f454c4602010000fffe0d0a530055").repeated(64)},
        {"placeholder.txt", placeholder}};
    for (const auto& [name, content] : files)
        ASSERT_TRUE(writeFile(path(name), content));
    // Command and file, and the start of the one line that refuses it.
    const std::pair<const char*, QString> cases[] = {
        {"program", "bad.txt: not a whole configuration (missing: SRTCT, SRTCD, SLCDT1, SU00"},
        {"--partial verify", "bad.txt:3: "},
        {"program", "missing.txt: "},
        {"--partial program", "binary.bin: names no record of the unit"},
        {"program", "placeholder.txt:4: the LCD text is the placeholder of a read that got no "}};
    for (const auto& [command, reported] : cases) {
        const CliResult result = runCli(bareCli() + QString(command).split(' ') +
                                        QStringList{path(reported.section(':', 0, 0))});
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_TRUE(result.err.startsWith(("rtu7350-cli: " + path(reported)).toUtf8()))
            << result.err.constData();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    }
    // Lines that load, but not as the program writes them, are named one by one.
    QByteArray hostile = readFile(SiteFile);
    hostile.replace("SPP900", "SPP9e2").replace("\"CRUDE 2", QByteArray("\"CRUDE\0002", 8));
    ASSERT_TRUE(writeFile(path("hostile.txt"), hostile));
    const CliResult hostileRun = runCli(bareCli() + QStringList{"verify", path("hostile.txt")});
    EXPECT_EQ(std::pair(hostileRun.exitCode, hostileRun.err),
              std::pair(1, ("rtu7350-cli: " + path("hostile.txt") +
                            ":5: number with an exponent: 9e2\n"
                            "rtu7350-cli: " +
                            path("hostile.txt") + ":7: control character 0x00 at column 11\n")
                               .toUtf8()));
    EXPECT_TRUE(sent.isEmpty());

    // With --partial exactly the lines a file names go out (the clock only when named or
    // given), in the order of "Program All".
    const QByteArray tankLine = "SU03\"WATER 1   \"L1IT0F1.6700E\r\n";
    ASSERT_TRUE(writeFile(path("tank.txt"), tankLine));
    // Options, file, exit status, lines sent and what they hold.
    const std::tuple<QStringList, const char*, int, int, QByteArray> programs[] = {
        {{}, "tank.txt", 0, 1, tankLine},
        {{"--time", "06:30:00"}, "tank.txt", 0, 3, "SRTCT063000\r\nSRTCD123100\r\n" + tankLine},
        // The placeholder is left out; the file names the clock, so it goes out.
        {{}, "placeholder.txt", 0, 38, "\r\nSLCD05R03\r\nSU00\"CRUDE 1"},
        // A log that cannot be written is told once, and the exit status says so.
        {{"--log", "/dev/full"}, "tank.txt", 5, 1, tankLine}};
    for (const auto& [options, file, exitCode, lines, expected] : programs) {
        sent.clear();
        const CliResult result = runCli(bareCli() + options +
                                        QStringList{"--quiet", "--partial", "program", path(file)});
        EXPECT_EQ(std::pair(result.exitCode, int(result.err.count('\n'))),
                  std::pair(exitCode, exitCode ? 1 : 0));
        EXPECT_TRUE(!exitCode || result.err.startsWith("rtu7350-cli: /dev/full: cannot write the "
                                                       "log: "))
            << result.err.constData();
        EXPECT_EQ(sent.count("\r\n"), lines);
        EXPECT_TRUE(sent.contains(expected)) << sent.constData();
    }
    // A port name without a folder is a link in the current folder when there is one.
    ASSERT_TRUE(QFile::link(wire.slavePath(), path("ttyRTU")));
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    sent.clear();
    const CliResult relative = runCli({"--port", "ttyRTU", "--delay-unit-ms", "1", "--quiet",
                                       "--partial", "program", "tank.txt"});
    QDir::setCurrent(previousDir);
    EXPECT_EQ(std::pair(relative.exitCode, sent), std::pair(0, tankLine));

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
