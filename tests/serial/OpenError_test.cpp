#include "serial/QtSerialLibrary.h"

#include "support/Application.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

// Why COM1 did not open on devices made in a scratch folder. (A port another program holds
// needs a pseudo-terminal: see QtSerialLibrary_test.cpp.)
class OpenErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        ASSERT_TRUE(scratch.isValid());
    }

    QString plainFile(const QString& name) {
        QFile file(scratch.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    }

    OpenError failureToOpen(const QString& device) {
        library.setDevice(0, device);
        EXPECT_NE(library.InitializePort(0, 0, 0, 0, 9, 0, 2048, 1024, 0), 0);
        return library.lastOpenError(0);
    }

    QTemporaryDir scratch;
    QtSerialLibrary library;
};

TEST_F(OpenErrorTest,
       AMissingDeviceIsSaidSoWithTheProgramsAdviceAndOtherFailuresInTheSystemsWords) {
    const QString missing = scratch.filePath(QStringLiteral("ttyUSB7"));
    const OpenError error = failureToOpen(missing);
    EXPECT_EQ(error.reason, OpenFailure::NoSuchDevice);
    EXPECT_EQ(error.device, missing);
    EXPECT_EQ(describeOpenError(error, QStringLiteral("pick another")),
              QStringLiteral("no such device; pick another"));

    const OpenError notSerial = failureToOpen(plainFile(QStringLiteral("notes.txt")));
    EXPECT_EQ(notSerial.reason, OpenFailure::Other);
    EXPECT_FALSE(notSerial.systemText.isEmpty());
    EXPECT_EQ(describeOpenError(notSerial, QStringLiteral("pick another")), notSerial.systemText);
}

TEST_F(OpenErrorTest, ADeviceTheUserMayNotUseSendsThemToTheDialoutGroup) {
    const QString device = plainFile(QStringLiteral("ttyUSB0"));
    ASSERT_TRUE(QFile::setPermissions(device, {}));
    if (QFileInfo(device).isReadable())
        GTEST_SKIP() << "file permissions do not bind this user (root)";
    const OpenError error = failureToOpen(device);
    EXPECT_EQ(error.reason, OpenFailure::PermissionDenied);
    EXPECT_EQ(describeOpenError(error), QStringLiteral("permission denied; join the dialout group "
                                                       "(sudo adduser $USER dialout), then log in "
                                                       "again"));
}

} // namespace
} // namespace rtu
