#pragma once

#include "config/Records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace rtu {

// Every command line ends in CR LF.
inline constexpr QLatin1String LineEnd("\r\n");

// A reply up to its line end: what follows a CR or LF is never part of it.
QStringView lineStart(QStringView reply);
// Whether the line end after the reply's first line has come. Until it has, the unit may
// still be sending: the line's last field may be cut short.
bool lineEnded(QStringView reply);

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
// or a lone CR or LF).
struct ReplyShape {
    QLatin1StringView keyword;
    // Whether the keyword and its line, line end included, are in `reply`, so that waiting
    // longer adds nothing to the parse. A CR may be the first half of CR LF: the LF left
    // behind would start the next line's buffer.
    bool isComplete(QStringView reply) const;
};

// What a read made of the reply it found.
struct ReplyOutcome {
    enum State {
        Unanswered,     // nothing taken: no reply, a wrong keyword or record, or a reply cut off
        PartlyAnswered, // some fields taken; the others keep their values
        Answered,       // every field taken
    };
    State state = Unanswered;
    QStringList kept;    // PartlyAnswered: the fields not taken, by name ("factor")
    bool cutOff = false; // Unanswered: the reply had begun, but its line end had not come

    static ReplyOutcome answered() { return {Answered, {}, false}; }
    static ReplyOutcome stillArriving() { return {Unanswered, {}, true}; }
};

// Takes a reply's fields, noting by name those the reply gave; the others keep their values.
class ReplyFields {
public:
    explicit ReplyFields(const QList<QLatin1StringView>& names);
    // Stores the value, when the reply gave one, in `field`.
    template <typename Field>
    void take(QLatin1StringView name, const std::optional<QString>& value, Field& field) {
        if (!value)
            return;
        field = *value;
        given(name);
    }
    void given(QLatin1StringView name);
    ReplyOutcome outcome() const;

private:
    qsizetype count_;
    QStringList kept_;
};

// Reply parsers: `reply` is the reply buffer as collected after the read line's delay. A
// reply whose line end has not come is no answer, and none of it is taken.
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
    // module is stored in that module's record and counts as unanswered here.
    ReplyOutcome (*applyReply)(const QString& reply, int number, RecordTables& tables);
    ReplyShape reply;
    // The record's fields as reports name them, in the record's order.
    QList<QLatin1StringView> fields;
};
const ModuleCommands& moduleCommands(ModuleKind kind);

} // namespace rtu
