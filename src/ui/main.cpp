// rtu7350: the desktop set-up tool for the Model 7350 Terminal Unit.

#include "app/DataFiles.h"
#include "app/ReplyWait.h"
#include "app/ShutdownSignals.h"
#include "app/WorkRecordFile.h"
#include "serial/QtSerialLibrary.h"
#include "serial/TrafficLogFile.h"
#include "ui/CaretBlink.h"
#include "ui/DemoUnit.h"
#include "ui/Dialogs.h"
#include "ui/RtuForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSessionManager>
#include <QSettings>
#include <QTimer>

#include <array>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int ExitUsageError = 2;
constexpr int ExitDemoError = 1;
constexpr int ExitNoDisplay = 1;
constexpr int ExitLogError = 1;

struct Options {
    std::array<QString, rtu::PortCount> devices; // empty: the library's default device
    std::optional<double> delayUnitMs;
    bool demo = false;
    bool readAll = false;
    std::optional<rtu::Window> show; // a module window to open once started
    QString log;                     // traffic log file, appended to
};

// The module windows by the names --show takes.
std::optional<rtu::Window> moduleWindowNamed(const QString& name) {
    if (name == QLatin1String("sensors"))
        return rtu::Window::ConfigSensors;
    if (name == QLatin1String("g4"))
        return rtu::Window::ConfigG4;
    if (name == QLatin1String("4-20ma"))
        return rtu::Window::Config4_20mA;
    return std::nullopt;
}

QCommandLineOption comOption(int port) {
    return QCommandLineOption(QStringLiteral("com%1").arg(port + 1),
                              QStringLiteral("Device opened as COM%1 (default %2).")
                                  .arg(port + 1)
                                  .arg(rtu::QtSerialLibrary::defaultDevice(rtu::PortId(port))),
                              QStringLiteral("DEVICE"));
}

// Parses the command line; prints the problem and returns nullopt on bad usage.
std::optional<Options> parseOptions(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Set-up tool for the Model 7350 Terminal Unit."));
    parser.addHelpOption();
    parser.addVersionOption();
    for (int port = 0; port < rtu::PortCount; ++port)
        parser.addOption(comOption(port));
    const QCommandLineOption delayOption(
        QStringLiteral("delay-unit-ms"),
        QStringLiteral("Length of one settle-delay unit in milliseconds, at most %1 (default: "
                       "from the line speed).")
            .arg(rtu::QtSerialLibrary::MaxDelayUnitMs),
        QStringLiteral("MS"));
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Wire COM1 to a simulated unit loaded with the sample site."));
    const QCommandLineOption readAllOption(
        QStringLiteral("read-all"),
        QStringLiteral("Read the whole unit once started, as \"Read All\" does, and print "
                       "the outcome on standard error."));
    parser.addOption(delayOption);
    parser.addOption(demoOption);
    const QCommandLineOption showOption(
        QStringLiteral("show"),
        QStringLiteral("Open a module window once started (after --read-all): sensors, g4 "
                       "or 4-20ma."),
        QStringLiteral("WINDOW"));
    parser.addOption(readAllOption);
    parser.addOption(showOption);
    const QCommandLineOption logOption(
        QStringLiteral("log"),
        QStringLiteral("Append every line sent and every byte received, as the terminal "
                       "window shows them with its view options off, to FILE."),
        QStringLiteral("FILE"));
    parser.addOption(logOption);
    parser.process(app);

    Options options;
    for (int port = 0; port < rtu::PortCount; ++port)
        options.devices[std::size_t(port)] = parser.value(comOption(port));
    if (parser.isSet(delayOption)) {
        bool ok = false;
        const double ms = QLocale::c().toDouble(parser.value(delayOption), &ok);
        if (!ok || !(ms > 0) || ms > rtu::QtSerialLibrary::MaxDelayUnitMs) {
            std::fprintf(stderr,
                         "rtu7350: --delay-unit-ms needs a number of milliseconds above 0 and at "
                         "most %g, not \"%s\"\n",
                         rtu::QtSerialLibrary::MaxDelayUnitMs,
                         qPrintable(parser.value(delayOption)));
            return std::nullopt;
        }
        options.delayUnitMs = ms;
    }
    options.demo = parser.isSet(demoOption);
    options.readAll = parser.isSet(readAllOption);
    options.log = parser.value(logOption);
    if (parser.isSet(logOption) && options.log.isEmpty()) {
        std::fprintf(stderr, "rtu7350: --log: empty file name\n");
        return std::nullopt;
    }
    if (parser.isSet(showOption)) {
        options.show = moduleWindowNamed(parser.value(showOption));
        if (!options.show) {
            std::fprintf(stderr, "rtu7350: --show takes sensors, g4 or 4-20ma, not \"%s\"\n",
                         qPrintable(parser.value(showOption)));
            return std::nullopt;
        }
    }
    return options;
}

} // namespace

