#pragma once

#include "serial/SerialLibrary.h"

#include <QString>

#include <array>

class QSettings;

namespace rtu {

// The device chosen for each of COM1..COM5 under "Port Devices...", kept in the user's
// settings between runs; an empty entry means the library's default device.
using PortDevices = std::array<QString, PortCount>;

PortDevices rememberedDevices(const QSettings& settings);
void rememberDevices(QSettings& settings, const PortDevices& devices);

// Remembers what "Port Devices..." chose. The dialog shows this run's devices, some of them
// given for this run only (--comN, the demo unit): an entry left as shown keeps what was
// remembered before, and only the entries the operator changed are taken.
void rememberChangedDevices(QSettings& settings, const PortDevices& shown,
                            const PortDevices& chosen);

} // namespace rtu
