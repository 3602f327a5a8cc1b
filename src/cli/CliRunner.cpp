#include "cli/CliRunner.h"

#include "app/Session.h"
#include "cli/CliConsole.h"
#include "cli/ConfigurationComparison.h"
#include "cli/LogTerminalScreen.h"
#include "config/ConfigurationFile.h"
#include "serial/PortSelection.h"
#include "serial/QtSerialLibrary.h"
#include "serial/SerialDevices.h"

#include <QFile>
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
    UnitRun(const CliOptions& options, QIODevice& out, QTextStream& err)
        : options_(options), out_(out), err_(err), ui_(err, options.quiet), notifier_(err),
          session_(library_, screen_, ui_, notifier_), filePanel_(notifier_) {
        QObject::connect(&library_, &SerialLibrary::portLost, [this] { portLost_ = true; });
    }

    ~UnitRun() {
        if (session_.link.CurrentPort != NoPort)
            library_.UnInitializePort(session_.link.CurrentPort);
    }

    ExitCode run() {
        if (options_.command == CliCommand::Program)
            return program();
        return options_.command == CliCommand::Verify ? verify() : read();
    }

private:
    ExitCode fail(const QString& line) {
        err_ << "rtu7350-cli: " << line << Qt::endl;
        return ExitCode::Failure;
    }

    ExitCode program() {
        const ReadResult file = readConfigurationFile(options_.file);
        if (!file.error.isEmpty())
            return fail(options_.file + QStringLiteral(": ") + file.error);
        // A truncated or foreign file would otherwise program the defaults over the unit.
        if (const QStringList problems = wholeConfigurationProblems(file.content);
            !problems.isEmpty() && !options_.partial)
            return fail(QStringLiteral("%1: not a whole configuration (%2); --partial "
                                       "programs it anyway")
                            .arg(options_.file, problems.join(QStringLiteral("; "))));
        const LoadResult loaded = LoadConfiguration(file.content, session_.panel, session_.tables);
        if (!loaded.ok)
            return fail(loadFailure(options_.file, loaded));
        session_.panel.setClockAuto(options_.clockAuto);
        if (!options_.clockAuto) {
            session_.panel.setClockTexts(options_.time, options_.date);
        }
        if (!openLog() || !openPort())
            return ExitCode::Failure;
        const bool completed = session_.commands.programAll();
        if (portLost_)
            return fail(QStringLiteral("%1: port lost while programming; the unit is only "
                                       "partly programmed")
                            .arg(options_.port));
        if (!completed)
            return fail(QStringLiteral("program stopped: %1").arg(session_.exchange.lastError()));
        return ExitCode::Success;
    }

    ExitCode read() {
        if (!openLog() || !openPort())
            return ExitCode::Failure;
        ReadReport report;
        if (!readUnit(report))
            return ExitCode::Failure;
        const QByteArray configuration = WriteConfiguration(session_.panel, session_.tables);
        if (options_.output.isEmpty()) {
            out_.write(configuration);
        } else if (const QString reason =
                       saveConfigurationFile(options_.output, session_.panel, session_.tables);
                   !reason.isEmpty()) {
            return fail(QStringLiteral("%1: %2").arg(options_.output, reason));
        }
        return reportUnanswered(report) ? ExitCode::Unanswered : ExitCode::Success;
    }

    ExitCode verify() {
        ConfigurationSnapshot file;
        SetAllDefaults(file.tables);
        const LoadResult loaded = loadConfigurationFile(options_.file, filePanel_, file.tables);
        if (!loaded.ok)
            return fail(loadFailure(options_.file, loaded));
        file.unit = unitWideValues(filePanel_);

        if (!openLog() || !openPort())
            return ExitCode::Failure;
        ReadReport report;
        if (!readUnit(report))
            return ExitCode::Failure;
        const ConfigurationSnapshot unit{unitWideValues(session_.panel), session_.tables};
        const QStringList differences = configurationDifferences(file, unit, unread(report));
        for (const QString& line : differences)
            out_.write(line.toLocal8Bit() + '\n');
        if (reportUnanswered(report))
            return ExitCode::Unanswered;
        return differences.isEmpty() ? ExitCode::Success : ExitCode::Differs;
    }

    // Read All; false (after saying why) when the run cannot give a configuration.
    bool readUnit(ReadReport& report) {
        const bool completed = session_.commands.readAll(&report);
        if (portLost_) {
            fail(QStringLiteral("%1: port lost while reading the unit").arg(options_.port));
            return false;
        }
        if (!completed)
            err_ << "rtu7350-cli: read stopped: " << session_.exchange.lastError() << Qt::endl;
        return true;
    }

    // The reads whose values are not the unit's: unanswered or taken only in part.
    static QStringList unread(const ReadReport& report) {
        QStringList lines;
        for (const QString& line : report.unanswered + report.partlyAnswered)
            lines.append(line.trimmed());
        return lines;
    }

    // Names the reads that got no usable reply or were taken only in part; true when there
    // were any.
    bool reportUnanswered(const ReadReport& report) {
        if (report.complete())
            return false;
        if (!report.unanswered.isEmpty())
            err_ << "rtu7350-cli: no reply to " << report.unanswered.size() << " of "
                 << UnitCommands::WholeUnitLineCount << " reads: " << report.unanswered.join(u' ')
                 << Qt::endl;
        for (const QString& line : report.partlyAnswered)
            err_ << "rtu7350-cli: " << line << " answered only in part, kept "
                 << report.kept.value(line).join(QStringLiteral(", ")) << Qt::endl;
        if (!report.cutOff.isEmpty())
            err_ << "rtu7350-cli: replies are arriving after the wait: choose a longer "
                    "--delay-unit-ms or --pacing reply"
                 << Qt::endl;
        return true;
    }

    bool openLog() {
        if (options_.log.isEmpty())
            return true;
        logFile_.setFileName(options_.log);
        if (!logFile_.open(QIODevice::WriteOnly | QIODevice::Append)) {
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
        library_.setPacing(options_.replyPacing ? QtSerialLibrary::Pacing::UntilReply
                                                : QtSerialLibrary::Pacing::FixedDelays,
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
    ProgressBatchUi ui_;
    StreamNotifier notifier_;
    QtSerialLibrary library_;
    Session session_;
    NoPortMenus menus_;
    PortSelection ports_{library_, session_.link, screen_, menus_};
    UnitSettingsPanel filePanel_; // verify: the file's unit-wide settings
    bool portLost_ = false;
};

} // namespace

ExitCode runCommand(const CliOptions& options, QIODevice& out, QTextStream& err) {
    if (options.command == CliCommand::Ports)
        return printPorts(out);
    UnitRun run(options, out, err);
    return run.run();
}

} // namespace rtu
