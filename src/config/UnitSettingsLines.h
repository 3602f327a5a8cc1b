#pragma once

#include <QString>

namespace rtu {

class UnitSettingsPanel;

// The "S" lines of the unit-wide settings that the unit's command lines and the
// configuration file share, without their line end: "SPP060", "SLCD03R05" and
// "SLCDT1" + quoted line 1 + "T2" + quoted line 2 (a quote inside a text is not escaped).
QString pollPeriodLine(const UnitSettingsPanel& panel);
QString lcdTimingLine(const UnitSettingsPanel& panel);
QString lcdTextLine(const UnitSettingsPanel& panel);

// What an LCD text box shows after a read that got no reply: 20 question marks.
QString lcdTextPlaceholder();

} // namespace rtu
