#pragma once

#include "config/Records.h"
#include "config/UnitSettingsPanel.h"
#include "protocol/Exchange.h"
#include "protocol/UnitCommands.h"
#include "serial/LinkState.h"
#include "serial/Receiver.h"
#include "serial/TerminalScreen.h"
#include "support/FakeSerialLibrary.h"
#include "support/RecordingBatchUi.h"
#include "support/RecordingNotifier.h"

#include <QDateTime>

namespace rtu {

// The command protocol wired as the program wires it, on a scripted serial library: every
// settle delay runs the receiver tick, so registered answers reach the reply buffer during
// the wait. Port 0 (COM1) is open, the records hold their defaults and the PC clock reads
// 2024-03-07 09:05:03.
struct ProtocolRig {
    static QDateTime fixedNow() { return {QDate(2024, 3, 7), QTime(9, 5, 3)}; }

    ProtocolRig() {
        SetAllDefaults(tables);
        link.CurrentPort = 0;
        library.onDelay = [this] { receiver.PollReceiver(); };
    }

    // The unit answers `line` (without CR LF) with `reply`.
    void answer(const char* line, const QByteArray& reply) {
        library.answer(QString::fromLatin1(line), reply);
    }

    FakeSerialLibrary library;
    LinkState link;
    TextTerminalScreen screen;
    RecordingBatchUi ui{&library.calls()};
    RecordingNotifier notifier;
    UnitSettingsPanel panel{notifier};
    RecordTables tables;
    Receiver receiver{library, link, screen};
    Exchange exchange{library, link, screen, ui, notifier};
    UnitCommands commands{exchange, panel, tables, [] { return fixedNow(); }};
};

// What the batches do, interleaved with the library's RTS calls (port 0).
inline const QStringList ProgramBatchOpening{"RtsOn 0", "led 255", "pointer busy",
                                             "disable RtuForm", "disable TerminalForm"};
inline const QStringList ProgramBatchClosing{"enable TerminalForm", "enable RtuForm",
                                             "pointer default", "RtsOff 0", "led 16777215"};
inline const QStringList ReadBatchOpening{"disable RtuForm", "disable TerminalForm", "pointer busy",
                                          "RtsOn 0", "led 255"};
inline const QStringList ReadBatchClosing{"pointer default", "enable RtuForm",
                                          "enable TerminalForm", "RtsOff 0", "led 16777215"};

// The last n steps of a timeline.
inline QStringList lastSteps(const QStringList& timeline, qsizetype n) {
    return timeline.mid(timeline.size() - n);
}

// The library calls of the given kind ("CdrvDelay", "RtsOn"), in order.
inline QStringList callsNamed(const FakeSerialLibrary& library, const QString& name) {
    QStringList found;
    for (const QString& call : library.calls()) {
        if (call.startsWith(name + QLatin1Char(' ')))
            found << call;
    }
    return found;
}

} // namespace rtu
