#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace rtu {

// Exit status of rtu7350-cli; scripts outside this repository rely on these numbers.
enum class ExitCode : int {
    Success = 0,
    Failure = 1,    // port, file or link trouble
    UsageError = 2, // bad command line
    Unanswered = 3, // some reads of a whole-unit read got no usable reply
    Differs = 4,    // verify, program --changes: the unit still differs from the file
    LogFailed = 5,  // the command did its work, but the --log file could not be written
};

enum class CliCommand { Program, Read, Verify, Ports, Report, Record };

// Everything the command line asks for, with the line settings already turned into the
// codes the serial library takes.
struct CliOptions {
    CliCommand command = CliCommand::Ports;
    QString file; // program, verify and report: the configuration file
    QString port;
    int baudRate = 9600;
    std::int32_t baudCode = 0;
    std::int16_t parityCode = 0;
    std::int16_t lengthCode = 0;
    std::int16_t stopBitsCode = 0;
    bool clockAuto = true;
    bool clockGiven = false; // --clock, --time or --date: a partial program sends the clock
    QString time = QStringLiteral("12:00:00");
    QString date = QStringLiteral("12/31/2000");
    std::optional<double> delayUnitMs; // nullopt: derived from the line settings
    bool replyPacing = false;          // read lines wait until their reply is in
    std::optional<int> replyTimeoutMs; // reply pacing: nullopt waits at most the settle delay
    QString output;                    // read: empty means standard output; report: its file
    QString log;
    bool quiet = false;
    // program and verify: take only the records a file names; read: write only the records
    // that were read in full
    bool partial = false;
    bool changes = false;  // program: send only the records that differ from the unit's
    bool noRecord = false; // program, read and verify leave the work record as it is
    QDate since;           // record: the first day to print; null: from the start
    // program, read, verify: one JSON document on standard output, the human text on
    // standard error; record: a JSON array instead of lines for people
    bool json = false;
};

// What parsing the command line gave: options to run, a usage error, or a text to print
// and exit 0 (--help, --version).
struct ParsedCommandLine {
    std::optional<CliOptions> options;
    QString error;       // non-empty: usage error
    QString informative; // non-empty: help or version text
};

// arguments[0] is the program name, as in QCoreApplication::arguments().
ParsedCommandLine parseCommandLine(const QStringList& arguments);

// The synopsis and option list that --help prints.
QString usageText();

} // namespace rtu
