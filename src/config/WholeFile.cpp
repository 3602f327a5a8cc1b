#include "config/WholeFile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace rtu {

QString writeWholeFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot create %1: %2").arg(path, file.errorString());
    if (file.write(content) != content.size()) {
        QString reason = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return QStringLiteral("cannot save %1: %2").arg(path, file.errorString());
    return QString();
}

bool readableAsWholeFile(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() || !file.exists();
}

} // namespace rtu
