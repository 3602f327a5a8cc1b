#pragma once

#include <QByteArray>
#include <QString>

namespace rtu {

// Writes a whole file so that no failure costs the file that was there: through QSaveFile,
// a temporary file beside it that takes its place only once every byte is written. Where
// no temporary file can be made (a folder that refuses new files) an existing file is
// rewritten in place (rewriteInPlace).
// Each save first removes what a save of the same file killed before it could finish left
// behind ("FILE.XXXXXX"). Returns an empty string on success, else a one-line reason naming
// the file.
QString writeWholeFile(const QString& path, const QByteArray& content);

// Whether a file may be read whole: a regular file may, a FIFO, device, socket or folder
// not, as opening or reading it could hold the reader up for ever or never end. A path
// that names nothing passes: opening it says why it fails.
bool readableAsWholeFile(const QString& path);

// Rewrites an existing file with content where no temporary file can be made: the old
// content is read first and, should any write fail, written back. Returns as writeWholeFile.
QString rewriteInPlace(const QString& path, const QByteArray& content);

} // namespace rtu
