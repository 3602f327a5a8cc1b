// rtu7350-sim: a simulated Model 7350 unit on a pseudo-terminal. Prints the device path to
// open as the first line of standard output (and keeps a --link to it while serving), then
// serves until SIGINT/SIGTERM, until the line has been idle for --once-idle seconds, or until
// a --hangup-after fault unplugs it.

#include "app/ShutdownSignals.h"
#include "sim/PtyUnitServer.h"
#include "sim/SimulatedUnit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <array>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

constexpr int ExitRunError = 1;
constexpr int ExitUsageError = 2;
constexpr int LongestDelayMs = 60000; // a unit slower than this is no unit

struct SimSettings {
    rtu::ServerOptions server;
    QString stateFile;
    QString dumpFile;
    QString versionText;
    int onceIdleMs = 0; // 0: serve until told to stop
};

const QCommandLineOption BaudOption(QStringLiteral("baud"), "Line speed (default 9600).", "RATE",
                                    "9600");
const QCommandLineOption TurnaroundOption(QStringLiteral("turnaround-ms"),
                                          "Delay before each answer, up to 60000 (default 5).",
                                          "MS", "5");
const QCommandLineOption ByteDelayOption(QStringLiteral("byte-delay-ms"),
                                         "Send the answers' bytes this far apart at least, as a "
                                         "slow unit does (default: at the line speed).",
                                         "MS");
const QCommandLineOption StateOption(QStringLiteral("state"), "Start from this configuration file.",
                                     "FILE");
const QCommandLineOption DumpOption(QStringLiteral("dump"),
                                    "Write the unit's configuration here at exit.", "FILE");
const QCommandLineOption OnceIdleOption(QStringLiteral("once-idle"),
                                        "Exit after this many seconds without a byte received.",
                                        "SECONDS");
const QCommandLineOption SilentOption(QStringLiteral("silent"), "Never answer.");
const QCommandLineOption DropOption(QStringLiteral("drop"), "Leave every Nth request unanswered.",
                                    "N");
const QCommandLineOption GarbleOption(QStringLiteral("garble"),
                                      "Corrupt one byte of every Nth answer.", "N");
const QCommandLineOption EchoOption(QStringLiteral("echo"), "Echo every byte received.");
const QCommandLineOption NoiseOption(QStringLiteral("noise"), "Send junk bytes between answers.");
const QCommandLineOption NoiseEveryOption(QStringLiteral("noise-every"),
                                          "Send junk bytes ahead of every Nth answer.", "N");
const QCommandLineOption HangupOption(QStringLiteral("hangup-after"),
                                      "Close the line once the Nth request is served.", "N");
const QCommandLineOption LinkOption(QStringLiteral("link"),
                                    "Also serve the line as PATH, a symbolic link to the "
                                    "pseudo-terminal removed at exit (a link already there is "
                                    "replaced, anything else refused).",
                                    "PATH");
const QCommandLineOption
    VersionTextOption(QStringLiteral("version-text"),
                      "Software version the unit reports (default " +
                          QString::fromLatin1(rtu::SimulatedUnit::DefaultVersion) + ").",
                      "TEXT");

void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription("Simulated Model 7350 Terminal Unit on a pseudo-terminal.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({BaudOption, TurnaroundOption, ByteDelayOption, StateOption, DumpOption,
                       OnceIdleOption, SilentOption, DropOption, GarbleOption, EchoOption,
                       NoiseOption, NoiseEveryOption, HangupOption, LinkOption, VersionTextOption});
}

// Reads a whole number of at least `minimum` (and at most `maximum`) into target when the
// option is given.
bool readNumber(const QCommandLineParser& parser, const QCommandLineOption& option, int minimum,
                int& target, QString& error, int maximum = std::numeric_limits<int>::max()) {
    if (!parser.isSet(option) && option.defaultValues().isEmpty())
        return true;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < minimum || value > maximum) {
        const QString range = maximum == std::numeric_limits<int>::max()
                                  ? QStringLiteral("of at least %1").arg(minimum)
                                  : QStringLiteral("from %1 to %2").arg(minimum).arg(maximum);
        error = QStringLiteral("--%1 needs a whole number %2, not \"%3\"")
                    .arg(option.names().constFirst(), range, parser.value(option));
        return false;
    }
    target = value;
    return true;
}

bool readIdleTime(const QCommandLineParser& parser, int& targetMs, QString& error) {
    if (!parser.isSet(OnceIdleOption))
        return true;
    bool ok = false;
    const double seconds = parser.value(OnceIdleOption).toDouble(&ok); // C locale
    if (!ok || !(seconds > 0) || seconds > 86400) {
        error = QStringLiteral("--once-idle needs a number of seconds above 0, not \"%1\"")
                    .arg(parser.value(OnceIdleOption));
        return false;
    }
    targetMs = std::max(1, int(seconds * 1000));
    return true;
}

