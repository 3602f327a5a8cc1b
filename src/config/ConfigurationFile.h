#pragma once

#include "config/Records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace rtu {

struct UnitSettings;

// The configuration file: 39 lines shaped like the unit's "S" command lines, CR LF,
// one byte per character.
QByteArray WriteConfiguration(const UnitSettings& settings, const RecordTables& tables);

// Only the lines of `records` (as LoadResult::records names them: "SPP", "SU05"), in the
// file's order: the part of a configuration that is known.
QByteArray WriteConfiguration(const UnitSettings& settings, const RecordTables& tables,
                              const QStringList& records);

// The records a whole configuration names, one per line, in the file's order: "SRTCT",
// "SRTCD", "SLCD", "SLCDT1", "SPP", "SU00" ... "SU15", "SG40" ... "SG49", "S420C1" ... "S420C8".
QStringList configurationRecords();
// The tank and module records, in the file's order (which "Program All" follows too).
QStringList moduleRecords();
// The record of one tank or module: "SU05", "SG43", "S420C1".
QString moduleRecord(ModuleKind kind, int number);

// Writes the configuration to path as writeWholeFile does. Returns an empty string on
// success, else a one-line reason.
QString saveConfigurationFile(const QString& path, const UnitSettings& settings,
                              const RecordTables& tables);

// A line that loads, but not as the program writes it: a number in a form the program never
// writes ("SPP1e400" loads as 1 second, "12345678901" is cut to its field), a record named a
// second time (the later line wins), a control character (it would be sent to the unit).
struct LineProblem {
    int lineNumber = 0; // 1-based
    QString reason;     // "number with an exponent: 1e400"
    friend bool operator==(const LineProblem&, const LineProblem&) = default;
};

struct LoadResult {
    bool ok = true;
    int lineNumber = 0;          // 1-based line of the error; 0 when the file itself failed
    QString reason;              // empty when ok
    QStringList records;         // what the lines applied name, by prefix and number: "SPP", "SU05"
    QList<LineProblem> problems; // of the lines applied, in file order; a line may have several
};

// Where and why a load failed, for the operator: "/home/op/site.txt, line 7: no closing
// double quote", or "/home/op/site.txt: cannot open: ..." when the file itself failed.
QString loadProblem(const QString& path, const LoadResult& result);

// Applies a configuration text line by line, as the "Load" button does. Lines applied
// before an error stay applied. Lines matching no prefix, and records numbered out of
// range, are skipped. A line with a problem is applied all the same, as it reads.
LoadResult LoadConfiguration(const QByteArray& content, UnitSettings& settings,
                             RecordTables& tables);

// Why the command-line tool refuses to program or verify a file that loaded: one line per
// problem, "site.txt:7: number with an exponent: 1e400", as its other file errors read.
// Empty when the load found none, as for every file the program writes.
QStringList loadRefusals(const QString& path, const LoadResult& result);

// What makes a configuration text less than a whole configuration: the records it lacks
// (one entry naming them all, "missing: SU05, SG43") and lines that name a record outside
// the tables ("line 7 names no record of the unit: SU16..."). Empty for a whole one.
QStringList wholeConfigurationProblems(const QByteArray& content);

// The lines (1-based) whose LCD text is the placeholder that a read without a reply leaves
// in the boxes (lcdTextPlaceholder()), not a text anyone set.
QList<int> placeholderLines(const QByteArray& content);

// Whether a label or an LCD text may hold the character: the unit takes one byte per
// character and would act on a control character (NUL, below a blank, DEL), and the file
// quotes these texts without escaping a double quote.
bool isStorableTextCharacter(QChar c);

inline constexpr qsizetype MaxConfigurationFileSize = qsizetype(1024) * 1024;

struct ReadResult {
    QByteArray content;
    QString error; // empty when read; else the reason, without the path
};
// Reads a configuration file; one over MaxConfigurationFileSize is refused unread.
ReadResult readConfigurationFile(const QString& path);

// Opens, reads and applies a file; a file that cannot be opened or read is an error.
LoadResult loadConfigurationFile(const QString& path, UnitSettings& settings, RecordTables& tables);

// The message the operator sees for any load error (three spaces before the words).
inline const char* const FileErrorMessage = "   File ERROR";

} // namespace rtu
