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

} // namespace rtu