std::optional<SimSettings> readSettings(const QCommandLineParser& parser, QString& error) {
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument \"%1\"")
                    .arg(parser.positionalArguments().constFirst());
        return std::nullopt;
    }
    SimSettings settings;
    rtu::ServerOptions& server = settings.server;
    if (!readNumber(parser, BaudOption, 1, server.baud, error) ||
        !readNumber(parser, TurnaroundOption, 0, server.turnaroundMs, error, LongestDelayMs) ||
        !readNumber(parser, ByteDelayOption, 0, server.byteDelayMs, error, LongestDelayMs) ||
        !readNumber(parser, DropOption, 1, server.dropEvery, error) ||
        !readNumber(parser, GarbleOption, 1, server.garbleEvery, error) ||
        !readNumber(parser, NoiseEveryOption, 1, server.noiseEvery, error) ||
        !readNumber(parser, HangupOption, 1, server.hangupAfter, error) ||
        !readIdleTime(parser, settings.onceIdleMs, error))
        return std::nullopt;
    server.silent = parser.isSet(SilentOption);
    server.echo = parser.isSet(EchoOption);
    server.noise = parser.isSet(NoiseOption);
    server.linkPath = parser.value(LinkOption);
    settings.stateFile = parser.value(StateOption);
    settings.dumpFile = parser.value(DumpOption);
    settings.versionText = parser.isSet(VersionTextOption)
                               ? parser.value(VersionTextOption)
                               : QString::fromLatin1(rtu::SimulatedUnit::DefaultVersion);
    return settings;
}

void printError(const QString& message) {
    std::fprintf(stderr, "rtu7350-sim: %s\n", qPrintable(message));
}

int serve(QCoreApplication& app, const SimSettings& settings) {
    // Watched from before any file is read, so that a signal during the start-up ends the run
    // as one while serving does: normally, with the state dumped.
    rtu::ShutdownSignals shutdown;
    if (!shutdown.isActive()) {
        printError(QStringLiteral("cannot watch for shutdown signals"));
        return ExitRunError;
    }
    QObject::connect(&shutdown, &rtu::ShutdownSignals::shutdownRequested, &app,
                     &QCoreApplication::quit);

    rtu::SimulatedUnit unit;
    unit.setVersion(settings.versionText);
    if (!settings.stateFile.isEmpty()) {
        const rtu::LoadResult loaded = unit.loadState(settings.stateFile);
        if (!loaded.ok) {
            printError(rtu::loadProblem(settings.stateFile, loaded));
            return ExitRunError;
        }
    }
    rtu::PtyUnitServer server(unit, settings.server);
    if (const QString error = server.start(); !error.isEmpty()) {
        printError(error);
        return ExitRunError;
    }
    std::fprintf(stdout, "%s\n", qPrintable(server.slavePath()));
    std::fflush(stdout);

    QObject::connect(&server, &rtu::PtyUnitServer::hungUp, &app, &QCoreApplication::quit);
    QTimer idle;
    idle.setSingleShot(true);
    if (settings.onceIdleMs > 0) {
        QObject::connect(&idle, &QTimer::timeout, &app, &QCoreApplication::quit);
        QObject::connect(&server, &rtu::PtyUnitServer::bytesReceived, &idle,
                         [&] { idle.start(settings.onceIdleMs); });
        idle.start(settings.onceIdleMs);
    }
    app.exec();

    if (!settings.dumpFile.isEmpty()) {
        if (const QString error = unit.saveState(settings.dumpFile); !error.isEmpty()) {
            printError(QStringLiteral("%1: %2").arg(settings.dumpFile, error));
            return ExitRunError;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // Before any thread exists, so that only the main loop ever sees these signals.
    rtu::ShutdownSignals::blockInThisThread();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rtu7350-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RTU7350_VERSION));

    QCommandLineParser parser;
    addOptions(parser);
    QString error;
    if (!parser.parse(QCoreApplication::arguments()))
        error = parser.errorText();
    else if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    } else if (parser.isSet(QStringLiteral("version"))) {
        std::printf("rtu7350-sim %s\n", RTU7350_VERSION);
        return 0;
    }
    const std::optional<SimSettings> settings =
        error.isEmpty() ? readSettings(parser, error) : std::nullopt;
    if (!settings) {
        printError(error);
        std::fputs(qPrintable(parser.helpText()), stderr);
        return ExitUsageError;
    }
    return serve(app, *settings);
}
