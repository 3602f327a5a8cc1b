#include "app/PortSettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace rtu {
namespace {

class PortSettingsFilesTest : public ::testing::Test {
protected:
    QByteArray contents(const QString& name) const {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void put(const QString& name, const QByteArray& bytes) const {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    // A block whose bytes, the five codes included, all differ from the defaults.
    static PortParameterBlock patternedBlock() {
        PortParameterBlock block;
        for (int i = 0; i < PortParameterBlock::Size; ++i)
            block.bytes()[std::size_t(i)] = std::uint8_t(i + 1);
        return block;
    }
    static QByteArray bytesOf(const PortParameterBlock& block) {
        return {reinterpret_cast<const char*>(block.bytes().data()), PortParameterBlock::Size};
    }
    // The first 192 bytes with the five codes set to their defaults.
    static QByteArray withDefaultCodes(const QByteArray& bytes) {
        PortParameterBlock block;
        std::copy_n(bytes.begin(), PortParameterBlock::Size, block.bytes().begin());
        block.setDefaultCodes();
        return bytesOf(block);
    }

    QTemporaryDir dir;
    PortSettingsFiles settings{dir.path()};
};

TEST_F(PortSettingsFilesTest, FirstStartReadsCom1AndDefaultsIntoEmptyFilesThatWritesReuse) {
    EXPECT_EQ(settings.readPortIndex(), 0);
    PortParameterBlock record = patternedBlock();
    EXPECT_FALSE(settings.readLineSettings(record));
    EXPECT_EQ(bytesOf(record), withDefaultCodes(QByteArray(PortParameterBlock::Size, '\0')));
    EXPECT_EQ(files(), QStringList({"COM.dat", "uart.dat"}));
    EXPECT_EQ(contents("COM.dat") + contents("uart.dat"), QByteArray());

    // Names meet without regard to case, so the writes land on the files made above.
    ASSERT_TRUE(settings.writePortIndex(4));
    ASSERT_TRUE(settings.writeLineSettings(patternedBlock()));
    EXPECT_EQ(files(), QStringList({"COM.dat", "uart.dat"}));
    EXPECT_EQ(contents("COM.dat"), QByteArray("\x04\x00", 2));
    EXPECT_EQ(contents("uart.dat").size(), 196);
    EXPECT_EQ(settings.resolve("other.dat"), dir.filePath("other.dat"));
}

TEST_F(PortSettingsFilesTest, SavedPortAndSettingsHaveTheirExactBytesAndReadBack) {
    const PortParameterBlock block = patternedBlock();
    ASSERT_TRUE(settings.writePortIndex(2));
    ASSERT_TRUE(settings.writeLineSettings(block));
    EXPECT_EQ(files(), QStringList({"COM.DAT", "UART.DAT"}));
    EXPECT_EQ(contents("COM.DAT"), QByteArray("\x02\x00", 2));
    EXPECT_EQ(contents("UART.DAT"), bytesOf(block) + QByteArray("\x02\x00\xAA\x00", 4));

    EXPECT_EQ(settings.readPortIndex(), 2);
    PortParameterBlock record;
    EXPECT_TRUE(settings.readLineSettings(record));
    EXPECT_EQ(record, block);
}

// Without the marker the five codes take their defaults and the other bytes stay as read.
TEST_F(PortSettingsFilesTest, OnlyAMarkedSettingsFileKeepsItsCodes) {
    const QByteArray block = bytesOf(patternedBlock());
    const QByteArray marker("\x02\x00\xAA\x00", 4);
    const QByteArray allFF(PortParameterBlock::Size, '\xFF');
    const QByteArray short7F(100, '\x7F');
    const struct {
        QByteArray file;
        bool marked;
        QByteArray read;
    } cases[] = {
        {block + QByteArray("\x02\x00\xAB\x00", 4), false, withDefaultCodes(block)},
        {block + QByteArray("\x03\x00\xAA\x00", 4), false, withDefaultCodes(block)},
        {block + marker.left(2), false, withDefaultCodes(block)},
        {block, false, withDefaultCodes(block)},
        {short7F, false, withDefaultCodes(short7F + QByteArray(92, '\0'))},
        {allFF + marker + QByteArray(100000, '\xFF'), true, allFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.left(200).toHex().constData());
        put("UART.dat", c.file); // read whatever the letter case
        PortParameterBlock record;
        EXPECT_EQ(settings.readLineSettings(record), c.marked);
        EXPECT_EQ(bytesOf(record), c.read);
    }
}

TEST_F(PortSettingsFilesTest, PortIndexWithoutAMenuEntryFallsBackToCom1) {
    const std::pair<QByteArray, PortId> cases[] = {
        {QByteArray("\x04\x00", 2), 4}, {QByteArray("\x05\x00", 2), 0},
        {QByteArray("\xFF\xFF", 2), 0}, {QByteArray("\x01\x01", 2), 0},
        {QByteArray("\x03", 1), 0},     {QByteArray("\x01\x00junk after", 12), 1}};
    for (const auto& [bytes, expected] : cases) {
        put("COM.dat", bytes);
        EXPECT_EQ(settings.readPortIndex(), expected) << bytes.toHex().constData();
    }
}

TEST(PortSettingsFiles, UnwritableDirectoryReportsFailure) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("not-a-directory"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const PortSettingsFiles settings(dir.filePath("not-a-directory/sub"));
    EXPECT_FALSE(settings.writePortIndex(1));
    EXPECT_FALSE(settings.writeLineSettings(PortParameterBlock{}));
    // Reading still gives the fallbacks.
    EXPECT_EQ(settings.readPortIndex(), 0);
    PortParameterBlock record;
    EXPECT_FALSE(settings.readLineSettings(record));
    EXPECT_EQ(record.ProtocolCode(), 4);
}

} // namespace
} // namespace rtu
