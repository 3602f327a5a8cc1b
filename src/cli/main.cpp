#include "cli/CliOptions.h"
#include "cli/CliRunner.h"
#include "serial/QtSerialLibrary.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <memory>

namespace {

QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The report lays out its PDF and picture with fonts, which a GUI application brings. It
// opens no window, so unless told otherwise it runs without a display.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[],
                                                  const rtu::ParsedCommandLine& parsed) {
    if (!parsed.options || parsed.options->command != rtu::CliCommand::Report)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int main(int argc, char* argv[]) {
    const rtu::ParsedCommandLine parsed = rtu::parseCommandLine(argumentsOf(argc, argv));
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv, parsed);
    QTextStream err(stderr);
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return static_cast<int>(rtu::ExitCode::Failure);

    if (!parsed.informative.isEmpty()) {
        out.write(parsed.informative.toLocal8Bit());
        return static_cast<int>(rtu::ExitCode::Success);
    }
    if (!parsed.options) {
        err << "rtu7350-cli: " << parsed.error << "\nTry 'rtu7350-cli --help'." << Qt::endl;
        return static_cast<int>(rtu::ExitCode::UsageError);
    }
    rtu::QtSerialLibrary library;
    return static_cast<int>(rtu::runCommand(*parsed.options, library, out, err));
}
