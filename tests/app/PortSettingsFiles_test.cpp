#include "app/PortSettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

    // A block whose library bytes all carry a pattern, with COM3-style settings.
    static PortParameterBlock patternedBlock() {
        PortParameterBlock block;
        for (int i = 0; i < PortParameterBlock::Size; ++i)
            block.bytes()[std::size_t(i)] = std::uint8_t(i + 1);
        block.setBaudCode(8);
        block.setParityCode(2);
        block.setLengthCode(2);
        block.setStopBitsCode(1);
        block.setProtocolCode(7);
        return block;
    }

    QTemporaryDir dir;
    PortSettingsFiles settings{dir.path()};
};

TEST_F(PortSettingsFilesTest, FirstStartReadsCom1AndDefaultsAndCreatesEmptyFiles) {
    EXPECT_EQ(settings.readPortIndex(), 0);
    PortParameterBlock record;
    record.bytes().fill(0x33);
    EXPECT_FALSE(settings.readLineSettings(record));
    PortParameterBlock expected;
    expected.setDefaultCodes();
    EXPECT_EQ(record, expected);
    EXPECT_EQ(files(), QStringList({"COM.dat", "uart.dat"}));
    EXPECT_EQ(contents("COM.dat"), QByteArray());
    EXPECT_EQ(contents("uart.dat"), QByteArray());
}

TEST_F(PortSettingsFilesTest, SavedPortAndSettingsHaveTheirExactBytesAndReadBack) {
    const PortParameterBlock block = patternedBlock();
    ASSERT_TRUE(settings.writePortIndex(2));
    ASSERT_TRUE(settings.writeLineSettings(block));
    EXPECT_EQ(files(), QStringList({"COM.DAT", "UART.DAT"}));
    EXPECT_EQ(contents("COM.DAT"), QByteArray("\x02\x00", 2));
    const QByteArray uart = contents("UART.DAT");
    ASSERT_EQ(uart.size(), 196);
    EXPECT_EQ(uart.right(4), QByteArray("\x02\x00\xAA\x00", 4));
    EXPECT_EQ(uart.mid(8, 4), QByteArray("\x08\x00\x00\x00", 4));

    EXPECT_EQ(settings.readPortIndex(), 2);
    PortParameterBlock record;
    EXPECT_TRUE(settings.readLineSettings(record));
    EXPECT_EQ(record, block);
}

TEST_F(PortSettingsFilesTest, WritesLandOnTheExistingSpellingOfTheName) {
    settings.readPortIndex(); // creates "COM.dat" and "uart.dat"
    PortParameterBlock ignored;
    settings.readLineSettings(ignored);
    ASSERT_TRUE(settings.writePortIndex(4));
    ASSERT_TRUE(settings.writeLineSettings(patternedBlock()));
    EXPECT_EQ(files(), QStringList({"COM.dat", "uart.dat"}));
    EXPECT_EQ(contents("COM.dat"), QByteArray("\x04\x00", 2));
    EXPECT_EQ(contents("uart.dat").size(), 196);
    EXPECT_EQ(settings.resolve("com.DAT"), dir.filePath("COM.dat"));
    EXPECT_EQ(settings.resolve("other.dat"), dir.filePath("other.dat"));
}

TEST_F(PortSettingsFilesTest, WithoutTheMarkerOnlyTheFiveCodesTakeTheirDefaults) {
    const PortParameterBlock block = patternedBlock();
    const QByteArray blockBytes(reinterpret_cast<const char*>(block.bytes().data()), 192);
    for (const QByteArray& record2 :
         {QByteArray("\x02\x00\xAB\x00", 4), QByteArray("\x03\x00\xAA\x00", 4),
          QByteArray("\x02\x00", 2), QByteArray()}) {
        put("uart.dat", blockBytes + record2);
        PortParameterBlock record;
        EXPECT_FALSE(settings.readLineSettings(record)) << record2.toHex().constData();
        PortParameterBlock expected = block;
        expected.setDefaultCodes();
        EXPECT_EQ(record, expected) << record2.toHex().constData();
    }
}

TEST_F(PortSettingsFilesTest, ShortOrOversizedSettingsFilesAreReadSafely) {
    put("UART.dat", QByteArray(100, '\x7F'));
    PortParameterBlock record;
    EXPECT_FALSE(settings.readLineSettings(record));
    EXPECT_EQ(record.bytes()[99], 0x7F);
    EXPECT_EQ(record.bytes()[100], 0);
    EXPECT_EQ(record.bytes()[191], 0);
    EXPECT_EQ(record.BaudCode(), 7);

    QByteArray big(100 * 1024, '\xFF');
    big.replace(192, 4, QByteArray("\x02\x00\xAA\x00", 4));
    put("UART.dat", big);
    EXPECT_TRUE(settings.readLineSettings(record));
    EXPECT_EQ(record.BaudCode(), -1);
    EXPECT_EQ(record.bytes()[191], 0xFF);
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
