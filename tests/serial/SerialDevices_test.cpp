#include "serial/SerialDevices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace rtu {
namespace {

// A scratch stand-in for /dev: two USB adapters and a built-in port as plain files, and a
// by-id folder of links as udev makes them, one left behind by an adapter since unplugged.
class StableNames : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dev.isValid());
        ASSERT_TRUE(QDir(dev.path()).mkpath(QStringLiteral("serial/by-id")));
        for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyS0"}) {
            QFile device(path(name));
            ASSERT_TRUE(device.open(QIODevice::WriteOnly));
        }
        link("../../ttyUSB1", Ftdi);
        link(path("ttyUSB0").toStdString(), Prolific);
        link("../../ttyUSB9", "usb-FTDI_FT232R_USB_UART_GONE-if00-port0");
        link("/dev/null", CharacterDevice); // the real links lead to character devices
    }

    void link(const std::string& target, const QString& name) {
        std::filesystem::create_symlink(target, path("serial/by-id/" + name).toStdString());
    }
    QString path(const QString& name) const { return dev.filePath(name); }
    QString byId() const { return path(QStringLiteral("serial/by-id")); }

    static inline const QString Ftdi = "usb-FTDI_FT232R_USB_UART_A9X1-if00-port0";
    static inline const QString Prolific = "usb-Prolific_PL2303-if00-port0";
    static inline const QString CharacterDevice = "usb-Null_Modem-if00-port0";
    QTemporaryDir dev;
};

TEST_F(StableNames, AnAdapterIsFoundByTheLinkThatLeadsToItWhateverItsShortName) {
    const struct {
        QString device;
        QString stable;
    } cases[] = {
        {path("ttyUSB1"), byId() + "/" + Ftdi},     // a relative link, as udev makes them
        {path("ttyUSB0"), byId() + "/" + Prolific}, // an absolute one
        {byId() + "/" + Ftdi, byId() + "/" + Ftdi}, // named by its stable name already
        {"/dev/null", byId() + "/" + CharacterDevice},
        {path("ttyS0"), ""},   // a built-in port has none
        {path("ttyUSB9"), ""}, // gone: the dangling link is no match
    };
    for (const auto& [device, stable] : cases) {
        EXPECT_EQ(stableDeviceName(device, byId()), stable) << device.toStdString();
        EXPECT_EQ(preferredDeviceName(device, byId()), stable.isEmpty() ? device : stable)
            << device.toStdString();
    }
    // Without the folder (no adapter ever plugged in, or not Linux) there are no stable names.
    EXPECT_EQ(stableDeviceName(path("ttyUSB1"), path("nowhere")), QString());
    EXPECT_EQ(stableDeviceName(path("ttyUSB1"), QString()), QString());
}

} // namespace
} // namespace rtu
