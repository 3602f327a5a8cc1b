#include "serial/QtSerialLibrary.h"
#include "serial/SerialDevices.h"

#include "support/Application.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace rtu {
namespace {

// A scratch stand-in for /dev: two USB adapters and a built-in port as plain files, and a
// by-id folder of links as udev makes them, one left behind by an adapter since unplugged.
TEST(SerialDevices, AnAdapterIsFoundByTheLinkThatLeadsToItWhateverItsShortName) {
    QTemporaryDir dev;
    const QString byId = dev.filePath("serial/by-id");
    ASSERT_TRUE(QDir(dev.path()).mkpath(byId));
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyS0"})
        ASSERT_TRUE(QFile(dev.filePath(name)).open(QIODevice::WriteOnly));
    const QString ftdi = byId + "/usb-FTDI_FT232R_USB_UART_A9X1-if00-port0";
    const QString prolific = byId + "/usb-Prolific_PL2303-if00-port0";
    const QString nullModem = byId + "/usb-Null_Modem-if00-port0";
    std::filesystem::create_symlink("../../ttyUSB1", ftdi.toStdString()); // as udev makes them
    std::filesystem::create_symlink(dev.filePath("ttyUSB0").toStdString(), prolific.toStdString());
    std::filesystem::create_symlink("../../ttyUSB9", (byId + "/usb-FTDI_GONE-if00").toStdString());
    // The real links lead to character devices.
    std::filesystem::create_symlink("/dev/null", nullModem.toStdString());
    const std::pair<QString, QString> cases[] = {
        {dev.filePath("ttyUSB1"), ftdi},
        {dev.filePath("ttyUSB0"), prolific},
        {ftdi, ftdi}, // named by its stable name already
        {"/dev/null", nullModem},
        {dev.filePath("ttyS0"), ""},   // a built-in port has none
        {dev.filePath("ttyUSB9"), ""}, // gone: the dangling link is no match
    };
    for (const auto& [device, stable] : cases) {
        EXPECT_EQ(stableDeviceName(device, byId), stable) << device.toStdString();
        EXPECT_EQ(preferredDeviceName(device, byId), stable.isEmpty() ? device : stable)
            << device.toStdString();
    }
    // Without the folder (no adapter ever plugged in, or not Linux) there are no stable names.
    EXPECT_EQ(stableDeviceName(dev.filePath("ttyUSB1"), dev.filePath("nowhere")), QString());
    EXPECT_EQ(stableDeviceName(dev.filePath("ttyUSB1"), QString()), QString());
}

// Why COM1 did not open, on devices made in a scratch folder. (A port another program holds
// needs a pseudo-terminal: see QtSerialLibrary_test.cpp.)
TEST(OpenError, FailuresSayWhyWithTheProgramsAdviceOrInTheSystemsWords) {
    test::ensureApplication();
    QtSerialLibrary library;
    QTemporaryDir scratch;
    const auto failureToOpen = [&](const QString& name) {
        library.setDevice(0, scratch.filePath(name));
        EXPECT_NE(library.InitializePort(0, 0, 0, 0, 9, 0, 2048, 1024, 0), 0);
        return library.lastOpenError(0);
    };
    const OpenError missing = failureToOpen("ttyUSB7");
    EXPECT_EQ(missing.reason, OpenFailure::NoSuchDevice);
    EXPECT_EQ(missing.device, scratch.filePath("ttyUSB7"));
    EXPECT_EQ(describeOpenError(missing, "pick another"), "no such device; pick another");

    const QString plain = scratch.filePath("ttyUSB0");
    ASSERT_TRUE(QFile(plain).open(QIODevice::WriteOnly));
    const OpenError notSerial = failureToOpen("ttyUSB0");
    EXPECT_EQ(notSerial.reason, OpenFailure::Other);
    EXPECT_FALSE(notSerial.systemText.isEmpty());
    EXPECT_EQ(describeOpenError(notSerial, "pick another"), notSerial.systemText);

    ASSERT_TRUE(QFile::setPermissions(plain, {}));
    if (QFileInfo(plain).isReadable())
        GTEST_SKIP() << "file permissions do not bind this user (root)";
    const OpenError denied = failureToOpen("ttyUSB0");
    EXPECT_EQ(denied.reason, OpenFailure::PermissionDenied);
    EXPECT_EQ(describeOpenError(denied), "permission denied; join the dialout group (sudo adduser "
                                         "$USER dialout), then log in again");
}

} // namespace
} // namespace rtu
