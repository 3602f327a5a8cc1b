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

// The configuration file that `panel` and `tables` save, loaded into fresh records and saved
// again (empty when it does not load): every configuration must come back byte for byte.
inline QByteArray savedAgain(const UnitSettingsPanel& panel, const RecordTables& tables) {
    RecordingNotifier notifier;
    UnitSettingsPanel reloadedPanel(notifier);
    RecordTables reloaded = defaultTables();
    if (!LoadConfiguration(WriteConfiguration(panel, tables), reloadedPanel, reloaded).ok)
        return {};
    reloadedPanel.setClockTexts(panel.timeText(), panel.dateText());
    return WriteConfiguration(reloadedPanel, reloaded);
}

} // namespace rtu::test
