#include "cli/CliRunner.h"

#include "app/PortSelection.h"
#include "app/Session.h"
#include "app/UnitComparison.h"
#include "app/UnitDifferences.h"
#include "app/WorkRecordFile.h"
#include "cli/CliConsole.h"
#include "cli/CliReport.h"
#include "cli/LogTerminalScreen.h"
#include "cli/PortList.h"
#include "cli/RecordCommand.h"
#include "cli/RunReport.h"
#include "cli/SignalStop.h"
#include "cli/UnitFile.h"
#include "config/ConfigurationFile.h"
#include "config/WholeFile.h"
#include "protocol/RecordReads.h"
#include "serial/SerialDevices.h"

#include <QFile>
#include <QTextStream>

namespace rtu {

namespace {

// The tool always drives the library's first port, mapped to the device the user named.
constexpr PortId CliPort = 0;

// One line per difference: "tank 05 (TANK 06) factor: file 1.67, unit 2.5".
QString differenceLines(const QList<FieldDifference>& differences) {
    QString lines;
    for (const FieldDifference& difference : differences)
        lines += QStringLiteral("%1: file %2, unit %3\n")
                     .arg(difference.field, difference.inProgram, difference.inUnit);
    return lines;
}

// One program, read or verify run: a session on the named port, with the log and the
// console reporting wired in.
class UnitRun {
public:
    UnitRun(const CliOptions& options, SerialLibrary& library, QIODevice& out, QTextStream& err)
        : options_(options), out_(out), err_(err), ui_(err, options.quiet), notifier_(err),
          library_(library), session_(library_, screen_, ui_, notifier_) {
        // The library outlives the run; the port selection ends with it.
        QObject::connect(&library_, &SerialLibrary::portLost, &ports_,
                         [this] { portLost_ = true; });
        QObject::connect(&session_.exchange, &Exchange::lineSent, &ports_,
                         [this](const QString& line) {
                             report_.noteSent(line);
                             setLinesSent_ += line.startsWith(u'S') ? 1 : 0;
                         });
        if (!options.noRecord)
            session_.record.setFolder(WorkRecordFile::defaultFolder(),
                                      QStringLiteral(RTU7350_VERSION));
    }

    ~UnitRun() {
        if (session_.link.CurrentPort != NoPort)
            library_.UnInitializePort(session_.link.CurrentPort);
    }

    ExitCode run() {
        const ExitCode code = runCommand();
        // The command's work is done either way: a record that could not be written is only
        // said.
        if (const QString notice = session_.record.noticeOnce(); !notice.isEmpty())
            err_ << "rtu7350-cli: " << notice << Qt::endl;
        const ExitCode outcome = withLogOutcome(code);
        if (options_.json)
            out_.write(report_.document(outcome));
        return outcome;
    }

private:
    ExitCode runCommand() {
        if (options_.command == CliCommand::Program)
            return program();
        return options_.command == CliCommand::Verify ? verify() : read();
    }

    ExitCode fail(const QString& line) {
        err_ << "rtu7350-cli: " << line << Qt::endl;
        return ExitCode::Failure;
    }

    // A log that lost traffic is told once, at the end; the exit status says so when the
    // command itself went well.
    ExitCode withLogOutcome(ExitCode code) {
        const QString error = screen_.logError();
        if (error.isEmpty())
            return code;
        err_ << "rtu7350-cli: " << options_.log << ": cannot write the log: " << error
             << "; it lacks the traffic from there on" << Qt::endl;
        return code == ExitCode::Success ? ExitCode::LogFailed : code;
    }

    // Loads FILE for program or verify and gives the records to send or compare; false
    // after naming every refusal.
    bool loadFile(UnitSettings& settings, RecordTables& tables, QStringList& records) {
        const QStringList refusals =
            loadUnitFile(options_.file, options_.partial, settings, tables, records);
        for (const QString& refusal : refusals)
            fail(refusal);
        return refusals.isEmpty();
    }

    bool refuse(const QString& reason) {
        fail(options_.file + QStringLiteral(": ") + reason);
        return false;
    }

