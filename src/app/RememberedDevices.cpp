#include "app/RememberedDevices.h"

#include <QSettings>

namespace rtu {

namespace {

QString key(PortId port) {
    return QStringLiteral("devices/COM%1").arg(port + 1);
}

} // namespace

PortDevices rememberedDevices(const QSettings& settings) {
    PortDevices devices;
    for (PortId port = 0; port < PortCount; ++port)
        devices[std::size_t(port)] = settings.value(key(port)).toString();
    return devices;
}

void rememberDevices(QSettings& settings, const PortDevices& devices) {
    for (PortId port = 0; port < PortCount; ++port)
        settings.setValue(key(port), devices[std::size_t(port)]);
    settings.sync();
}

void rememberChangedDevices(QSettings& settings, const PortDevices& shown,
                            const PortDevices& chosen) {
    PortDevices devices = rememberedDevices(settings);
    for (std::size_t port = 0; port < devices.size(); ++port) {
        if (chosen[port] != shown[port])
            devices[port] = chosen[port];
    }
    rememberDevices(settings, devices);
}

} // namespace rtu
