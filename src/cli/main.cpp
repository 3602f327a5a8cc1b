#include "cli/CliOptions.h"
#include "cli/CliRunner.h"
#include "serial/QtSerialLibrary.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return static_cast<int>(rtu::ExitCode::Failure);

    const rtu::ParsedCommandLine parsed = rtu::parseCommandLine(app.arguments());
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
