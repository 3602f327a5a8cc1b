#include "cli/CliOptions.h"

#include "app/SiteReport.h"
#include "serial/LineCodes.h"
#include "serial/SerialLibrary.h"

#include <QCommandLineParser>
#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <array>
#include <utility>

#ifndef RTU7350_VERSION
#define RTU7350_VERSION "unknown"
#endif

namespace rtu {

namespace {

const char* const UsageText =
    "Usage:\n"
    "  rtu7350-cli --port DEVICE [options] program [--changes] FILE\n"
    "  rtu7350-cli --port DEVICE [options] read [--output FILE]\n"
    "  rtu7350-cli --port DEVICE [options] verify FILE\n"
    "  rtu7350-cli ports\n"
    "  rtu7350-cli report FILE --output REPORT.html|REPORT.pdf|REPORT.png\n"
    "  rtu7350-cli record [--since YYYY-MM-DD] [--json]\n"
    "\n"
    "Programs a Model 7350 Terminal Unit from a configuration file, reads its configuration\n"
    "back, compares it with a file, or lists the serial ports. report writes the site report\n"
    "of a configuration file: HTML, PDF, or a PNG picture of its first page.\n"
    "\n"
    "Options:\n"
    "  --port DEVICE        serial device (/dev/ttyUSB0, /dev/pts/3, COM3); a name without\n"
    "                       a folder is the file of that name in the current folder when\n"
    "                       there is one, else a port name (ttyUSB0 is /dev/ttyUSB0)\n"
    "  --baud RATE          110 150 300 600 1200 2400 4800 9600 19200 38400 57600 115200\n"
    "                       (default 9600)\n"
    "  --parity P           none|odd|even|mark|space (default none)\n"
    "  --data-bits N        5|6|7|8 (default 8)\n"
    "  --stop-bits N        1|2 (default 1)\n"
    "  --clock MODE         auto|manual (default auto): program sends the PC clock, or\n"
    "                       --time/--date (either of them implies manual)\n"
    "  --time HH:MM:SS      manual clock time (default 12:00:00)\n"
    "  --date MM/DD/YYYY    manual clock date (default 12/31/2000)\n"
    "  --delay-unit-ms MS   length of one settle-delay unit (default: derived from the line\n"
    "                       speed)\n"
    "  --pacing MODE        fixed|reply (default fixed): after a read line wait the whole\n"
    "                       settle delay, or only until its reply is in\n"
    "  --reply-timeout-ms MS\n"
    "                       reply pacing: the longest wait for a reply (default: the settle\n"
    "                       delay), for slow links\n"
    "  --output FILE        read: write the configuration file there (default: standard\n"
    "                       output); report: the report's file, its suffix names the format\n"
    "  --log FILE           append every line sent and every byte received, as the terminal\n"
    "                       window shows them\n"
    "  --partial            program: send only the records FILE names (the clock only when\n"
    "                       FILE names it or --clock/--time/--date is given); verify:\n"
    "                       compare only those; read: write the records read in full, when\n"
    "                       some reads got no whole reply\n"
    "  --changes            program: read the unit first and send only the records that\n"
    "                       differ from FILE, then read them back (the clock only when\n"
    "                       --clock/--time/--date is given)\n"
    "  --json               program, read, verify: one JSON document on standard output\n"
    "                       (action, port, lines sent, unanswered reads, differences,\n"
    "                       exit status); the text goes to standard error; record: the\n"
    "                       lines as a JSON array\n"
    "  --quiet              no progress on standard error\n"
    "  --no-record          program, read, verify: add no line to the work record\n"
    "  --since YYYY-MM-DD   record: from that day on (default: all of it)\n"
    "  --help, --version\n"
    "\n"
    "Exit status: 0 done, 1 port/file/link failure, 2 usage error, 3 some reads unanswered,\n"
    "4 verify found differences (program --changes: after the read-back), 5 done but the\n"
    "--log file could not be written, 129/130/143 stopped by SIGHUP/SIGINT/SIGTERM.\n";

// Longest wait for one reply accepted.
constexpr int MaxReplyTimeoutMs = 30000;

// --parity names in the order of the parity menu: mark and space are its sticky entries.
constexpr std::array<const char*, 5> ParityNames{"none", "odd", "even", "mark", "space"};

struct CommandWord {
    const char* name;
    CliCommand command;
    bool needsFile;
};
constexpr std::array<CommandWord, 6> Commands{{{"program", CliCommand::Program, true},
                                               {"read", CliCommand::Read, false},
                                               {"verify", CliCommand::Verify, true},
                                               {"ports", CliCommand::Ports, false},
                                               {"report", CliCommand::Report, true},
                                               {"record", CliCommand::Record, false}}};

// An integer option value in plain decimal digits, whatever the locale.
std::optional<int> decimalInteger(const QString& text) {
    bool ok = false;
    const int value = QLocale::c().toInt(text, &ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString readLineSettings(const QCommandLineParser& parser, CliOptions& options) {
    const auto rate = decimalInteger(parser.value("baud"));
    const auto baudCode = rate ? baudCodeForRate(*rate) : std::nullopt;
    if (!baudCode)
        return QStringLiteral("--baud: unsupported rate '%1'").arg(parser.value("baud"));
    options.baudRate = *rate;
    options.baudCode = *baudCode;

    const QString parity = parser.value("parity").toLower();
    const auto parityIt = std::find(ParityNames.begin(), ParityNames.end(), parity);
    if (parityIt == ParityNames.end())
        return QStringLiteral("--parity: expected none, odd, even, mark or space, not '%1'")
            .arg(parser.value("parity"));
    options.parityCode = static_cast<std::int16_t>(parityIt - ParityNames.begin());

    const auto dataBits = decimalInteger(parser.value("data-bits"));
    if (!dataBits || *dataBits < 5 || *dataBits > 8)
        return QStringLiteral("--data-bits: expected 5, 6, 7 or 8, not '%1'")
            .arg(parser.value("data-bits"));
    options.lengthCode = static_cast<std::int16_t>(*dataBits - 5);

    const auto stopBits = decimalInteger(parser.value("stop-bits"));
    if (!stopBits || (*stopBits != 1 && *stopBits != 2))
        return QStringLiteral("--stop-bits: expected 1 or 2, not '%1'")
            .arg(parser.value("stop-bits"));
    options.stopBitsCode = static_cast<std::int16_t>(*stopBits - 1);
    return {};
}

bool isClockTime(const QString& text) {
    static const QRegularExpression shape(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    return shape.match(text).hasMatch() &&
           QTime::fromString(text, QStringLiteral("HH:mm:ss")).isValid();
}

// The unit keeps a two-digit year and the date box takes years up to 2099.
bool isClockDate(const QString& text) {
    static const QRegularExpression shape(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d\\d\\d$"));
    if (!shape.match(text).hasMatch())
        return false;
    const QDate date = QDate::fromString(text, QStringLiteral("MM/dd/yyyy"));
    return date.isValid() && date.year() <= 2099;
}

QString readClock(const QCommandLineParser& parser, CliOptions& options) {
    const bool manualFields = parser.isSet("time") || parser.isSet("date");
    const QString mode = parser.isSet("clock") ? parser.value("clock").toLower()
                                               : QString(manualFields ? "manual" : "auto");
    if (mode != "auto" && mode != "manual")
        return QStringLiteral("--clock: expected auto or manual, not '%1'")
            .arg(parser.value("clock"));
    if (mode == "auto" && manualFields)
        return QStringLiteral("--time and --date need --clock manual");
    options.clockAuto = mode == "auto";
    options.clockGiven = parser.isSet("clock") || manualFields;
    if (parser.isSet("time")) {
        if (!isClockTime(parser.value("time")))
            return QStringLiteral("--time: expected HH:MM:SS, not '%1'").arg(parser.value("time"));
        options.time = parser.value("time");
    }
    if (parser.isSet("date")) {
        if (!isClockDate(parser.value("date")))
            return QStringLiteral("--date: expected MM/DD/YYYY, not '%1'")
                .arg(parser.value("date"));
        options.date = parser.value("date");
    }
    return {};
}

QString readDelayUnit(const QCommandLineParser& parser, CliOptions& options) {
    if (!parser.isSet("delay-unit-ms"))
        return {};
    bool ok = false;
    const double ms = QLocale::c().toDouble(parser.value("delay-unit-ms"), &ok);
    if (!ok || !(ms > 0.0) || ms > SerialLibrary::MaxDelayUnitMs)
        return QStringLiteral("--delay-unit-ms: expected a number of milliseconds above 0 and "
                              "at most %1, not '%2'")
            .arg(SerialLibrary::MaxDelayUnitMs)
            .arg(parser.value("delay-unit-ms"));
    options.delayUnitMs = ms;
    return {};
}

QString readPacing(const QCommandLineParser& parser, CliOptions& options) {
    const QString pacing = parser.value("pacing").toLower();
    if (pacing != "fixed" && pacing != "reply")
        return QStringLiteral("--pacing: expected fixed or reply, not '%1'")
            .arg(parser.value("pacing"));
    options.replyPacing = pacing == "reply";
    if (!parser.isSet("reply-timeout-ms"))
        return {};
    if (!options.replyPacing)
        return QStringLiteral("--reply-timeout-ms needs --pacing reply");
    const auto ms = decimalInteger(parser.value("reply-timeout-ms"));
    if (!ms || *ms <= 0 || *ms > MaxReplyTimeoutMs)
        return QStringLiteral("--reply-timeout-ms: expected a whole number of milliseconds above "
                              "0 and at most %1, not '%2'")
            .arg(MaxReplyTimeoutMs)
            .arg(parser.value("reply-timeout-ms"));
    options.replyTimeoutMs = *ms;
    return {};
}

QString readRecordOptions(const QCommandLineParser& parser, CliOptions& options) {
    options.noRecord = parser.isSet("no-record");
    if (parser.isSet("since") && options.command != CliCommand::Record)
        return QStringLiteral("--since belongs to the record command");
    if (!parser.isSet("since"))
        return {};
    options.since = QDate::fromString(parser.value("since"), Qt::ISODate);
    if (!options.since.isValid())
        return QStringLiteral("--since: expected YYYY-MM-DD, not '%1'").arg(parser.value("since"));
    return {};
}

QString readCommand(const QCommandLineParser& parser, CliOptions& options) {
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return QStringLiteral("missing command: program, read, verify, ports, report or record");
    const auto known = std::find_if(Commands.begin(), Commands.end(),
                                    [&](const CommandWord& c) { return words[0] == c.name; });
    if (known == Commands.end())
        return QStringLiteral("unknown command '%1'").arg(words[0]);
    const int expectedWords = known->needsFile ? 2 : 1;
    if (words.size() < expectedWords)
        return QStringLiteral("%1: missing FILE").arg(words[0]);
    if (words.size() > expectedWords)
        return QStringLiteral("%1: unexpected argument '%2'").arg(words[0], words[expectedWords]);
    options.command = known->command;
    if (known->needsFile)
        options.file = words[1];

    const bool report = options.command == CliCommand::Report;
    const bool needsPort =
        options.command != CliCommand::Ports && !report && options.command != CliCommand::Record;
    if (needsPort && parser.value("port").isEmpty())
        return QStringLiteral("%1 needs --port DEVICE").arg(words[0]);
    options.port = parser.value("port");
    if (parser.isSet("output") && options.command != CliCommand::Read && !report)
        return QStringLiteral("--output belongs to the read and report commands");
    options.output = parser.value("output");
    if (parser.isSet("output") && options.output.isEmpty())
        return QStringLiteral("--output: empty file name");
    if (report && !SiteReport::writes(options.output))
        return QStringLiteral("report needs --output FILE.html, FILE.pdf or FILE.png");
    return {};
}

// Needs the command and --partial read first.
QString readReportOptions(const QCommandLineParser& parser, CliOptions& options) {
    options.changes = parser.isSet("changes");
    options.json = parser.isSet("json");
    if (options.changes && options.command != CliCommand::Program)
        return QStringLiteral("--changes belongs to the program command");
    // The comparison covers the whole unit: the records a partial file leaves out would
    // count as differing from their defaults and be programmed with them.
    if (options.changes && options.partial)
        return QStringLiteral("--changes needs a whole configuration, not --partial");
    if (options.json &&
        (options.command == CliCommand::Ports || options.command == CliCommand::Report))
        return QStringLiteral("--json belongs to program, read, verify and record");
    return {};
}

void addOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {"port", "serial device", "DEVICE"},
        {"baud", "line speed", "RATE", "9600"},
        {"parity", "parity", "P", "none"},
        {"data-bits", "data bits", "N", "8"},
        {"stop-bits", "stop bits", "N", "1"},
        {"clock", "clock source", "MODE"},
        {"time", "manual clock time", "HH:MM:SS"},
        {"date", "manual clock date", "MM/DD/YYYY"},
        {"delay-unit-ms", "settle-delay unit", "MS"},
        {"pacing", "read pacing", "MODE", "fixed"},
        {"reply-timeout-ms", "longest wait for a reply", "MS"},
        {"output", "read: output file", "FILE"},
        {"log", "traffic log file", "FILE"},
        {"partial", "only the records a file names or a read brought back"},
        {"changes", "program: only the records that differ from the unit"},
        {"json", "JSON on standard output"},
        {"quiet", "no progress"},
        {"no-record", "no work record line"},
        {"since", "record: first day", "YYYY-MM-DD"},
        {QStringList{"h", "help"}, "help"},
        {"version", "version"},
    });
}

ParsedCommandLine usageError(const QString& message) {
    ParsedCommandLine result;
    result.error = message;
    return result;
}

} // namespace

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet("help"))
        return {std::nullopt, {}, usageText()};
    if (parser.isSet("version"))
        return {std::nullopt, {}, QStringLiteral("rtu7350-cli " RTU7350_VERSION "\n")};

    CliOptions options;
    using Reader = QString (*)(const QCommandLineParser&, CliOptions&);
    for (Reader read :
         {readCommand, readLineSettings, readClock, readDelayUnit, readPacing, readRecordOptions}) {
        if (QString error = read(parser, options); !error.isEmpty())
            return usageError(error);
    }
    options.log = parser.value("log");
    if (parser.isSet("log") && options.log.isEmpty())
        return usageError(QStringLiteral("--log: empty file name"));
    options.quiet = parser.isSet("quiet");
    options.partial = parser.isSet("partial");
    if (QString error = readReportOptions(parser, options); !error.isEmpty())
        return usageError(error);
    return {std::move(options), {}, {}};
}

QString usageText() {
    return QString::fromLatin1(UsageText);
}

} // namespace rtu
