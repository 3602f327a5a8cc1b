#pragma once

#include "config/Records.h"
#include "config/UnitSettings.h"
#include "protocol/BatchListener.h"
#include "protocol/CommandLines.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace rtu {

class Exchange;

// The read lines of a whole-unit read, in order, for reports: "GRTCT", "GPP", ... "G420C8".
struct ReadReport {
    QStringList answered;            // wholly answered
    QStringList unanswered;          // the read lines that found no usable reply
    QStringList partlyAnswered = {}; // taken only in part: in neither list above
    // Of the partly answered lines, the fields the reply did not give, which kept their
    // values: "GU04" -> "factor", "volume unit".
    QMap<QString, QStringList> kept = {};
    // Of the unanswered lines, those whose reply had begun but had no line end yet as the
    // wait ended: the unit was still sending.
    QStringList cutOff = {};
    bool complete() const { return unanswered.isEmpty() && partlyAnswered.isEmpty(); }
    // The read lines noted, whatever their state.
    qsizetype lineCount() const {
        return answered.size() + unanswered.size() + partlyAnswered.size();
    }
};

// The command groups: unit settings, tanks, G4 and 4-20mA modules, and the whole-unit
// program and read. They expect the caller to have opened a batch (except the *All and
// *Button actions, which open their own).
class UnitCommands {
public:
    using Clock = std::function<QDateTime()>;
    // Told after each unit-settings reply is stored in the settings, so that what is shown
    // follows the read as it goes, with what the clock boxes' check has to tell the operator
    // of the clock texts a reply set, in the order they were set (a piece out of range beeps).
    using SettingsStored = std::function<void(const QList<ClockNotice>&)>;

    // The unit-settings groups that "Program" and "Read" cover are the rows `rows` ticks.
    UnitCommands(
        Exchange& exchange, UnitSettings& settings, const UnitRows& rows, RecordTables& tables,
        Clock clock = [] { return QDateTime::currentDateTime(); }, SettingsStored stored = {});

    // Unit settings (all flag 1 = every group, 0 = the ticked rows only).
    void ProgramUnitSettings(int allFlag);
    // Appends to report the read lines sent and whether each was answered.
    void ReadUnitSettings(int allFlag, ReadReport* report = nullptr);

    // One tank or module. A read returns the outcome for the number asked for: a reply
    // naming another module is stored in that module's record and counts as unanswered here.
    void programModule(ModuleKind kind, int number);
    ReplyOutcome readModule(ModuleKind kind, int number);

    // A module window's "Program": its own batch.
    bool programModules(ModuleKind kind, const QList<int>& numbers);
    // A module window's "Read": a batch that leaves RTS alone.
    // Appends to report what was answered, in whole or in part; reads a lost port kept from
    // being sent count as unanswered.
    bool readModules(ModuleKind kind, const QList<int>& numbers, ReadReport* report = nullptr);

    // The main window's buttons, each running its own batch.
    bool programButton();                          // "Program"
    bool readButton(ReadReport* report = nullptr); // "Read"
    bool programAll();                             // "Program All": 39 lines
    // "Program All" limited to the lines `lines` names ("SRTCT", "SPP", "SU05", "SG43",
    // "S420C1", as a configuration file names its records), in the same order and batch.
    bool programListed(const QStringList& lines);
    bool readAll(ReadReport* report = nullptr); // "Read All": 39 reads
    // "Read Unanswered Again": the reads of "Read All" that `lines` lists, in the same order
    // and bracket; a clock read sets both the time and the date.
    bool readListed(const QStringList& lines, ReadReport* report = nullptr);

    // The read lines, as reports name them, of what an action covers: the unit-settings
    // groups of the ticked rows (all flag 0) or of all rows (1); tanks or modules; the whole
    // unit in "Read All" order.
    QStringList unitSettingsReadLines(int allFlag) const;
    static QStringList moduleReadLines(ModuleKind kind, const QList<int>& numbers);
    QStringList wholeUnitReadLines() const;
    // How many lines "Program" (0) or "Program All" (1) sends for the unit settings.
    int unitProgramLineCount(int allFlag) const;

    static constexpr int WholeUnitLineCount = 39;

private:
    void sendUnitLines(const QStringList& lines);

    void readGroup(std::size_t group, int allFlag, ReadReport* report);

    Exchange& exchange_;
    UnitSettings& settings_;
    const UnitRows& rows_;
    RecordTables& tables_;
    Clock clock_;
    SettingsStored stored_;
};

} // namespace rtu
