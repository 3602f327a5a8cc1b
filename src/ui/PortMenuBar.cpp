#include "ui/PortMenuBar.h"

#include "app/ReplyWait.h"
#include "serial/LineCodes.h"
#include "ui/Widgets.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace rtu {

void PortMenuBar::build(QMenuBar* bar, PortSelection& ports, ReplyWait& replyWait) {
    ports_ = &ports;
    QMenu* portNumber =
        addMenu(bar, QStringLiteral("Port Initialization"), QStringLiteral("PortNumber"));
    QMenu* setPortNumber =
        addSubmenu(portNumber, QStringLiteral("Set Port Number"), QStringLiteral("SetPortNumber"));
    QStringList portNames;
    for (PortId port = 0; port < PortCount; ++port)
        portNames << portName(port);
    addEntries(setPortNumber, portNames, QStringLiteral("ComPortSet"), PortMenu::ComPortSet);
    // The captions stay "COM1".."COM5"; the device and whether it is there now are told in a
    // tooltip, looked at again each time the menu opens (an adapter comes and goes).
    setPortNumber->setToolTipsVisible(true);
    connect(setPortNumber, &QMenu::aboutToShow, this, &PortMenuBar::showPortDevices);
    portNumber->addSeparator();
    QAction* devices = addEntry(portNumber, QStringLiteral("Port Devices..."),
                                QStringLiteral("PortDevices"), false);
    devices->setStatusTip(QStringLiteral("Choose the serial device behind each of COM1 to COM5"));
    connect(devices, &QAction::triggered, this, &PortMenuBar::devicesRequested);

    characteristics_ =
        addMenu(bar, QStringLiteral("Port Characteristics"), QStringLiteral("PortCharacteristics"));
    addSettingMenu(characteristics_, QStringLiteral("Baud"), QStringLiteral("BaudList"),
                   QStringLiteral("Baud"), baudCaptions(), PortMenu::Baud);
    addSettingMenu(characteristics_, QStringLiteral("Parity"), QStringLiteral("ParityList"),
                   QStringLiteral("Parity"), parityCaptions(), PortMenu::Parity);
    addSettingMenu(characteristics_, QStringLiteral("Length"), QStringLiteral("LengthList"),
                   QStringLiteral("Length"), lengthCaptions(), PortMenu::Length);
    addSettingMenu(characteristics_, QStringLiteral("StopBits"), QStringLiteral("StopBitsList"),
                   QStringLiteral("StopBits"), stopBitsCaptions(), PortMenu::StopBits);
    addSettingMenu(characteristics_, QStringLiteral("Line Protocol"),
                   QStringLiteral("LineProtocolList"), QStringLiteral("LineProtocol"),
                   lineProtocolCaptions(), PortMenu::LineProtocol);
    characteristics_->addSeparator();
    addReplyWaitMenus(replyWait);
}

// Each list checks the entry the reply wait holds, whatever was clicked.
void PortMenuBar::addReplyWaitMenus(ReplyWait& replyWait) {
    const struct {
        QString caption;
        QString name;
        const QStringList& captions;
        void (ReplyWait::*choose)(int);
        int (ReplyWait::*chosen)() const;
    } lists[] = {{QStringLiteral("Reply Wait"), QStringLiteral("ReplyWait"),
                  ReplyWait::waitCaptions(), &ReplyWait::chooseWait, &ReplyWait::waitIndex},
                 {QStringLiteral("Reply Pacing"), QStringLiteral("ReplyPacing"),
                  ReplyWait::pacingCaptions(), &ReplyWait::choosePacing, &ReplyWait::pacingIndex}};
    for (const auto& list : lists) {
        QMenu* menu = addSubmenu(characteristics_, list.caption, list.name + "List");
        auto* group = new QActionGroup(menu);
        for (int index = 0; index < list.captions.size(); ++index) {
            QAction* entry = addEntry(menu, list.captions[index], indexed(list.name, index), true);
            group->addAction(entry);
            connect(entry, &QAction::triggered, &replyWait,
                    [&replyWait, choose = list.choose, index] { (replyWait.*choose)(index); });
            const auto mark = [entry, &replyWait, chosen = list.chosen, index] {
                entry->setChecked((replyWait.*chosen)() == index);
            };
            connect(&replyWait, &ReplyWait::changed, entry, mark);
            mark();
        }
    }
}

void PortMenuBar::addSettingMenu(QMenu* parent, const QString& caption, const QString& name,
                                 const QString& entryName, const QStringList& captions,
                                 PortMenu menu) {
    addEntries(addSubmenu(parent, caption, name), captions, entryName, menu);
}

void PortMenuBar::addEntries(QMenu* list, const QStringList& captions, const QString& entryName,
                             PortMenu menu) {
    for (int index = 0; index < captions.size(); ++index) {
        QAction* entry = addEntry(list, captions[index], indexed(entryName, index), true);
        entries_[std::size_t(menu)].push_back(entry);
        connect(entry, &QAction::triggered, this, [this, entry, index, menu](bool checked) {
            entry->setChecked(!checked); // the marks follow the port routines, not the click
            if (menu == PortMenu::ComPortSet)
                ports_->SelectPort(PortId(index));
            else
                ports_->LineSettingClick(menu, index);
        });
    }
}

void PortMenuBar::showPortDevices() {
    const std::vector<QAction*>& entries = entries_[std::size_t(PortMenu::ComPortSet)];
    for (std::size_t port = 0; port < entries.size(); ++port)
        entries[port]->setToolTip(ports_->portEntryTip(PortId(port)));
}

void PortMenuBar::setChecked(PortMenu menu, int index, bool checked) {
    const std::vector<QAction*>& entries = entries_[std::size_t(menu)];
    if (index >= 0 && std::size_t(index) < entries.size())
        entries[std::size_t(index)]->setChecked(checked);
}

void PortMenuBar::setCharacteristicsEnabled(bool enabled) {
    characteristics_->menuAction()->setEnabled(enabled);
}

} // namespace rtu
