#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace rtu {

class BatchListener;
class PortSelection;
class Session;
class UserNotifier;

// The program's start-up and shutdown over the session, the port selection and the files
// in the working directory: the port settings files "COM.dat" and "uart.dat" and the
// configuration written to "lastfile.txt" at every exit. The windows' own steps (showing
// the terminal window, unloading the windows) belong to the caller.
class Lifecycle {
public:
    static constexpr const char* LastFileName = "lastfile.txt";

    Lifecycle(Session& session, PortSelection& ports, BatchListener& listener,
              UserNotifier& notifier, QString directory);

    // Runs after the terminal window is shown: record defaults, `showMainWindow`, Clock
    // "Auto", the stored port opened, the saved line settings (or the defaults) applied,
    // RTS lowered and the empty batch pulsed. A run-time error stops it where it stands
    // with two beeps; returns false then.
    bool startUp(const std::function<void()>& showMainWindow = {});

    // Writes "lastfile.txt"; with a port open, writes "UART.DAT" and "COM.DAT" and closes
    // the port. A failed write never stops the remaining steps. Runs once: later calls do
    // nothing. Returns one line per problem met (empty when all went well).
    QStringList shutDown();
    bool hasShutDown() const { return shutDown_; }

    QString lastFilePath() const;

private:
    void restorePort();

    Session& session_;
    PortSelection& ports_;
    BatchListener& listener_;
    UserNotifier& notifier_;
    QString directory_;
    bool shutDown_ = false;
};

} // namespace rtu
