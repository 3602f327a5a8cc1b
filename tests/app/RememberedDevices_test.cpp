#include "app/RememberedDevices.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

TEST(RememberedDevices, ChosenDevicesComeBackInTheNextRun) {
    QTemporaryDir dir;
    const QString path = dir.filePath("rtu7350.conf");
    EXPECT_EQ(rememberedDevices(QSettings(path, QSettings::IniFormat)), PortDevices{})
        << "nothing remembered: the library's defaults";
    const PortDevices chosen{"/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0", "", "/dev/pts/3",
                             "", ""};
    {
        QSettings settings(path, QSettings::IniFormat);
        rememberDevices(settings, chosen);
    }
    EXPECT_EQ(rememberedDevices(QSettings(path, QSettings::IniFormat)), chosen);
}

} // namespace
} // namespace rtu
