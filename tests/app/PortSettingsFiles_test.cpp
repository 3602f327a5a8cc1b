#include "app/PortSettingsFiles.h"

#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <numeric>

namespace rtu {
namespace {

// A block from the first 192 bytes; the five codes set to their defaults unless `marked`.
PortParameterBlock blockOf(const QByteArray& bytes, bool marked = false) {
    PortParameterBlock block;
    std::copy_n(bytes.begin(), PortParameterBlock::Size, block.bytes().begin());
    if (!marked)
        block.setDefaultCodes();
    return block;
}
const QByteArray Marker("\x02\x00\xAA\x00", 4);

class PortSettingsFilesTest : public ::testing::Test {
protected:
    QByteArray contents(const QString& name) const { return test::readFile(dir.filePath(name)); }
    void put(const QString& name, const QByteArray& bytes) const {
        ASSERT_TRUE(test::writeFile(dir.filePath(name), bytes));
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
    PortSettingsFiles settings{dir.path()};
    // Bytes 1, 2, 3...: all of them, the five codes included, differ from the defaults.
    const QByteArray patterned = [] {
        QByteArray bytes(PortParameterBlock::Size, '\0');
        std::iota(bytes.begin(), bytes.end(), char(1));
        return bytes;
    }();
};

TEST_F(PortSettingsFilesTest, FirstStartReadsCom1AndDefaultsIntoEmptyFilesThatWritesReuse) {
    EXPECT_EQ(settings.readPortIndex(), 0);
    PortParameterBlock record = blockOf(patterned, true);
    EXPECT_FALSE(settings.readLineSettings(record));
    EXPECT_EQ(record, blockOf(QByteArray(PortParameterBlock::Size, '\0')));
    EXPECT_EQ(files(), QStringList({"COM.dat", "uart.dat"}));
    EXPECT_EQ(contents("COM.dat") + contents("uart.dat"), QByteArray());

    // Names meet without regard to case, so the writes land on the files made above.
    ASSERT_TRUE(settings.writePortIndex(4));
    ASSERT_TRUE(settings.writeLineSettings(blockOf(patterned, true)));
    EXPECT_EQ(files(), QStringList({"COM.dat", "uart.dat"}));
    EXPECT_EQ(contents("COM.dat"), QByteArray("\x04\x00", 2));
    EXPECT_EQ(contents("uart.dat").size(), 196);
    EXPECT_EQ(settings.resolve("other.dat"), dir.filePath("other.dat"));
}

TEST_F(PortSettingsFilesTest, SavedPortAndSettingsHaveTheirExactBytesAndReadBack) {
    ASSERT_TRUE(settings.writePortIndex(2));
    ASSERT_TRUE(settings.writeLineSettings(blockOf(patterned, true)));
    EXPECT_EQ(files(), QStringList({"COM.DAT", "UART.DAT"}));
    EXPECT_EQ(contents("COM.DAT"), QByteArray("\x02\x00", 2));
    EXPECT_EQ(contents("UART.DAT"), patterned + Marker);

    EXPECT_EQ(settings.readPortIndex(), 2);
    PortParameterBlock record;
    EXPECT_TRUE(settings.readLineSettings(record));
    EXPECT_EQ(record, blockOf(patterned, true));

    // With both spellings present, reading and writing meet in the same file.
    put("COM.dat", QByteArray("\x04\x00", 2));
    ASSERT_TRUE(settings.writePortIndex(1));
    EXPECT_EQ(settings.readPortIndex(), 1);
}

// Without the marker the five codes take their defaults and the other bytes stay as read.
TEST_F(PortSettingsFilesTest, OnlyAMarkedSettingsFileKeepsItsCodesAndABadPortIndexOrFileMeansCom1) {
    const QByteArray allFF(PortParameterBlock::Size, '\xFF');
    const QByteArray short7F(100, '\x7F');
    const std::pair<QByteArray, PortParameterBlock> cases[] = {
        {patterned + QByteArray("\x02\x00\xAB\x00", 4), blockOf(patterned)},
        {patterned + QByteArray("\x03\x00\xAA\x00", 4), blockOf(patterned)},
        {patterned + Marker.left(2), blockOf(patterned)},
        {short7F, blockOf(short7F + QByteArray(92, '\0'))},
        {allFF + Marker + QByteArray(100000, '\xFF'), blockOf(allFF, true)}};
    for (const auto& [file, read] : cases) {
        put("UART.dat", file); // read whatever the letter case
        PortParameterBlock record;
        EXPECT_EQ(settings.readLineSettings(record), file.mid(192, 4) == Marker);
        EXPECT_EQ(record, read) << file.left(200).toHex().constData();
    }

    // A port index without a menu entry, or no file at all, falls back to COM1.
    const std::pair<QByteArray, PortId> indices[] = {
        {QByteArray("\x04\x00", 2), 4}, {QByteArray("\x05\x00", 2), 0},
        {QByteArray("\xFF\xFF", 2), 0}, {QByteArray("\x01\x01", 2), 0},
        {QByteArray("\x03", 1), 0},     {QByteArray("\x01\x00junk after", 12), 1}};
    for (const auto& [bytes, expected] : indices) {
        put("COM.dat", bytes);
        EXPECT_EQ(settings.readPortIndex(), expected) << bytes.toHex().constData();
    }

    // An unwritable directory reports failure and reads the fallbacks.
    put("not-a-directory", {});
    const PortSettingsFiles below(dir.filePath("not-a-directory/sub"));
    EXPECT_FALSE(below.writePortIndex(1));
    EXPECT_FALSE(below.writeLineSettings(PortParameterBlock{}));
    EXPECT_EQ(below.readPortIndex(), 0);
    PortParameterBlock record;
    EXPECT_FALSE(below.readLineSettings(record));
    EXPECT_EQ(record.ProtocolCode(), 4);
}

} // namespace
} // namespace rtu
