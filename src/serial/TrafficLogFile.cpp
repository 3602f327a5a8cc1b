#include "serial/TrafficLogFile.h"

#include <QFile>
#include <QFileInfo>

namespace rtu {

void TrafficLogFile::append(const QString& text) {
    if (!device_ || !error_.isEmpty())
        return;
    const QByteArray bytes = text.toLatin1();
    auto* file = qobject_cast<QFileDevice*>(device_);
    if (device_->write(bytes) != bytes.size() || (file && !file->flush()))
        error_ = device_->errorString();
}

QString TrafficLogFile::open(QFile& file, const QString& path) {
    file.setFileName(path);
    const QFileInfo target(path);
    const bool appendable = !target.exists() || target.isFile();
    if (file.open(appendable ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly))
        return {};
    return QStringLiteral("%1: %2").arg(path, file.errorString());
}

} // namespace rtu
