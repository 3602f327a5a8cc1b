#include "config/WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace rtu {

namespace {

// Writes all of content at the device's position. A short write is followed by another, so
// that a full disk ends in a failed write and its reason.
bool writeAll(QIODevice& device, const QByteArray& content) {
    for (qsizetype done = 0; done < content.size();) {
        const qint64 written = device.write(content.constData() + done, content.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// QSaveFile names its temporary file after the file and six random ASCII letters
// ("site.txt.etHeBV"); a save killed after linking it in but before the rename leaves it
// there. A name someone gives a copy ("site.txt.backup") is nearly always of one case, and
// such random letters are nearly always mixed, so only mixed ones count as leftovers.
bool isSaveLeftover(QStringView name, QStringView fileName) {
    if (name.size() != fileName.size() + 7 || !name.startsWith(fileName) ||
        name[fileName.size()] != u'.')
        return false;
    bool upper = false;
    bool lower = false;
    for (const QChar c : name.last(6)) {
        const bool isUpper = c >= u'A' && c <= u'Z';
        const bool isLower = c >= u'a' && c <= u'z';
        if (!isUpper && !isLower)
            return false;
        upper |= isUpper;
        lower |= isLower;
    }
    return upper && lower;
}

void removeSaveLeftovers(const QFileInfo& target) {
    const QDir folder = target.absoluteDir();
    const QString fileName = target.fileName();
    for (const QString& name :
         folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks)) {
        if (isSaveLeftover(name, fileName))
            QFile::remove(folder.filePath(name));
    }
}

// Where QSaveFile puts the file: a symbolic link is followed to the file it names.
QFileInfo savedFile(const QString& path) {
    const QFileInfo info(path);
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info : QFileInfo(target);
}

// Where no temporary file can be made (a folder that refuses new files, a file system
// without a free inode), a file that is there and writable can still be rewritten in place.
bool writableInPlace(const QFileInfo& target) {
    return target.isFile() && target.isWritable();
}

// Puts content at the start of the open file and cuts the file to its length.
bool replaceContent(QFile& file, const QByteArray& content) {
    return file.seek(0) && writeAll(file, content) && file.resize(content.size()) && file.flush();
}

} // namespace

QString writeWholeFile(const QString& path, const QByteArray& content) {
    const QFileInfo target = savedFile(path);
    removeSaveLeftovers(target);
    QSaveFile file(target.filePath());
    // Unbuffered, so that a full disk fails the write itself: a write that fails only in the
    // flush inside commit() still lets QSaveFile put the short temporary file in the old
    // file's place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (writableInPlace(target))
            return rewriteInPlace(target.filePath(), content);
        return QStringLiteral("cannot create %1: %2").arg(path, file.errorString());
    }
    if (!writeAll(file, content)) {
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

QString rewriteInPlace(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    if (replaceContent(file, content))
        return QString();
    const QString reason = file.errorString();
    file.unsetError();
    if (replaceContent(file, old))
        return QStringLiteral("cannot write %1 in place: %2; its old content is back")
            .arg(path, reason);
    return QStringLiteral("cannot write %1 in place: %2; its old content could not be written "
                          "back either: %3")
        .arg(path, reason, file.errorString());
}

} // namespace rtu
