#include "app/DataFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace rtu {
namespace {

// Sets an environment variable for the length of a test and puts back what was there.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QString& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, qPrintable(value), 1);
    }
    ~ScopedEnvironment() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(DataFilesTest, AProgramLooksBesideItselfThenInItsPrefixThenInTheDataDirectories) {
    QTemporaryDir root;
    const QString r = root.path();
    const ScopedEnvironment home("XDG_DATA_HOME", r + "/home/.local/share");
    const ScopedEnvironment system("XDG_DATA_DIRS", r + "/usr/local/share:" + r + "/usr/share");

    EXPECT_EQ(
        dataFileCandidates(r + "/opt/rtu/bin", "site.txt"),
        (QStringList{r + "/opt/rtu/bin/site.txt", r + "/opt/rtu/share/rtu7350/site.txt",
                     r + "/home/.local/share/rtu7350/site.txt",
                     r + "/usr/local/share/rtu7350/site.txt", r + "/usr/share/rtu7350/site.txt"}));
}

TEST(DataFilesTest, APlaceNamedTwiceIsLookedAtOnce) {
    QTemporaryDir root;
    const QString r = root.path();
    const ScopedEnvironment home("XDG_DATA_HOME", r + "/home/.local/share");
    const ScopedEnvironment system("XDG_DATA_DIRS", r + "/usr/share");

    EXPECT_EQ(dataFileCandidates(r + "/usr/bin/", "site.txt"),
              (QStringList{r + "/usr/bin/site.txt", r + "/usr/share/rtu7350/site.txt",
                           r + "/home/.local/share/rtu7350/site.txt"}));
}

} // namespace
} // namespace rtu
