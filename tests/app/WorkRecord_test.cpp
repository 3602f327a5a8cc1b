#include "app/WorkRecordFile.h"
#include "app/WorkRecordList.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

// Lines of about 200 kB: five fill a file, the sixth starts the next.
TEST(WorkRecord, RotationKeepsFiveFilesAndTheCsvQuotesWhatNeedsIt) {
    QTemporaryDir dir;
    const WorkRecordFile file(dir.path());
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(file.append({{"time", "2026-01-02T10:00:00Z"}, {"pad", QString(200000, 'x')}}),
                  QString());
    EXPECT_TRUE(QFile::exists(file.filePath(4)));
    EXPECT_FALSE(QFile::exists(file.filePath(5)));
    EXPECT_EQ(file.readAll().size(), 25);

    const QJsonObject entry{{"time", "2026-01-02T10:00:00+01:00"},
                            {"action", "Load"},
                            {"file", "/sites/north, \"old\".txt"}};
    EXPECT_EQ(recordCsv({entry}).split('\n').value(1),
              "2026-01-02T10:00:00+01:00,Load,,,,,0,,,\"/sites/north, \"\"old\"\".txt\",\r");
    EXPECT_EQ(filterRecord({entry}, {QDate(2026, 1, 3), {}, {}}).size(), 0);
}

} // namespace
} // namespace rtu
