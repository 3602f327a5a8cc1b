#include "app/PortSettingsFiles.h"

#include "config/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace rtu {

namespace {

constexpr QLatin1String PortIndexReadName("COM.dat");
constexpr QLatin1String PortIndexWriteName("COM.DAT");
constexpr QLatin1String LineSettingsReadName("uart.dat");
constexpr QLatin1String LineSettingsWriteName("UART.DAT");

// Record 2 of the line settings file is a tagged value: the tag of a 16-bit integer, then
// the marker.
constexpr std::int16_t Int16Tag = 2;
constexpr int MarkerRecordOffset = PortParameterBlock::Size;
constexpr int LineSettingsFileSize = PortParameterBlock::Size + 4;
constexpr int PortIndexSize = 2;

// The whole file, or nothing when it cannot be read. A missing file is created empty, as
// opening it for random access always did; failing to create it is no error.
QByteArray readOrCreate(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        file.open(QIODevice::WriteOnly);
        return {};
    }
    if (!readableAsWholeFile(path) || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeWhole(const QString& path, const QByteArray& content, QString* reason) {
    const QString error = writeWholeFile(path, content);
    if (reason)
        *reason = error;
    return error.isEmpty();
}

std::int16_t int16At(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<std::int16_t>(bytes.constData() + offset);
}

QByteArray int16Bytes(std::int16_t value) {
    QByteArray bytes(sizeof value, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

} // namespace

PortSettingsFiles::PortSettingsFiles(QString directory) : directory_(std::move(directory)) {}

QString PortSettingsFiles::resolve(const QString& name) const {
    const QDir dir(directory_);
    // Name filters match without regard to case unless told otherwise.
    const QStringList matches =
        dir.entryList({name}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    // With several spellings present ("COM.dat" and "COM.DAT"), reading and writing must
    // meet in the same file whatever spelling they ask for: the first in name order.
    return dir.filePath(matches.isEmpty() ? name : matches.first());
}

PortId PortSettingsFiles::readPortIndex() const {
    const QByteArray bytes = readOrCreate(resolve(PortIndexReadName));
    if (bytes.size() < PortIndexSize)
        return 0;
    const std::int16_t index = int16At(bytes, 0);
    // An index without a menu entry falls back to COM1.
    return index >= 0 && index < PortCount ? PortId(index) : PortId(0);
}

bool PortSettingsFiles::readLineSettings(PortParameterBlock& record) const {
    const QByteArray bytes = readOrCreate(resolve(LineSettingsReadName));
    record = PortParameterBlock{};
    std::memcpy(record.bytes().data(), bytes.constData(),
                std::size_t(std::min<qsizetype>(bytes.size(), PortParameterBlock::Size)));
    const bool marked = bytes.size() >= LineSettingsFileSize &&
                        int16At(bytes, MarkerRecordOffset) == Int16Tag &&
                        int16At(bytes, MarkerRecordOffset + 2) == SettingsMarker;
    if (!marked)
        record.setDefaultCodes();
    return marked;
}

bool PortSettingsFiles::writePortIndex(PortId port, QString* reason) const {
    return writeWhole(resolve(PortIndexWriteName), int16Bytes(port), reason);
}

bool PortSettingsFiles::writeLineSettings(const PortParameterBlock& record,
                                          QString* reason) const {
    QByteArray content(reinterpret_cast<const char*>(record.bytes().data()),
                       PortParameterBlock::Size);
    content += int16Bytes(Int16Tag);
    content += int16Bytes(SettingsMarker);
    return writeWhole(resolve(LineSettingsWriteName), content, reason);
}

} // namespace rtu
