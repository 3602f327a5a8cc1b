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

// Rewrites an existing file with content where no temporary file can be made: the old
// content is read first and, should any write fail, written back. Returns as writeWholeFile.
QString rewriteInPlace(const QString& path, const QByteArray& content);

} // namespace rtu
