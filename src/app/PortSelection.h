#pragma once

#include "app/ModemLineStatus.h"
#include "serial/SerialLibrary.h"

#include <QObject>
#include <QString>
#include <QTime>

#include <array>
#include <cstdint>

namespace rtu {

class TerminalScreen;
struct LinkState;

// The control arrays of the port menus: "Set Port Number" and the five submenus of
// "Port Characteristics". An entry's index is the code it stands for.
enum class PortMenu { ComPortSet, Baud, Parity, Length, StopBits, LineProtocol };

// The check marks of the port menus. The desktop program sets them on its menu entries;
// an index without an entry is ignored.
class PortMenus {
public:
    virtual ~PortMenus() = default;
    virtual void setChecked(PortMenu menu, int index, bool checked) = 0;
};

// For tools without menus.
class NoPortMenus : public PortMenus {
public:
    void setChecked(PortMenu, int, bool) override {}
};

// What the status tick shows: the seven panels of the terminal window's status bar
// (panels[0] is panel 1), the device behind the open port ("COM1: /dev/ttyUSB0", empty
// while none is open), whether the controls that need an open port ("Program All",
// "Read All", the "Port Characteristics" menu) are enabled, and the port's modem lines.
struct PortStatus {
    static constexpr int PanelCount = 7;
    std::array<QString, PanelCount> panels;
    QString device;
    bool portControlsEnabled = false;
    ModemLineIndicators modemLines = modemLineIndicators(std::nullopt);
};

// Opening, closing and configuring the serial port from the port menus, with the check
// marks that show the settings and the messages that report port changes on the terminal
// screen. It also notices a port that goes away (adapter unplugged): the port then counts
// as closed until the operator picks it again.
class PortSelection : public QObject {
    Q_OBJECT
public:
    PortSelection(SerialLibrary& library, LinkState& link, TerminalScreen& screen, PortMenus& menus,
                  QObject* parent = nullptr);

    // A click on a "Set Port Number" entry (and the start-up with the stored index): closes
    // the open port, opens the chosen one and applies its line settings.
    void SelectPort(PortId index);
    // Opens CurrentPort and reads its parameters back; CurrentPort becomes -1 on failure,
    // and the screen says which device did not open and why.
    void InitPort();
    // Sends the five codes to the library; checks their entries if it accepts them.
    // Returns whether it did.
    bool ApplyLineSettings();

    // A click on an entry of one of the five "Port Characteristics" submenus (not
    // ComPortSet): the code changes, its marks move and the settings are applied.
    void LineSettingClick(PortMenu menu, int index);

    // What the line after a failed open advises when the device does not exist, such as
    // where to choose another.
    void setMissingDeviceAdvice(const QString& advice) { missingDeviceAdvice_ = advice; }

    // Unchecks the entries of the five current codes.
    void uncheckLineSettings();

    // The status tick: a port lost with its adapter is opened again once the device is back.
    void reopenLostPort();

    // The status tick's view of the port at time `now`.
    PortStatus RefreshPortStatus(const QTime& now) const;

    // What a "Set Port Number" entry tells beside its caption: the device the port opens and
    // whether that device is there now, such as "COM1 opens /dev/ttyUSB0 (present)".
    QString portEntryTip(PortId port) const;

private:
    void takeCarriedProtocol();
    void followRunningSettings();
    int lineCode(PortMenu menu) const;
    void setLineCode(PortMenu menu, int code);
    void checkLineSettings();
    void uncheckAllPorts();
    void writeStatusLine(const QString& prefix, std::int32_t result);
    void writeOpenError(PortId port);
    void handlePortLost(PortId port);

    PortId lostPort_ = NoPort; // lost with its adapter and not replaced since

    SerialLibrary& library_;
    LinkState& link_;
    TerminalScreen& screen_;
    PortMenus& menus_;
    QString missingDeviceAdvice_;
};

// "COM1" .. "COM5" for port ids 0..4.
QString portName(PortId port);

} // namespace rtu
