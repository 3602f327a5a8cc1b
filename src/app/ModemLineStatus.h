#pragma once

#include "serial/SerialLibrary.h"

#include <QString>

#include <array>
#include <optional>

namespace rtu {

// How the terminal window shows one modem status line: its short name beside an indicator
// in a colour given as 0xBBGGRR, and what the indicator says when pointed at.
struct LineIndicator {
    QString name;
    int colour = 0;
    QString toolTip;
};

inline constexpr int LineRaisedGreen = 0x00C000;
inline constexpr int LineLowWhite = 0xFFFFFF;
inline constexpr int LineUnknownGrey = 0xA0A0A0;

using ModemLineIndicators = std::array<LineIndicator, 3>;

// CTS, DSR and DCD: green while raised, white while low, grey while no port is open or the
// device cannot say. A dead cable or a converter without power leaves them all low.
ModemLineIndicators modemLineIndicators(const std::optional<ModemLines>& lines);

} // namespace rtu
