#include "serial/SerialDevices.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace rtu {

QString stableNameDirectory() {
#ifdef Q_OS_LINUX
    return QStringLiteral("/dev/serial/by-id");
#else
    return {};
#endif
}

QString stableDeviceName(const QString& device, const QString& byIdDir) {
    const QString target = QFileInfo(device).canonicalFilePath();
    // A missing device has no target, and neither has a link left by an unplugged adapter:
    // the two must not match.
    if (target.isEmpty() || byIdDir.isEmpty())
        return {};
    const QFileInfoList links =
        QDir(byIdDir).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    }
    return {};
}

QString preferredDeviceName(const QString& device, const QString& byIdDir) {
    const QString stable = stableDeviceName(device, byIdDir);
    return stable.isEmpty() ? device : stable;
}

QString resolveDeviceName(const QString& name) {
#ifdef Q_OS_WIN
    return name; // "COM3" names a device in every folder there
#else
    const QFileInfo file(name);
    if (name.contains(QLatin1Char('/')) || !file.exists())
        return name;
    return file.absoluteFilePath();
#endif
}

bool permissionsAllowOpening(const QString& device) {
#ifdef Q_OS_WIN
    Q_UNUSED(device);
    return true;
#else
    const QFileInfo info(device);
    return info.isReadable() && info.isWritable();
#endif
}

QList<SerialPortEntry> listPorts(const QString& byIdDir) {
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        const QString device = port.systemLocation();
        ports.append({device, stableDeviceName(device, byIdDir), port.description(),
                      port.manufacturer(), port.serialNumber()});
    }
    return ports;
}

} // namespace rtu
