#include "cli/CliRunner.h"

#include "app/PortSelection.h"
#include "app/Session.h"
#include "app/UnitComparison.h"
#include "app/WorkRecordFile.h"
#include "cli/CliConsole.h"
#include "cli/LogTerminalScreen.h"
#include "cli/RecordCommand.h"
#include "cli/SignalStop.h"
#include "config/ConfigurationFile.h"
#include "config/WholeFile.h"
#include "protocol/RecordReads.h"
#include "serial/SerialDevices.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace rtu {

namespace {

// The tool always drives the library's first port, mapped to the device the user named.
constexpr PortId CliPort = 0;

QString loadFailure(const QString& path, const LoadResult& result) {
    return result.lineNumber > 0
               ? QStringLiteral("%1:%2: %3").arg(path).arg(result.lineNumber).arg(result.reason)
               : QStringLiteral("%1: %2").arg(path, result.reason);
}

// One line per port: the device, its stable name (empty when it has none), description,
// manufacturer and serial number, separated by tabs.
ExitCode printPorts(QIODevice& out) {
    for (const SerialPortEntry& port : listPorts()) {
        const QStringList fields{port.device, port.stableName, port.description, port.manufacturer,
                                 port.serialNumber};
        out.write(fields.join(u'\t').toLocal8Bit() + '\n');
    }
    return ExitCode::Success;
}

// What to do about a device that does not exist: name one that does.
QString existingPortsAdvice() {
    QStringList names;
    for (const SerialPortEntry& port : listPorts()) {
        names << (port.stableName.isEmpty()
                      ? port.device
                      : QStringLiteral("%1 (%2)").arg(port.device, port.stableName));
    }
    return names.isEmpty() ? QStringLiteral("no serial ports found, plug the adapter in")
                           : QStringLiteral("the serial ports here: %1").arg(names.join(", "));
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
        return withLogOutcome(code);
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
    // (after saying why) for a file that cannot be read or loaded, one that is not a whole
    // configuration or holds a placeholder (unless --partial), one with lines that load but
    // not as the program writes them, and one that names no record.
    bool loadFile(UnitSettings& settings, RecordTables& tables, QStringList& records) {
        const ReadResult file = readConfigurationFile(options_.file);
        if (!file.error.isEmpty())
            return refuse(file.error);
        // A truncated or foreign file would otherwise set the defaults in the unit.
        if (const QStringList problems = wholeConfigurationProblems(file.content);
            !problems.isEmpty() && !options_.partial)
            return refuse(QStringLiteral("not a whole configuration (%1); --partial takes only "
                                         "the records it names")
                              .arg(problems.join(QStringLiteral("; "))));
        const LoadResult loaded = LoadConfiguration(file.content, settings, tables);
        if (!loaded.ok) {
            fail(loadFailure(options_.file, loaded));
            return false;
        }
        // A line that loads, but not as the program writes it, would send the unit what its
        // writer never meant (an exponent cut to its mantissa, a NUL in a label).
        if (const QStringList refusals = loadRefusals(options_.file, loaded); !refusals.isEmpty()) {
            for (const QString& refusal : refusals)
                fail(refusal);
            return false;
        }
        records = loaded.records;
        records.removeDuplicates();
        // What a read without a reply left in the boxes is no setting of the unit.
        for (const int line : placeholderLines(file.content)) {
            if (!options_.partial) {
                fail(QStringLiteral("%1:%2: the LCD text is the placeholder of a read that got no "
                                    "reply (20 question marks); --partial leaves the line out")
                         .arg(options_.file)
                         .arg(line));
                return false;
            }
            records.removeAll(QStringLiteral("SLCDT1"));
        }
        return !records.isEmpty() || refuse(QStringLiteral("names no record of the unit"));
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
        for (const FieldDifference& difference : differences)
            out_.write(QStringLiteral("%1: file %2, unit %3\n")
                           .arg(difference.field, difference.inProgram, difference.inUnit)
                           .toLocal8Bit());
        if (!report.complete()) {
            reportUnread(planned, report);
            return ExitCode::Unanswered;
        }
        if (!differences.isEmpty())
            return ExitCode::Differs;
        out_.write(QStringLiteral("unit matches %1: %2 of %3 lines\n")
                       .arg(options_.file)
                       .arg(records.size())
                       .arg(UnitCommands::WholeUnitLineCount)
                       .toLocal8Bit());
        return ExitCode::Success;
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
        logFile_.setFileName(options_.log);
        // A file is appended to; a device or a pipe (/dev/stderr) cannot seek to its end.
        const QFileInfo target(options_.log);
        const bool appendable = !target.exists() || target.isFile();
        if (!logFile_.open(appendable ? QIODevice::WriteOnly | QIODevice::Append
                                      : QIODevice::WriteOnly)) {
            fail(QStringLiteral("%1: %2").arg(options_.log, logFile_.errorString()));
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
};

} // namespace

ExitCode runCommand(const CliOptions& options, SerialLibrary& library, QIODevice& out,
                    QTextStream& err) {
    if (options.command == CliCommand::Ports)
        return printPorts(out);
    if (options.command == CliCommand::Record)
        return printRecord(options, WorkRecordFile::defaultFolder(), out, err);
    UnitRun run(options, library, out, err);
    return run.run();
}

} // namespace rtu
