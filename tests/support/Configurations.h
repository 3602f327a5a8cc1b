#pragma once

#include "config/ConfigurationFile.h"
#include "config/UnitSettingsPanel.h"
#include "support/RecordingNotifier.h"

namespace rtu::test {

inline RecordTables defaultTables() {
    RecordTables tables;
    SetAllDefaults(tables);
    return tables;
}

// A configuration file loaded into blank records and saved again, the clock boxes set as
// `clock` shows them (a file does not restore the clock). Empty when the file does not load,
// or loads with a problem: every file the program writes must come back byte for byte.
inline QByteArray savedAgain(const QByteArray& saved, const UnitSettingsPanel& clock) {
    RecordingNotifier notifier;
    UnitSettingsPanel reloadedPanel(notifier);
    RecordTables reloaded; // blank: every field must come from the file
    const LoadResult result = LoadConfiguration(saved, reloadedPanel, reloaded);
    if (!result.ok || !result.problems.isEmpty())
        return {};
    reloadedPanel.setClockTexts(clock.timeText(), clock.dateText());
    return WriteConfiguration(reloadedPanel, reloaded);
}

// The configuration file that `panel` and `tables` save, loaded and saved again.
inline QByteArray savedAgain(const UnitSettingsPanel& panel, const RecordTables& tables) {
    return savedAgain(WriteConfiguration(panel, tables), panel);
}

} // namespace rtu::test