    ExitCode program() {
        QStringList records;
        UnitSettingsModel& settings = session_.settings;
        const bool loaded = loadFile(settings.storedValues(), session_.tables, records);
        settings.publish();
        if (!loaded)
            return ExitCode::Failure;
        settings.setClockFromPc(options_.clockAuto);
        if (!options_.clockAuto) {
            settings.setClockText(ClockBox::Time, options_.time);
            settings.setClockText(ClockBox::Date, options_.date);
        }
        if (options_.clockGiven) {
            records << QStringLiteral("SRTCT") << QStringLiteral("SRTCD");
            records.removeDuplicates(); // the file may name the clock too
        }
        if (!openLog() || !openPort())
            return ExitCode::Failure;
        if (options_.changes)
            return programChanges();
        const int planned =
            options_.partial ? int(records.size()) : UnitCommands::WholeUnitLineCount;
        const bool completed = stop_.during([&] {
            return options_.partial ? session_.commands.programListed(records)
                                    : session_.commands.programAll();
        });
        session_.record.programmed(options_.partial ? QStringLiteral("Program")
                                                    : QStringLiteral("Program All"),
                                   options_.partial ? records : configurationRecords(), completed);
        if (stop_.stopped())
            return stop_.report(err_, QStringLiteral("programmed"), planned);
        if (portLost_)
            return fail(QStringLiteral("%1: port lost while programming; the unit is only "
                                       "partly programmed")
                            .arg(options_.port));
        if (!completed)
            return fail(QStringLiteral("program stopped: %1").arg(session_.exchange.lastError()));
        return ExitCode::Success;
    }

    // The unit is read and compared first; only the records that differ go out, and are read
    // back. The clock is never compared (it runs on): it goes out only when asked for.
    ExitCode programChanges() {
        UnitDifferences unit(session_);
        const QStringList planned = session_.commands.wholeUnitReadLines();
        if (!stop_.during([&] { return unit.compare(); }) || portLost_)
            return stop_.stopped() ? readFailure(planned) : linkFailure(QStringLiteral("reading"));
        const bool wholeRead = unit.lastRead().complete();
        if (!wholeRead)
            reportUnread(planned, unit.lastRead());
        report_.noteDifferences(QStringLiteral("differences"), unit.comparison().differences);
        err_ << differenceLines(unit.comparison().differences);
        // Asked for, the clock goes out in a batch of its own, first.
        const QStringList clock{QStringLiteral("SRTCT"), QStringLiteral("SRTCD")};
        if (options_.clockGiven && (!programClock(clock) || portLost_))
            return stop_.stopped() ? stop_.report(err_, QStringLiteral("programmed"), 2)
                                   : linkFailure(QStringLiteral("programming the clock"));
        const QStringList records = unit.recordsToProgram();
        if (records.isEmpty()) {
            err_ << "rtu7350-cli: "
                 << (options_.clockGiven ? "only the clock sent" : "nothing to send")
                 << ": the unit matches " << options_.file
                 << (wholeRead ? "" : " as far as it answered") << Qt::endl;
            return wholeRead ? ExitCode::Success : ExitCode::Unanswered;
        }
        const int setLinesBefore = setLinesSent_;
        if (!stop_.during([&] { return unit.programDifferences(); }) || portLost_) {
            if (!stop_.stopped())
                return linkFailure(QStringLiteral("programming"));
            if (setLinesSent_ - setLinesBefore < records.size())
                return stop_.report(err_, QStringLiteral("programmed"), int(records.size()));
            err_ << "rtu7350-cli: the " << records.size() << " differing records programmed"
                 << Qt::endl;
            return stop_.report(err_, QStringLiteral("read back"),
                                int(readLinesOf(records).size()));
        }
        const QList<FieldDifference>& still = unit.comparison().differences;
        report_.noteDifferences(QStringLiteral("stillDiffering"), still);
        if (!still.isEmpty())
            err_ << "rtu7350-cli: read back, these still differ:\n" << differenceLines(still);
        const bool wholeReadBack = unit.lastRead().complete();
        if (!wholeReadBack)
            reportUnread(readLinesOf(records), unit.lastRead());
        else if (still.isEmpty())
            err_ << "rtu7350-cli: " << records.size()
                 << (records.size() == 1 ? " differing record" : " differing records")
                 << " sent and read back: the unit matches " << options_.file
                 << (wholeRead ? "" : " as far as it answered") << Qt::endl;
        // As with verify, unanswered reads go before differences.
        if (!wholeRead || !wholeReadBack)
            return ExitCode::Unanswered;
        return still.isEmpty() ? ExitCode::Success : ExitCode::Differs;
    }

