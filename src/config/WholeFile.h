#pragma once

#include <QByteArray>
#include <QString>

namespace rtu {

// Writes a whole file through QSaveFile: a failed or interrupted write never leaves a
// half-written file nor destroys the previous one. A file that exists in a folder that
// refuses new files is rewritten in place instead. Returns an empty string on success, else
// a one-line reason naming the file.
QString writeWholeFile(const QString& path, const QByteArray& content);

} // namespace rtu
