#include "app/WorkRecordFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

namespace rtu {

QString WorkRecordFile::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/rtu7350");
}

QString WorkRecordFile::filePath(int age) const {
    return age == 0 ? folder_ + QStringLiteral("/work-record.jsonl")
                    : folder_ + QStringLiteral("/work-record.%1.jsonl").arg(age);
}

// A line that would take the current file past the bound starts a new one; a single line
// longer than the bound still goes into a file of its own.
QString WorkRecordFile::rotateFor(qint64 bytes) const {
    const QFileInfo current(filePath());
    if (!current.exists() || current.size() == 0 || current.size() + bytes <= RotateBytes)
        return {};
    QFile::remove(filePath(KeptFiles - 1));
    for (int age = KeptFiles - 2; age >= 0; --age) {
        if (QFile::exists(filePath(age)) && !QFile::rename(filePath(age), filePath(age + 1)))
            return QStringLiteral("cannot rename %1").arg(filePath(age));
    }
    return {};
}

QString WorkRecordFile::append(const QJsonObject& entry) const {
    if (!QDir().mkpath(folder_))
        return QStringLiteral("cannot make the folder %1").arg(folder_);
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    if (const QString problem = rotateFor(line.size()); !problem.isEmpty())
        return problem;
    QFile file(filePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
    // A line cut short by a full disk is taken back: the next one starts on a line of its own.
    const qint64 before = file.size();
    if (file.write(line) != line.size() || !file.flush()) {
        const QString reason = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
        file.resize(before);
        return reason;
    }
    return {};
}

QList<QJsonObject> WorkRecordFile::readAll() const {
    QList<QJsonObject> entries;
    for (int age = KeptFiles - 1; age >= 0; --age) {
        QFile file(filePath(age));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd()) {
            const QJsonDocument line = QJsonDocument::fromJson(file.readLine());
            if (line.isObject())
                entries << line.object();
        }
    }
    return entries;
}

} // namespace rtu