    bool programClock(const QStringList& clock) {
        const bool completed = stop_.during([&] { return session_.commands.programListed(clock); });
        session_.record.programmed(QStringLiteral("Program"), clock, completed);
        return completed;
    }

    ExitCode linkFailure(const QString& doing) {
        if (portLost_)
            return fail(QStringLiteral("%1: port lost while %2").arg(options_.port, doing));
        return fail(
            QStringLiteral("stopped while %1: %2").arg(doing, session_.exchange.lastError()));
    }

    // A configuration goes out only as far as it was read: a backup must never be replaced
    // by defaults and placeholders.
    ExitCode read() {
        if (!openLog() || !openPort())
            return ExitCode::Failure;
        ReadReport report;
        const QStringList planned = session_.commands.wholeUnitReadLines();
        if (!readUnit(planned, report))
            return readFailure(planned);
        const bool whole = report.complete();
        if (!whole)
            reportUnread(planned, report);
        const QStringList records = recordsRead(report.answered);
        if (!whole && !options_.partial) {
            err_ << "rtu7350-cli: nothing written: not every read got a whole reply; --partial "
                    "writes the records that did"
                 << Qt::endl;
            return ExitCode::Unanswered;
        }
        if (records.isEmpty()) {
            err_ << "rtu7350-cli: nothing written: no record was read" << Qt::endl;
            return ExitCode::Unanswered;
        }
        if (!writeOutput(WriteConfiguration(session_.settings.values(), session_.tables, records)))
            return ExitCode::Failure;
        return whole ? ExitCode::Success : ExitCode::Unanswered;
    }

    bool writeOutput(const QByteArray& configuration) {
        if (!options_.output.isEmpty()) {
            const QString reason = writeWholeFile(options_.output, configuration);
            if (!reason.isEmpty())
                fail(reason);
            return reason.isEmpty();
        }
        if (options_.json) {
            report_.noteConfiguration(configuration);
            return true;
        }
        auto* file = qobject_cast<QFileDevice*>(&out_);
        if (out_.write(configuration) == configuration.size() && (!file || file->flush()))
            return true;
        fail(QStringLiteral("cannot write to standard output: ") + out_.errorString());
        return false;
    }

    ExitCode verify() {
        UnitConfiguration file;
        SetAllDefaults(file.tables);
        QStringList records;
        if (!loadFile(file.settings, file.tables, records))
            return ExitCode::Failure;
        QStringList compared = records;
        compared.removeIf(isClockRecord);
        if (compared.isEmpty()) {
            refuse(QStringLiteral("names only the clock, which runs on and is never compared"));
            return ExitCode::Failure;
        }

        if (!openLog() || !openPort())
            return ExitCode::Failure;
        ReadReport report;
        const QStringList planned =
            options_.partial ? readLinesOf(compared) : session_.commands.wholeUnitReadLines();
        if (!readUnit(planned, report))
            return readFailure(planned);
        const QList<FieldDifference> differences =
            compareWithUnit(file, {session_.settings.values(), session_.tables}, report, compared)
                .differences;
        report_.noteDifferences(QStringLiteral("differences"), differences);
        printResult(differenceLines(differences));
        if (!report.complete()) {
            reportUnread(planned, report);
            return ExitCode::Unanswered;
        }
        if (!differences.isEmpty())
            return ExitCode::Differs;
        printResult(QStringLiteral("unit matches %1: %2 of %3 lines\n")
                        .arg(options_.file)
                        .arg(records.size())
                        .arg(UnitCommands::WholeUnitLineCount));
        return ExitCode::Success;
    }

    // A result line (verify's): on standard output, or beside the progress when standard
    // output carries the --json document.
    void printResult(const QString& text) {
        if (options_.json)
            err_ << text << Qt::flush;
        else
            out_.write(text.toLocal8Bit());
    }

    // The reads `planned` lists, in the order of "Read All"; false (after saying why) when
    // the run cannot give a configuration.
    bool readUnit(const QStringList& planned, ReadReport& report) {
        const bool completed =
            stop_.during([&] { return session_.commands.readListed(planned, &report); });
        session_.record.read(options_.command == CliCommand::Verify ? QStringLiteral("Compare")
                                                                    : QStringLiteral("Read All"),
                             report);
        if (stop_.stopped())
            return false;
        if (portLost_) {
            fail(QStringLiteral("%1: port lost while reading the unit").arg(options_.port));
            return false;
        }
        if (!completed)
            err_ << "rtu7350-cli: read stopped: " << session_.exchange.lastError() << Qt::endl;
        return true;
    }

