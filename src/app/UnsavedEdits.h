#pragma once

#include <QByteArray>
#include <QObject>

namespace rtu {

class Exchange;
class UnitSettingsModel;
struct RecordTables;

// Whether the configuration holds edits that no file and no unit holds yet: edits made since
// the last "Save", the last "Load" of a whole configuration or the last completed "Program
// All". It compares the configuration as it would be saved with the one kept then, so every
// way of editing counts (the main window, the module windows) and an edit undone counts as
// none.
//
// What a read brings is in the unit, and what a load brings is in its file: neither is an
// edit that closing could lose. Such an action keeps the state it found: a configuration
// kept before stays kept with what it brought, and edits made before stay unsaved, as it
// may not have covered them all (or left them where no reply came).
class UnsavedEdits : public QObject {
    Q_OBJECT
public:
    // Reads keep the state they find: every exchange is watched for it.
    UnsavedEdits(const UnitSettingsModel& settings, const RecordTables& tables, Exchange& exchange,
                 QObject* parent = nullptr);

    bool any() const { return configuration() != kept_; }
    // The configuration as it stands is held in a file or in the unit.
    void markKept() { kept_ = configuration(); }
    // The configuration as it stands is held nowhere: edits recovered from an earlier run.
    void markNotKept() { kept_.clear(); }

    // Around an action that brings values from the unit or a file.
    void takingBegins() { keptBefore_ = !any(); }
    void takingEnds();

private:
    QByteArray configuration() const;

    const UnitSettingsModel& settings_;
    const RecordTables& tables_;
    QByteArray kept_;
    bool keptBefore_ = false;
};

} // namespace rtu
