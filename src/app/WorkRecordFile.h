#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

namespace rtu {

// The work record on disk: one JSON object per line, appended, in a folder of the user's
// data. The newest lines are in "work-record.jsonl"; at 1 MB it moves to
// "work-record.1.jsonl", the older ones each one number up, and the oldest beyond the kept
// number goes. Both programs share the folder.
class WorkRecordFile {
public:
    static constexpr qint64 RotateBytes = 1024 * 1024;
    static constexpr int KeptFiles = 5; // the current file and four older ones

    explicit WorkRecordFile(QString folder) : folder_(std::move(folder)) {}

    // The user's data folder for rtu7350 ($XDG_DATA_HOME/rtu7350 on Linux).
    static QString defaultFolder();

    const QString& folder() const { return folder_; }
    // The path of the current file (0) or an older one (1 to KeptFiles - 1).
    QString filePath(int age = 0) const;

    // Appends `entry` as one line; the reason when it could not, else empty.
    QString append(const QJsonObject& entry) const;
    // Every line that parses, oldest first.
    QList<QJsonObject> readAll() const;

private:
    QString rotateFor(qint64 bytes) const;

    QString folder_;
};

} // namespace rtu