    // A read stopped by a signal gives no configuration, but says how far it got.
    ExitCode readFailure(const QStringList& planned) {
        return stop_.stopped() ? stop_.report(err_, QStringLiteral("read"), int(planned.size()))
                               : ExitCode::Failure;
    }

    // Names the reads of `planned` that got no reply or only part of one.
    void reportUnread(const QStringList& planned, const ReadReport& report) {
        QStringList unread = planned;
        unread.removeIf([&report](const QString& line) { return report.answered.contains(line); });
        report_.noteUnanswered(unread);
        err_ << "rtu7350-cli: no whole reply to " << unread.size() << " of " << planned.size()
             << " reads: " << unread.join(u' ') << Qt::endl;
        for (const QString& line : report.partlyAnswered)
            err_ << "rtu7350-cli: " << line << " answered only in part, kept "
                 << report.kept.value(line).join(QStringLiteral(", ")) << Qt::endl;
        if (!report.cutOff.isEmpty())
            err_ << "rtu7350-cli: replies are arriving after the wait: choose a longer "
                    "--delay-unit-ms or --pacing reply"
                 << Qt::endl;
    }

    bool openLog() {
        if (options_.log.isEmpty())
            return true;
        const QString error = TrafficLogFile::open(logFile_, options_.log);
        if (!error.isEmpty()) {
            fail(error);
            return false;
        }
        screen_.setLog(&logFile_);
        return true;
    }

    // Opens the port as the desktop program's "Set Port Number" does (the same status line
    // on the log), then applies the line settings of the options.
    bool openPort() {
        library_.setDevice(CliPort, options_.port);
        library_.setDelayUnitOverride(options_.delayUnitMs);
        library_.setPacing(options_.replyPacing ? Pacing::UntilReply : Pacing::FixedDelays,
                           options_.replyTimeoutMs);
        ports_.SelectPort(CliPort);
        if (session_.link.CurrentPort == NoPort) {
            fail(QStringLiteral("%1: cannot open the port: %2")
                     .arg(options_.port, describeOpenError(library_.lastOpenError(CliPort),
                                                           existingPortsAdvice())));
            return false;
        }
        PortParameterBlock& record = session_.link.PortRecord;
        record.setBaudCode(options_.baudCode);
        record.setParityCode(options_.parityCode);
        record.setLengthCode(options_.lengthCode);
        record.setStopBitsCode(options_.stopBitsCode);
        record.setProtocolCode(DefaultProtocolCode);
        if (!ports_.ApplyLineSettings()) {
            fail(QStringLiteral("%1: the port refused %2 baud, %3 data bits, parity code %4, "
                                "%5 stop bits")
                     .arg(options_.port)
                     .arg(options_.baudRate)
                     .arg(options_.lengthCode + 5)
                     .arg(options_.parityCode)
                     .arg(options_.stopBitsCode + 1));
            return false;
        }
        library_.RtsOff(CliPort);
        return true;
    }

    const CliOptions& options_;
    QIODevice& out_;
    QTextStream& err_;
    QFile logFile_;
    LogTerminalScreen screen_;
    BatchProgress ui_;
    StreamNotifier notifier_;
    SerialLibrary& library_;
    Session session_;
    NoPortMenus menus_;
    PortSelection ports_{library_, session_.link, screen_, menus_};
    SignalStop stop_{session_.exchange};
    bool portLost_ = false;
    RunReport report_{options_};
    int setLinesSent_ = 0; // the "S" lines sent so far
};

} // namespace

ExitCode runCommand(const CliOptions& options, SerialLibrary& library, QIODevice& out,
                    QTextStream& err) {
    if (options.command == CliCommand::Ports)
        return printPorts(out);
    if (options.command == CliCommand::Report)
        return writeSiteReport(options, err);
    if (options.command == CliCommand::Record)
        return printRecord(options, WorkRecordFile::defaultFolder(), out, err);
    UnitRun run(options, library, out, err);
    return run.run();
}

} // namespace rtu
