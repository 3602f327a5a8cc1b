#pragma once

#include "app/UnansweredReads.h"
#include "app/UnitSettingsModel.h"
#include "app/UnsavedEdits.h"
#include "app/WorkRecorder.h"
#include "config/Records.h"
#include "protocol/Exchange.h"
#include "protocol/UnitCommands.h"
#include "serial/LinkState.h"
#include "serial/Receiver.h"

#include <QObject>
#include <QTimer>

namespace rtu {

class BatchListener;
class SerialLibrary;
class TerminalScreen;
class UserNotifier;

// Owns the program's shared state (the link with its port, parameter block and reply
// buffer, the record tables, the unit settings) and the engine working on it (the
// receiver, the exchange and the command groups). The desktop program and the command-line
// tool each make one and pass it by reference.
class Session : public QObject {
    Q_OBJECT
public:
    // The receiver ticks whenever the library says bytes are waiting, and on a timer as a
    // safety net; every tick drains all waiting bytes. The library's notice makes a busy
    // 1 ms timer unnecessary: the net only has to come round well inside the shortest
    // settle delay (15 units of at least 2 ms).
    static constexpr int ReceiverTickMs = 10;

    Session(
        SerialLibrary& library, TerminalScreen& screen, BatchListener& listener,
        UserNotifier& notifier,
        UnitCommands::Clock clock = [] { return QDateTime::currentDateTime(); },
        QObject* parent = nullptr);

    SerialLibrary& library() { return library_; }
    UserNotifier& notifier() { return notifier_; }
    LinkState link;
    RecordTables tables;
    UnitSettingsModel settings;
    UnansweredReads unanswered{settings};
    Receiver receiver;
    Exchange exchange;
    UnitCommands commands;
    UnsavedEdits edits{settings, tables, exchange};
    WorkRecorder record{*this};

private:
    SerialLibrary& library_;
    UserNotifier& notifier_;
    QTimer receiverTimer_;
};

} // namespace rtu
