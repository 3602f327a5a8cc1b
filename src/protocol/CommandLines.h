#pragma once

#include "config/Records.h"

#include <QString>

namespace rtu {

// Every command line ends in CR LF.
inline constexpr QLatin1String LineEnd("\r\n");

// A reply up to its line end: what follows a CR or LF is never part of it.
QStringView lineStart(QStringView reply);

// A number in two digits at least ("##00"): tank numbers, monitor units, LCD timing.
QString twoDigits(double value);

// The "S" and "G" command lines for tanks and modules, each ending in CR LF.
QString sensorProgramLine(int tank, const SensorRecord& record); // "SU00\"TANK 01 \"L0IT0F1.6700E"
QString sensorReadLine(int tank);                                // "GU05"
QString g4ProgramLine(int module, const G4Record& record); // "SG40U99L1ONGT0000.000OFFLT0000.000"
QString g4ReadLine(int module);                            // "GG43"
QString loop420ProgramLine(int module,
                           const Loop420Record& record); // "S420C1U99L1V4M000.000V20M239.500"
QString loop420ReadLine(int module);                     // "G420C3"

// What a reply parser reads: its keyword and the fields after it, ended by a line end (CR LF,
// or a lone CR or LF), or, from a unit that ends its reply without one, `width` characters
// from the keyword on.
struct ReplyShape {
    QLatin1StringView keyword;
    int width;
    // Whether all of that is in `reply`, so that waiting longer adds nothing to the parse.
    bool isComplete(QStringView reply) const;
};

// What a read made of the reply it found.
enum class ReplyOutcome {
    NoReply, // nothing usable: wrong keyword, wrong or invalid module number; nothing changed
    Partial, // the reply stopped part way; the fields before the stop were stored
    Applied, // every field stored
};

// Reply parsers: `reply` is the reply buffer as collected after the read line's delay.
// ReplyOutcome is what happened; `recordNumber` (if given) receives the record written.
ReplyOutcome applySensorReply(const QString& reply, int tank, SensorRecord& record);
ReplyOutcome applyG4Reply(const QString& reply, RecordTables& tables, int* recordNumber = nullptr);
ReplyOutcome applyLoop420Reply(const QString& reply, RecordTables& tables,
                               int* recordNumber = nullptr);

// The command lines and the reply parser of one kind of record.
struct ModuleCommands {
    QString (*programLine)(int number, const RecordTables& tables);
    QString (*readLine)(int number);
    // Stores what the reply holds. The outcome is for `number`: a reply naming another
    // module is stored in that module's record and counts as NoReply here.
    ReplyOutcome (*applyReply)(const QString& reply, int number, RecordTables& tables);
    ReplyShape reply;
};
const ModuleCommands& moduleCommands(ModuleKind kind);

} // namespace rtu
