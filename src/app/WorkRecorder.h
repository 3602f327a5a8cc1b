#pragma once

#include "app/KnownUnit.h"
#include "app/UnitComparison.h"
#include "app/WorkRecordFile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace rtu {

class Session;
struct ReadReport;

// One action for the work record, as its caller knows it; the recorder adds the time, the
// program's version, the port with its line settings and the unit's version.
struct WorkEntry {
    QString action; // "Program All", "Read", "Program module", "Compare", "Load"...
    int linesSent = 0;
    QStringList unanswered = {};         // read lines without a whole reply
    QList<FieldDifference> changes = {}; // inUnit is the value before, inProgram after
    QString file = {};                   // loads and saves
    QString modules = {};                // a module window's: "tank 04", "all 8 4-20mA modules"
};

// Writes one line to the work record for every action that talks to the unit, and for loads
// and saves. It keeps what the unit was last known to hold, so that a program action names
// each setting it changed with the value before. Writing is off until a folder is set (tests,
// "--no-record"). A record that cannot be written never stops an action: the reason is told
// once, through noticeOnce().
class WorkRecorder {
public:
    explicit WorkRecorder(Session& session) : session_(session) {}

    void setFolder(const QString& folder, const QString& programVersion);

    // A program action that sent `records` ("SPP", "SU05"): its changes are the program's
    // values against the unit as last known. `linesSent` defaults to the lines the last
    // exchange batch sent.
    void programmed(const QString& action, const QStringList& records, bool completed,
                    std::optional<int> linesSent = std::nullopt, const QString& modules = {});
    // "Program Differences": `records` are the comparison's recordsToProgram() as they stood
    // before the action; when it completed, each took one line.
    void programmedDifferences(const QStringList& records, bool completed);
    // A read of the program's own configuration ("Read", "Read All", a module window's).
    void read(const QString& action, const ReadReport& report, const QString& modules = {});
    // A comparison that read `unit` into a copy of its own.
    void compared(const QString& action, const UnitConfiguration& unit, const ReadReport& report);
    void fileUsed(const QString& action, const QString& path);

    void append(const WorkEntry& entry);

    // The reason the record could not be written, the first time only; else empty.
    QString noticeOnce();
    // `outcome`, followed by that reason the first time there is one.
    QString withNotice(const QString& outcome);

    const KnownUnit& known() const { return known_; }

private:
    UnitConfiguration program() const;

    Session& session_;
    KnownUnit known_;
    std::optional<WorkRecordFile> file_;
    QString programVersion_;
    QString failure_;
    bool told_ = false;
};

} // namespace rtu
