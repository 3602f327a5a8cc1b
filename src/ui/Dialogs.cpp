#include "ui/Dialogs.h"

#include "app/PortSelection.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace rtu {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A port as its list shows it: the name the box takes (the stable one when there is one),
// then the short name and the description, such as
// "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A9X1-if00-port0  (/dev/ttyUSB0, FT232R USB UART)".
QString portCaption(const SerialPortEntry& port) {
    QStringList details;
    if (!port.stableName.isEmpty())
        details << port.device;
    if (!port.description.isEmpty())
        details << port.description;
    return details.isEmpty()
               ? port.name()
               : QStringLiteral("%1  (%2)").arg(port.name(), details.join(QStringLiteral(", ")));
}

// A list of the system's serial ports that also takes any typed device path.
QComboBox* deviceBox(const QString& current, const QList<SerialPortEntry>& ports, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (const SerialPortEntry& port : ports)
        box->addItem(portCaption(port), port.name());
    // Picking a listed port puts its bare name in the box.
    QObject::connect(box, &QComboBox::activated, box,
                     [box](int index) { box->setEditText(box->itemData(index).toString()); });
    box->setEditText(current);
    box->setMinimumContentsLength(28);
    return box;
}

} // namespace

void MessageBoxNotifier::showMessage(const QString& text, const QString& title, MessageIcon icon) {
    QMessageBox box(boxIcon(icon), title.isEmpty() ? QApplication::applicationDisplayName() : title,
                    text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void MessageBoxNotifier::beep() {
    QApplication::beep();
}

// Cancel is the default: a hurried Enter sends nothing.
bool MessageBoxNotifier::ask(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question,
                    title.isEmpty() ? QApplication::applicationDisplayName() : title, text,
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

// Save is the default: a hurried Enter loses nothing.
SaveChoice MessageBoxNotifier::askToSave(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question,
                    title.isEmpty() ? QApplication::applicationDisplayName() : title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

QString FileDialogChooser::chooseFile(Purpose purpose, const QString& title, const QString& pattern,
                                      const QString& proposedName) {
    QFileDialog dialog(QApplication::activeWindow(), title, QDir::currentPath(), pattern);
    if (purpose == Purpose::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // A name typed without a suffix takes the pattern's first ("*.txt", "(*.pdf *.html)").
        dialog.setDefaultSuffix(
            QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(pattern).captured(1));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

std::optional<PortDevices> PortDevicesDialogChooser::chooseDevices(const PortDevices& current) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("PortDevicesDialog"));
    dialog.setWindowTitle(QStringLiteral("Port Devices"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(
        new QLabel(QStringLiteral("The device each \"Set Port Number\" entry opens.\n"
                                  "A change takes effect when the port is next opened."),
                   &dialog));
    auto* form = new QFormLayout;
    const QList<SerialPortEntry> ports = listPorts(byIdDir_);
    std::array<QComboBox*, PortCount> boxes{};
    for (PortId port = 0; port < PortCount; ++port) {
        QComboBox* box = deviceBox(current[std::size_t(port)], ports, &dialog);
        box->setObjectName(QStringLiteral("Device_%1").arg(port));
        form->addRow(portName(port), box);
        boxes[std::size_t(port)] = box;
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    PortDevices chosen;
    // An entry left as it was comes back as it was, so that it does not pass for a choice.
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const QString text = boxes[i]->currentText().trimmed();
        chosen[i] = text == current[i] ? current[i] : preferredDeviceName(text, byIdDir_);
    }
    return chosen;
}

} // namespace rtu
