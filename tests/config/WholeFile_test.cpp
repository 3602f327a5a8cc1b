// Writing a whole file: whichever write fails, the file that was there stays as it was and
// the reason is told.

#include "config/WholeFile.h"

#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>

namespace rtu {
namespace {

const QByteArray OldContent = QByteArray("SPP900\r\n").repeated(40);   // 320 bytes
const QByteArray NewContent = QByteArray("SPP060\r\n").repeated(1250); // 10,000 bytes

// A tmpfs of 64 KiB mounted over a folder while it lives, where the test may mount one.
struct SmallTmpfs {
    explicit SmallTmpfs(const QString& folder)
        : path(QFile::encodeName(folder)),
          mounted(::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") == 0) {}
    ~SmallTmpfs() {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
    QByteArray path;
    bool mounted;
};

// Elsewhere: regular files this process writes cannot grow past `bytes` while it lives, so
// a write beyond fails (EFBIG) as one on a full disk does (ENOSPC).
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limited{bytes, old.rlim_max};
        active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
    rlimit old{};
    bool active = false;
};

class WholeFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid() && QDir(dir.path()).mkdir("disk")); }

    QString file() const { return dir.filePath("disk/site.txt"); }
    QStringList filesOnDisk() const {
        return QDir(dir.filePath("disk")).entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir dir;
};

// Through the temporary file and in place (where no temporary file can be made), a write
// that fails part way leaves the old content: in place, it is written back.
TEST_F(WholeFileTest, AFullDiskKeepsTheOldFileWhetherThroughATemporaryFileOrInPlace) {
    const SmallTmpfs tmpfs(dir.filePath("disk"));
    ASSERT_TRUE(test::writeFile(file(), OldContent));
    std::optional<FileSizeLimit> limit;
    if (tmpfs.mounted)
        test::writeFile(dir.filePath("disk/zeros"), QByteArray(65536, '\0')); // fills the rest
    else
        ASSERT_TRUE(limit.emplace(512).active);
    for (const auto write : {writeWholeFile, rewriteInPlace}) {
        const QString error = write(file(), NewContent);
        EXPECT_TRUE(error.startsWith("cannot write " + file())) << qPrintable(error);
        EXPECT_TRUE(test::readFile(file()) == OldContent);
        EXPECT_EQ(filesOnDisk(), QStringList({"site.txt", "zeros"}).mid(0, tmpfs.mounted ? 2 : 1));
    }
}

// A save killed between linking its temporary file in and renaming it leaves
// "site.txt.XXXXXX" (random letters); the next save of that file clears it.
TEST_F(WholeFileTest, ASaveClearsWhatAKilledSaveOfTheSameFileLeftAndNothingElse) {
    const QStringList kept{"other.txt.etHeBV", "site.txt",        "site.txt.BACKUP",
                           "site.txt.backup",  "site.txt.etHeB1", "site.txt.etHeBVx"};
    for (const QString& name : kept + QStringList{"site.txt.etHeBV", "site.txt.QmXwzA"})
        ASSERT_TRUE(test::writeFile(dir.filePath("disk/" + name), OldContent));
    EXPECT_EQ(writeWholeFile(file(), NewContent), QString());
    EXPECT_TRUE(test::readFile(file()) == NewContent);
    EXPECT_EQ(filesOnDisk(), kept);
}

} // namespace
} // namespace rtu
