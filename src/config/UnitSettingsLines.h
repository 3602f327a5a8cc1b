#pragma once

#include <QString>

namespace rtu {

struct UnitSettings;

// The "S" lines of the unit-wide settings that the unit's command lines and the
// configuration file share, without their line end: "SPP060", "SLCD03R05" and
// "SLCDT1" + quoted line 1 + "T2" + quoted line 2 (a quote inside a text is not escaped).
QString pollPeriodLine(const UnitSettings& settings);
QString lcdTimingLine(const UnitSettings& settings);
QString lcdTextLine(const UnitSettings& settings);

// What an LCD text box shows after a read that got no reply: 20 question marks.
QString lcdTextPlaceholder();

} // namespace rtu
