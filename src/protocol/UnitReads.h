#pragma once

#include "config/UnitSettings.h"
#include "protocol/CommandLines.h"
#include "protocol/ReadLines.h"

#include <QList>
#include <QStringList>

#include <array>

namespace rtu {

class Exchange;

// The unit-settings reads of UnitCommands: which rows run each group, and how each group's
// reply is stored into the settings. For UnitCommands only; a namespace of its own keeps these
// names apart from the helpers of other sources built into one batch.
namespace unitreads {

// Whether a row is covered: all flag 1 covers every row, 0 the ticked ones.
bool selected(const UnitRows& rows, int allFlag, UnitRow row);

// What a reply parser works on: it stores what the reply holds into the settings and tells
// what it took.
struct GroupRead {
    Exchange& exchange;
    UnitSettings& settings;
    const UnitRows& rows;
    int allFlag;
    QList<ClockNotice> clockNotices = {}; // of the clock texts set, in order
    bool selected(UnitRow row) const { return unitreads::selected(rows, allFlag, row); }
};

struct UnitRead {
    UnitGroup group;
    UnitRow firstRow; // the group runs when one of these rows is ticked
    UnitRow lastRow;
    ReplyOutcome (*apply)(GroupRead&);
    ReplyShape reply;
};

// Both the program and the read of the unit settings take five lines when all run.
inline constexpr int UnitSettingsLineCount = 5;

// In the order the groups are read.
extern const std::array<UnitRead, UnitSettingsLineCount> UnitReads;

// Whether one of the rows that run the group is covered.
bool selected(const UnitRows& rows, int allFlag, const UnitRead& read);

// The read lines of the groups covered, in order.
QStringList unitReadLines(const UnitRows& rows, int allFlag);

} // namespace unitreads

} // namespace rtu
