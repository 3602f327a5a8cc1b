#pragma once

#include "app/FileChooser.h"
#include "app/RememberedDevices.h"
#include "app/UserNotifier.h"
#include "serial/SerialDevices.h"
#include "serial/SerialLibrary.h"

#include <QString>

#include <array>
#include <optional>

class QWidget;

namespace rtu {

// The dialog that chooses the devices behind COM1..COM5; nullopt means cancelled.
class DeviceChooser {
public:
    virtual ~DeviceChooser() = default;
    virtual std::optional<PortDevices> chooseDevices(const PortDevices& current) = 0;
};

// Message boxes and the system beep, parented to the active window.
class MessageBoxNotifier : public UserNotifier {
public:
    void showMessage(const QString& text, const QString& title, MessageIcon icon) override;
    void beep() override;
    bool ask(const QString& text, const QString& title) override;
    SaveChoice askToSave(const QString& text, const QString& title) override;
};

// A file dialog with the given title, "*.txt"-style pattern and proposed name.
class FileDialogChooser : public FileChooser {
public:
    QString chooseFile(Purpose purpose, const QString& title, const QString& pattern,
                       const QString& proposedName) override;
};

// The device dialog: one editable list per port, offering the serial ports the system
// reports (with their stable names and descriptions) and taking any typed path such as
// /dev/pts/3. A device chosen comes back by its stable name in `byIdDir` when it has one,
// so that the port still finds an adapter replugged into another socket.
class PortDevicesDialogChooser : public DeviceChooser {
public:
    explicit PortDevicesDialogChooser(QString byIdDir = stableNameDirectory())
        : byIdDir_(std::move(byIdDir)) {}
    std::optional<PortDevices> chooseDevices(const PortDevices& current) override;

private:
    QString byIdDir_;
};

} // namespace rtu
