#include "cli/PortList.h"

#include "serial/SerialDevices.h"

#include <QIODevice>
#include <QStringList>

namespace rtu {

ExitCode printPorts(QIODevice& out) {
    for (const SerialPortEntry& port : listPorts()) {
        const QStringList fields{port.device, port.stableName, port.description, port.manufacturer,
                                 port.serialNumber};
        out.write(fields.join(u'\t').toLocal8Bit() + '\n');
    }
    return ExitCode::Success;
}

QString existingPortsAdvice() {
    QStringList names;
    for (const SerialPortEntry& port : listPorts()) {
        names << (port.stableName.isEmpty()
                      ? port.device
                      : QStringLiteral("%1 (%2)").arg(port.device, port.stableName));
    }
    return names.isEmpty() ? QStringLiteral("no serial ports found, plug the adapter in")
                           : QStringLiteral("the serial ports here: %1").arg(names.join(", "));
}

} // namespace rtu
