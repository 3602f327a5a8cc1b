#include "app/PortSelection.h"

#include "serial/LineCodes.h"
#include "serial/LinkState.h"
#include "serial/TerminalScreen.h"

namespace rtu {

namespace {

// The constant arguments the port is opened with: receive and transmit queue sizes and
// the library's own options.
constexpr std::int16_t OpenOptionA = 0;
constexpr std::int16_t OpenOptionB = 9;
constexpr std::int16_t OpenOptionC = 0;
constexpr std::int16_t ReceiveQueueSize = 2048;
constexpr std::int16_t TransmitQueueSize = 1024;
constexpr std::int16_t OpenOptionD = 0;

} // namespace

QString portName(PortId port) {
    return QStringLiteral("COM%1").arg(port + 1);
}

PortSelection::PortSelection(SerialLibrary& library, LinkState& link, TerminalScreen& screen,
                             PortMenus& menus, QObject* parent)
    : QObject(parent), library_(library), link_(link), screen_(screen), menus_(menus) {
    connect(&library_, &SerialLibrary::portLost, this, &PortSelection::handlePortLost);
}

void PortSelection::SelectPort(PortId index) {
    lostPort_ = NoPort;
    uncheckAllPorts();
    if (link_.CurrentPort != NoPort) {
        uncheckLineSettings();
        writeStatusLine(QStringLiteral("Uninitialize Port Status = "),
                        library_.UnInitializePort(link_.CurrentPort));
    }
    link_.CurrentPort = index;
    InitPort();
    ApplyLineSettings();
}

void PortSelection::InitPort() {
    const PortId port = link_.CurrentPort;
    const std::int32_t result =
        library_.InitializePort(port, port, HexToInt(QString()), OpenOptionA, OpenOptionB,
                                OpenOptionC, ReceiveQueueSize, TransmitQueueSize, OpenOptionD);
    writeStatusLine(QStringLiteral("Initialize Port Status = "), result);
    if (result == 0) {
        library_.ser_rs232_getport(port, link_.PortRecord);
        checkLineSettings();
    } else {
        writeOpenError(port);
        link_.CurrentPort = NoPort;
    }
}

bool PortSelection::ApplyLineSettings() {
    PortParameterBlock& record = link_.PortRecord;
    takeCarriedProtocol();
    const std::int32_t result = library_.SetPortCharacteristics(
        link_.CurrentPort, record.BaudCode(), record.ParityCode(), record.LengthCode(),
        record.StopBitsCode(), record.ProtocolCode());
    if (result != 0) {
        followRunningSettings();
        return false;
    }
    checkLineSettings();
    menus_.setChecked(PortMenu::ComPortSet, link_.CurrentPort, true);
    return true;
}

// A line protocol the serial layer cannot carry out must not hold up the other settings nor
// show as running: its nearest one takes its place, and the operator is told.
void PortSelection::takeCarriedProtocol() {
    PortParameterBlock& record = link_.PortRecord;
    const std::int16_t asked = record.ProtocolCode();
    const std::int16_t carried = library_.nearestLineProtocol(asked);
    if (carried == asked)
        return;
    menus_.setChecked(PortMenu::LineProtocol, asked, false);
    record.setProtocolCode(carried);
    menus_.setChecked(PortMenu::LineProtocol, carried, true);
    screen_.appendLine(
        QStringLiteral("Line protocol %1 cannot be carried out here; using %2")
            .arg(lineProtocolCaptions().value(asked), lineProtocolCaptions().value(carried)));
}

// Settings the port refused leave it running the previous ones: the codes, the marks and
// the status bar follow what it runs.
void PortSelection::followRunningSettings() {
    PortParameterBlock running;
    if (link_.CurrentPort == NoPort || library_.ser_rs232_getport(link_.CurrentPort, running) != 0)
        return;
    PortParameterBlock& record = link_.PortRecord;
    uncheckLineSettings();
    record.setBaudCode(running.BaudCode());
    record.setParityCode(running.ParityCode());
    record.setLengthCode(running.LengthCode());
    record.setStopBitsCode(running.StopBitsCode());
    record.setProtocolCode(running.ProtocolCode());
    checkLineSettings();
    const QStringList captions{baudCaptions().value(record.BaudCode()),
                               parityCaptions().value(record.ParityCode()),
                               lengthCaptions().value(record.LengthCode()),
                               stopBitsCaptions().value(record.StopBitsCode()),
                               lineProtocolCaptions().value(record.ProtocolCode())};
    screen_.appendLine(QStringLiteral("The port refused these line settings; it keeps ") +
                       captions.join(QStringLiteral(", ")));
}

void PortSelection::LineSettingClick(PortMenu menu, int index) {
    menus_.setChecked(menu, lineCode(menu), false);
    setLineCode(menu, index);
    // Length applies before it checks its entry; the marks end up the same.
    if (menu != PortMenu::Length)
        menus_.setChecked(menu, index, true);
    ApplyLineSettings();
    if (menu == PortMenu::Length)
        menus_.setChecked(menu, index, true);
}

int PortSelection::lineCode(PortMenu menu) const {
    const PortParameterBlock& record = link_.PortRecord;
    switch (menu) {
    case PortMenu::Baud:
        return record.BaudCode();
    case PortMenu::Parity:
        return record.ParityCode();
    case PortMenu::Length:
        return record.LengthCode();
    case PortMenu::StopBits:
        return record.StopBitsCode();
    case PortMenu::LineProtocol:
        return record.ProtocolCode();
    case PortMenu::ComPortSet:
        break; // not a line setting
    }
    return -1;
}

void PortSelection::setLineCode(PortMenu menu, int code) {
    PortParameterBlock& record = link_.PortRecord;
    const auto code16 = static_cast<std::int16_t>(code);
    switch (menu) {
    case PortMenu::Baud:
        return record.setBaudCode(code);
    case PortMenu::Parity:
        return record.setParityCode(code16);
    case PortMenu::Length:
        return record.setLengthCode(code16);
    case PortMenu::StopBits:
        return record.setStopBitsCode(code16);
    case PortMenu::LineProtocol:
        return record.setProtocolCode(code16);
    case PortMenu::ComPortSet:
        return;
    }
}

void PortSelection::checkLineSettings() {
    const PortParameterBlock& record = link_.PortRecord;
    menus_.setChecked(PortMenu::Length, record.LengthCode(), true);
    menus_.setChecked(PortMenu::Parity, record.ParityCode(), true);
    menus_.setChecked(PortMenu::Baud, record.BaudCode(), true);
    menus_.setChecked(PortMenu::StopBits, record.StopBitsCode(), true);
    menus_.setChecked(PortMenu::LineProtocol, record.ProtocolCode(), true);
}

void PortSelection::uncheckLineSettings() {
    const PortParameterBlock& record = link_.PortRecord;
    menus_.setChecked(PortMenu::Length, record.LengthCode(), false);
    menus_.setChecked(PortMenu::Parity, record.ParityCode(), false);
    menus_.setChecked(PortMenu::Baud, record.BaudCode(), false);
    menus_.setChecked(PortMenu::StopBits, record.StopBitsCode(), false);
    menus_.setChecked(PortMenu::LineProtocol, record.ProtocolCode(), false);
}

void PortSelection::uncheckAllPorts() {
    for (int port = 0; port < PortCount; ++port)
        menus_.setChecked(PortMenu::ComPortSet, port, false);
}

void PortSelection::writeStatusLine(const QString& prefix, std::int32_t result) {
    screen_.appendLine(prefix + (result == 0 ? QStringLiteral("OK") : QStringLiteral("Failure")));
}

// The status line says only "Failure": the device and why follow, when the library can say.
void PortSelection::writeOpenError(PortId port) {
    const OpenError error = library_.lastOpenError(port);
    if (error.reason == OpenFailure::None)
        return;
    screen_.appendLine(
        QStringLiteral("%1 (%2): %3")
            .arg(portName(port), error.device, describeOpenError(error, missingDeviceAdvice_)));
}

PortStatus PortSelection::RefreshPortStatus(const QTime& now) const {
    PortStatus status;
    status.panels[0] = now.toString(QStringLiteral("hh:mm:ss"));
    if (link_.CurrentPort == NoPort)
        return status;
    const PortParameterBlock& record = link_.PortRecord;
    status.portControlsEnabled = true;
    status.panels[1] = portName(link_.CurrentPort);
    status.device =
        QStringLiteral("%1: %2").arg(status.panels[1], library_.device(link_.CurrentPort));
    // A code without a menu entry (a damaged settings file) shows as an empty panel.
    status.panels[2] = baudCaptions().value(record.BaudCode());
    status.panels[3] = parityCaptions().value(record.ParityCode());
    status.panels[4] = lengthCaptions().value(record.LengthCode());
    status.panels[5] = stopBitsCaptions().value(record.StopBitsCode());
    status.panels[6] = lineProtocolCaptions().value(record.ProtocolCode());
    status.modemLines = modemLineIndicators(library_.modemLines(link_.CurrentPort));
    return status;
}

QString PortSelection::portEntryTip(PortId port) const {
    return QStringLiteral("%1 opens %2 (%3)")
        .arg(portName(port), library_.device(port),
             library_.deviceAvailable(port) ? QStringLiteral("present")
                                            : QStringLiteral("not present"));
}

// An adapter that goes away must not leave the program sending into the void: the port
// is released and counts as closed, so the status tick disables what needs a port and
// picking the port again retries the open. The stored line settings are kept.
void PortSelection::handlePortLost(PortId port) {
    if (port == NoPort || port != link_.CurrentPort)
        return;
    screen_.appendLine(QStringLiteral("Port %1 lost: the serial device is gone; plug it back "
                                      "in and the port opens again by itself")
                           .arg(portName(port)));
    uncheckAllPorts();
    uncheckLineSettings();
    library_.UnInitializePort(port);
    link_.CurrentPort = NoPort;
    lostPort_ = port;
}

void PortSelection::reopenLostPort() {
    if (lostPort_ == NoPort || link_.CurrentPort != NoPort || !library_.deviceAvailable(lostPort_))
        return;
    const PortId port = lostPort_;
    screen_.appendLine(QStringLiteral("Port %1 is back: opening it again").arg(portName(port)));
    // One try: should it fail, picking the port from the menu tries again.
    SelectPort(port);
}

} // namespace rtu
