#pragma once

#include "config/Records.h"
#include "config/UnitSettings.h"
#include "protocol/Exchange.h"
#include "protocol/UnitCommands.h"
#include "serial/LinkState.h"
#include "serial/Receiver.h"
#include "serial/TerminalScreen.h"
#include "support/FakeSerialLibrary.h"
#include "support/RecordingBatchListener.h"

#include <QDateTime>
#include <QRegularExpression>

namespace rtu {

// The command protocol wired as the program wires it, on a scripted serial library: every
// settle delay runs the receiver tick, so registered answers reach the reply buffer during
// the wait. Port 0 (COM1) is open, the records hold their defaults and the PC clock reads
// 2024-03-07 09:05:03.
struct ProtocolRig {
    ProtocolRig() {
        SetAllDefaults(tables);
        link.CurrentPort = 0;
        library.onDelay = [this] { receiver.PollReceiver(); };
    }

    // The library calls of the given kind ("CdrvDelay", "RtsOn"), in order.
    QStringList callsNamed(const QString& name) const {
        return library.calls().filter(QRegularExpression("^" + name + " "));
    }

    FakeSerialLibrary library;
    LinkState link;
    TextTerminalScreen screen;
    RecordingBatchListener listener{&library.calls()};
    UnitSettings settings;
    UnitRows rows;
    RecordTables tables;
    Receiver receiver{library, link, screen};
    Exchange exchange{library, link, screen, listener};
    UnitCommands commands{exchange, settings, rows, tables,
                          [] { return QDateTime(QDate(2024, 3, 7), QTime(9, 5, 3)); }};
};

} // namespace rtu
