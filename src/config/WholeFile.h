#pragma once

#include <QByteArray>
#include <QString>

namespace rtu {

// Writes a whole file through QSaveFile: a failed or interrupted write never leaves a
// half-written file nor destroys the previous one. A file that exists in a folder that
// refuses new files is rewritten in place instead. Returns an empty string on success, else
// a one-line reason naming the file.
QString writeWholeFile(const QString& path, const QByteArray& content);

// Whether a file may be read whole: a regular file may, a FIFO, device, socket or folder
// not, as opening or reading it could hold the reader up for ever or never end. A path
// that names nothing passes: opening it says why it fails.
bool readableAsWholeFile(const QString& path);

} // namespace rtu
