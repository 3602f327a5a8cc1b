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

} // namespace rtu
