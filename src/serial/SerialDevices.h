#pragma once

#include <QList>
#include <QString>

namespace rtu {

// Where the system keeps names for USB serial adapters that stay the same whichever socket an
// adapter is plugged into: /dev/serial/by-id on Linux, names made of the adapter's maker,
// model and serial number that lead to its short name (/dev/ttyUSB0 one day, /dev/ttyUSB1
// after a replug). Empty elsewhere: Windows keeps a COM name for each adapter by itself.
QString stableNameDirectory();

// The name in `byIdDir` (a symbolic link) that leads to `device`; empty when there is none.
QString stableDeviceName(const QString& device, const QString& byIdDir);

// The name to keep and offer for `device`: its stable name when it has one, else `device`.
QString preferredDeviceName(const QString& device, const QString& byIdDir);

// A serial port the system reports.
struct SerialPortEntry {
    QString device;     // the short name, such as /dev/ttyUSB0 or COM3
    QString stableName; // empty when the port has none
    QString description;
    QString manufacturer;
    QString serialNumber;

    // The name to keep and offer: the stable one when there is one.
    QString name() const { return stableName.isEmpty() ? device : stableName; }
};

// The device a name the operator gave stands for. A name without a folder is the file of
// that name in the current folder when there is one (a link made for an adapter or a
// pseudo-terminal); otherwise it stays a port name, which the serial layer looks for where
// the system keeps its ports (ttyUSB0 is /dev/ttyUSB0; COM3 on Windows).
QString resolveDeviceName(const QString& name);

// Whether the device's permissions let this process read and write it. Always true on
// Windows, where serial ports have no such permissions (a refused open there means that
// another program holds the port).
bool permissionsAllowOpening(const QString& device);

// The serial ports the system reports, each with its stable name in `byIdDir`.
QList<SerialPortEntry> listPorts(const QString& byIdDir = stableNameDirectory());

} // namespace rtu
