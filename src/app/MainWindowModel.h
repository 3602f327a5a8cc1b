#pragma once

#include "app/BatchWindows.h"
#include "app/EditsOnClose.h"
#include "app/FileChooser.h"
#include "app/Lifecycle.h"
#include "app/PortSelection.h"
#include "app/ReplyWait.h"
#include "app/Session.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace rtu {

class SerialLibrary;
class TerminalScreen;
class UserNotifier;
struct ReadReport;
struct UnitComparison;

// What the main window does, without its widgets: the program and read actions with their
// confirmations and one-line outcomes, "Save" and "Load" through the file dialog, the RTS
// buttons and the keys typed on the terminal screen, the status tick, start-up and shutdown.
// It owns the session, the port selection, the lifecycle and the reply wait; the window
// mirrors what it reports and hands it the operator's clicks.
class MainWindowModel : public QObject {
    Q_OBJECT
public:
    struct Environment {
        SerialLibrary& library;
        TerminalScreen& screen; // the terminal window's log
        BatchUi& ui;            // what a batch does to the windows
        PortMenus& menus;       // the port menus' check marks
        UserNotifier& notifier;
        FileChooser& files;
        QString directory;             // where the port settings files and "lastfile.txt" live
        QString workRecordFolder = {}; // empty: no work record
    };

    static constexpr int StatusTickMs = 1000;

    explicit MainWindowModel(const Environment& environment, QObject* parent = nullptr);

    Session& session() { return session_; }
    PortSelection& ports() { return ports_; }
    ReplyWait& replyWait() { return replyWait_; }

    // The start-up (after the terminal window is shown), then the first status and the
    // status tick once a second.
    void startUp(const std::function<void()>& showMainWindow);
    // Ends the status tick and runs the shutdown once; the files that could not be written
    // are named in a message box. Returns false when it had already run.
    bool shutDown();
    bool hasShutDown() const { return lifecycle_.hasShutDown(); }
    // A close asked for while an exchange runs stops the exchange at its line boundary and
    // waits: closeReady follows its end. Then unsaved edits are saved, discarded or the
    // close cancelled, as the operator answers. Returns whether the program may close now.
    bool requestClose();
    // The program ends with no one to ask: unsaved edits go to the recovery file.
    void endWithoutAsking() { editsOnClose_.endWithoutAsking(); }

    // The buttons. Each ends with its outcome (outcomeChanged); the reads return it too.
    void program();
    void programAll();
    QString read();
    QString readAll();
    QString readUnansweredAgain();
    void save();
    void load();
    // "Export Report...": the site report of the configuration on screen, through the file
    // dialog, with the last comparison when there is one.
    void exportReport(const UnitComparison* lastComparison = nullptr);
    void setRts(bool raised);
    // The "Version" menu entry: the program's own version in a message box.
    void showVersion();
    // What the operator types on the terminal screen goes to the unit.
    void sendTypedKeys(const QString& text);

    // The status tick: a lost port opened again once it is back (not under a running
    // exchange), and the status at this time.
    void refreshPortStatus();

signals:
    // The status line's text; empty clears it.
    void outcomeChanged(const QString& text);
    void portStatusChanged(const rtu::PortStatus& status);
    // "Read Unanswered Again" has lines to read and an open port.
    void readAgainEnabledChanged(bool enabled);
    // The exchange a close waited for has ended.
    void closeReady();

private:
    bool confirmProgram(const QString& action, const QStringList& readLines);
    void finishProgram(const QString& action, bool completed, int linesSent,
                       const QStringList& records, const QString& wholeUnitDone = {});
    QString finishRead(const QString& action, bool completed, const ReadReport& report,
                       const QString& wholeUnitDone = {});
    QString stoppedOutcome(const QString& action, const QString& wholeUnitDone) const;
    QString announce(const QString& text);
    QString chooseFile(FileChooser::Purpose purpose);
    void refreshReadAgain();

    Environment env_;
    BatchWindows batchWindows_;
    Session session_;
    ReplyWait replyWait_;
    PortSelection ports_;
    Lifecycle lifecycle_;
    EditsOnClose editsOnClose_;
    QTimer statusTimer_;
    bool exchangeRunning_ = false;
    bool closePending_ = false;
    bool portControlsEnabled_ = false;
};

} // namespace rtu
