#pragma once

#include "app/UnitComparison.h"
#include "protocol/UnitCommands.h"

#include <QStringList>

namespace rtu {

class Session;

// The program's configuration (the session's settings and records) against the unit's, read
// into a copy of its own: a comparison leaves what the program holds untouched. From the
// last comparison, the differing records can be sent and read back, or the unit's values
// taken into the program. The desktop program and the command-line tool share it.
class UnitDifferences {
public:
    explicit UnitDifferences(Session& session);

    // Reads the whole unit in "Read All" order into the unit's copy and compares every record
    // but the clock, which runs on. False when the exchange stopped before its end (the port
    // lost, a stop asked for); the comparison then covers what was read. Both actions add
    // their line to the work record.
    bool compare();

    // The records whose settings differ in the last comparison, in "Program All" order. A
    // record the unit left unanswered is not among them: nothing is known of it.
    QStringList recordsToProgram() const;
    // Sends the records to program in one batch, then reads them back and compares them
    // again: the comparison then covers just those records. False when either batch stopped
    // before its end. The caller confirms first what the program's own unread fields allow.
    bool programDifferences();

    // Copies the unit's values of `records` ("SPP", "SU05") into the program, as a file
    // holding them would load; the comparison then no longer counts them as differing.
    void takeUnitValues(const QStringList& records);

    const UnitComparison& comparison() const { return comparison_; }
    const UnitConfiguration& unit() const { return unit_; }
    const ReadReport& lastRead() const { return lastRead_; }

private:
    bool readAndCompare(const QStringList& readLines, const QStringList& records);

    Session& session_;
    UnitConfiguration unit_;
    UnitRows unitRows_;
    UnitCommands unitCommands_;
    UnitComparison comparison_;
    ReadReport lastRead_;
};

} // namespace rtu
