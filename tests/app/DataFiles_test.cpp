#include "app/DataFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

// Beside itself, then in its prefix, then in the data directories; a place named twice is
// looked at once. (The test sets the data directories for its process; nothing else in this
// test program reads them.)
TEST(DataFilesTest, AProgramLooksBesideItselfThenInItsPrefixThenInTheDataDirectories) {
    QTemporaryDir root;
    const QString r = root.path();
    qputenv("XDG_DATA_HOME", (r + "/home/.local/share").toLocal8Bit());
    qputenv("XDG_DATA_DIRS", (r + "/usr/local/share:" + r + "/usr/share").toLocal8Bit());
    EXPECT_EQ(
        dataFileCandidates(r + "/opt/rtu/bin", "site.txt"),
        (QStringList{r + "/opt/rtu/bin/site.txt", r + "/opt/rtu/share/rtu7350/site.txt",
                     r + "/home/.local/share/rtu7350/site.txt",
                     r + "/usr/local/share/rtu7350/site.txt", r + "/usr/share/rtu7350/site.txt"}));
    qputenv("XDG_DATA_DIRS", (r + "/usr/share").toLocal8Bit());
    EXPECT_EQ(dataFileCandidates(r + "/usr/bin/", "site.txt"),
              (QStringList{r + "/usr/bin/site.txt", r + "/usr/share/rtu7350/site.txt",
                           r + "/home/.local/share/rtu7350/site.txt"}));
}

} // namespace
} // namespace rtu