// Without a graphical session Qt would abort with its own message. Help and version need no
// window, so they are printed anyway; anything else says what is missing.
bool hasDisplayOrAsksOnlyForText(int argc, char** argv) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    const QStringList textOnly{"-h", "--help", "--help-all", "-v", "--version"};
    for (int i = 1; i < argc; ++i) {
        if (textOnly.contains(QString::fromLocal8Bit(argv[i]))) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            return true;
        }
    }
    std::fprintf(stderr, "rtu7350: no display: the desktop program needs a graphical session "
                         "(rtu7350-cli works without one)\n");
    return false;
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return true;
#endif
}

int main(int argc, char** argv) {
    // Before any thread exists, so that only the main loop ever sees these signals.
    rtu::ShutdownSignals::blockInThisThread();
    if (!hasDisplayOrAsksOnlyForText(argc, argv))
        return ExitNoDisplay;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rtu7350"));
    QApplication::setOrganizationName(QStringLiteral("rtu7350")); // the settings' folder
    QApplication::setApplicationVersion(QStringLiteral(RTU7350_VERSION));

    const std::optional<Options> options = parseOptions(app);
    if (!options)
        return ExitUsageError;

    // The devices chosen in an earlier run, unless --comN names another for this run.
    QSettings settings;
    rtu::QtSerialLibrary library;
    const rtu::PortDevices remembered = rtu::rememberedDevices(settings);
    for (int port = 0; port < rtu::PortCount; ++port) {
        const std::size_t slot = std::size_t(port);
        const QString device =
            options->devices[slot].isEmpty() ? remembered[slot] : options->devices[slot];
        if (!device.isEmpty())
            library.setDevice(rtu::PortId(port), device);
    }
    library.setDelayUnitOverride(options->delayUnitMs);

    std::unique_ptr<rtu::DemoUnit> demo;
    if (options->demo) {
        demo = std::make_unique<rtu::DemoUnit>();
        const QString error = demo->start(rtu::dataFileCandidates(
            QCoreApplication::applicationDirPath(), QStringLiteral("site.txt")));
        if (!error.isEmpty()) {
            std::fprintf(stderr, "rtu7350: the demo unit did not start: %s\n", qPrintable(error));
            return ExitDemoError;
        }
        library.setDevice(0, demo->devicePath());
        std::fprintf(stderr, "rtu7350: demo unit on %s (COM1), site %s\n",
                     qPrintable(demo->devicePath()),
                     demo->siteFile().isEmpty() ? "built in" : qPrintable(demo->siteFile()));
    }

    // Before the windows, which write to it up to their end.
    QFile logFile;
    if (!options->log.isEmpty()) {
        const QString error = rtu::TrafficLogFile::open(logFile, options->log);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "rtu7350: %s\n", qPrintable(error));
            return ExitLogError;
        }
    }

    const rtu::CaretBlink caretBlink;
    rtu::MessageBoxNotifier notifier;
    rtu::FileDialogChooser files;
    rtu::PortDevicesDialogChooser devices;
    rtu::RtuForm form({library, notifier, files, devices, QDir::currentPath(),
                       rtu::WorkRecordFile::defaultFolder()});
    QObject::connect(&form, &rtu::RtuForm::devicesChosen, &form,
                     [&settings](const rtu::PortDevices& shown, const rtu::PortDevices& chosen) {
                         rtu::rememberChangedDevices(settings, shown, chosen);
                     });
    // The reply wait chosen in an earlier run; --delay-unit-ms sets the unit it multiplies.
    rtu::ReplyWait& replyWait = form.model().replyWait();
    replyWait.restore(settings);
    QObject::connect(&replyWait, &rtu::ReplyWait::changed, &form,
                     [&settings, &replyWait] { replyWait.remember(settings); });
    // The terminal log's view as last chosen, and its traffic log file.
    rtu::TerminalLog& log = form.terminal().log();
    log.restoreView(settings);
    QObject::connect(&log, &rtu::TerminalLog::viewChanged, &form,
                     [&settings, &log] { log.rememberView(settings); });
    if (logFile.isOpen())
        log.setLogDevice(&logFile);

    // Every way the session can end goes through the window's close, which runs the
    // shutdown (or waits for a running exchange to end first).
    rtu::ShutdownSignals terminationSignals;
    QObject::connect(&terminationSignals, &rtu::ShutdownSignals::shutdownRequested, &form,
                     [&form] { form.closeWithoutAsking(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.closeWithoutAsking(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form,
                     [&form] { form.shutDownIfRunning(); });

    // Where the windows were in the last run, if they still fit the screens.
    if (const auto places = rtu::rememberedPlaces(settings))
        form.restorePlaces(*places);
    QObject::connect(
        &form, &rtu::RtuForm::placesToRemember, &form,
        [&settings](const rtu::WindowPlaces& places) { rtu::rememberPlaces(settings, places); });
    form.load();
    QTimer::singleShot(0, &form, [&form, readAll = options->readAll, show = options->show] {
        if (readAll) {
            const QString outcome = form.model().readAll();
            std::fprintf(stderr, "rtu7350: %s\n", qPrintable(outcome));
        }
        if (show)
            form.openModuleWindow(*show);
    });
    const int status = app.exec();
    if (!log.logError().isEmpty())
        std::fprintf(stderr, "rtu7350: %s: cannot write the log: %s\n", qPrintable(options->log),
                     qPrintable(log.logError()));
    return status;
}
