#pragma once

#include "app/PortSelection.h"

#include <QObject>

#include <array>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace rtu {

class ReplyWait;

// The main window's port menus: "Port Initialization" (COM1..COM5 under "Set Port Number",
// and "Port Devices...") and "Port Characteristics" with its five setting lists. A click
// goes to the port selection; the check marks follow what the port routines report, not
// the click. Beside the five, "Reply Wait" and "Reply Pacing" show and set the reply wait.
class PortMenuBar : public QObject, public PortMenus {
    Q_OBJECT
public:
    using QObject::QObject;

    // Adds both menus to bar, wired to ports and the reply wait.
    void build(QMenuBar* bar, PortSelection& ports, ReplyWait& replyWait);
    void setChecked(PortMenu menu, int index, bool checked) override;
    // "Port Characteristics" needs an open port.
    void setCharacteristicsEnabled(bool enabled);

signals:
    void devicesRequested();

private:
    void addSettingMenu(QMenu* parent, const QString& caption, const QString& name,
                        const QString& entryName, const QStringList& captions, PortMenu menu);
    void addEntries(QMenu* list, const QStringList& captions, const QString& entryName,
                    PortMenu menu);
    void addReplyWaitMenus(ReplyWait& replyWait);
    void showPortDevices();

    PortSelection* ports_ = nullptr;
    std::array<std::vector<QAction*>, 6> entries_; // indexed by PortMenu
    QMenu* characteristics_ = nullptr;
};

} // namespace rtu
