#pragma once

#include "app/UnitComparison.h"
#include "protocol/UnitCommands.h"

#include <QList>
#include <QStringList>

namespace rtu {

// What the unit was last known to hold, record by record: each read or comparison tells the
// records it got a whole reply for, each program action those it sent. A program action's
// changes are the program's values against these. Of a record never read nor sent nothing
// is known, and no change of it is named.
class KnownUnit {
public:
    KnownUnit();

    // `unit` holds what a read brought back (the program's own configuration after a read,
    // the unit's copy after a comparison); the records of its whole replies become known.
    void noteRead(const UnitConfiguration& unit, const ReadReport& read);
    // The unit took `records` from `program`; a program action cut short leaves them unknown,
    // as nobody can say how far it got.
    void noteProgrammed(const UnitConfiguration& program, const QStringList& records,
                        bool completed);

    // The settings of `records` in which `program` differs from the unit as known.
    QList<FieldDifference> changes(const UnitConfiguration& program,
                                   const QStringList& records) const;

    // The unit's software version as last read; empty while unknown.
    QString version() const { return version_; }

private:
    void take(const UnitConfiguration& from, const QStringList& records);

    UnitConfiguration unit_;
    ReadReport known_; // answered: the read lines whose records are known
    QString version_;
};

} // namespace rtu
