#pragma once

#include "protocol/BatchUi.h"
#include "serial/SerialLibrary.h"

#include <QString>
#include <QStringView>

namespace rtu {

class TerminalScreen;
class UserNotifier;
struct ReplyShape;
struct LinkState;

// Settle counts, in CdrvDelay units, after each kind of command line.
inline constexpr int UnitSettleCount = 25;          // unit-settings "S" and "G" lines
inline constexpr int ModuleProgramSettleCount = 20; // tank, G4 and 4-20mA "S" lines
inline constexpr int ModuleReadSettleCount = 15;    // tank, G4 and 4-20mA "G" lines

// The exchange frame: one command line out, a fixed settle delay during which the receiver
// collects the reply, the reply picked out of the reply buffer by keyword; and the batch
// that a user action wraps around its lines (RTS raised, windows locked, busy pointer).
class Exchange : public QObject {
    Q_OBJECT
public:
    Exchange(SerialLibrary& library, LinkState& link, TerminalScreen& screen, BatchUi& ui,
             UserNotifier& notifier);

    // Sends `line` (which already ends in CR LF), logs it on the terminal screen and waits
    // `settleCount` units. Throws PortLostError when the port was lost during this batch,
    // RuntimeError when no port is open or a stop was requested.
    void SendCommandLine(const QString& line, int settleCount);
    // The same for a read line whose reply has `shape`: a library pacing by replies ends the
    // wait once that reply is in.
    void SendReadLine(const QString& line, int settleCount, const ReplyShape& shape);

    // What the unit answered to the last line sent: the reply buffer without the echo of
    // that line, which a 2-wire RS-485 adapter sends back ahead of the reply, and without
    // line-end bytes ahead of the reply (the end of a reply that came after its own wait).
    QString reply() const;
    // 1-based position of the first occurrence of keyword in reply(), 0 if none.
    int FindReply(QStringView keyword) const;
    // The field of `width` characters at `offset` from a keyword found at 1-based
    // `position`; it ends early at the end of the reply line (a CR or LF can never be part
    // of a setting) and is empty when the reply ends first.
    QString replyField(int position, int offset, int width) const;
    // Whether the reply line of a keyword found at 1-based `position` has its line end. Until
    // it has, the unit may still be sending and the line's last field may be cut short.
    bool lineEndedAt(int position) const;
    void clearReplyBuffer();

    // The main window's program batch: error trap armed by the caller (see
    // runProgramBatch), RTS on, indicator red, hourglass, starting window and terminal
    // disabled; and its closing.
    void BeginExchangeBatch(Window window);
    void EndExchangeBatch(Window window);
    // The read-order bracket of the main window's read actions; opening clears the buffer.
    void BeginReadBatch();
    void EndReadBatch();
    // A module window's program batch: the window and the terminal window are locked
    // before RTS rises, and unlocked after it falls.
    void BeginModuleProgram(Window window);
    void EndModuleProgram(Window window);
    // A module window's read: only that window and the terminal window are locked (RTS,
    // its indicator and the pointer stay as they are).
    void BeginModuleRead(Window window);
    void EndModuleRead(Window window);

    // The empty batch run once at start-up when a port is open.
    void PulseRts();

    // How a program batch reports a run-time error: the module windows stay silent.
    enum class ErrorReport { Silent, Beep, MessageAndBeep };
    // Runs body inside BeginExchangeBatch/EndExchangeBatch for window. A RuntimeError (or
    // any std::exception) thrown by body skips the rest, is reported as `report` says and
    // the batch is still closed. Returns false when the body was cut short; lastError()
    // then says why.
    template <typename Body> bool runProgramBatch(Window window, ErrorReport report, Body&& body);
    // The same for a module window's "Program", whose errors end it silently.
    template <typename Body> bool runModuleProgram(Window window, Body&& body);
    // Runs body inside the read-order bracket. A RuntimeError ends the read orderly
    // (no report to the operator here; the caller decides). Returns false if cut short.
    template <typename Body> bool runReadBatch(Body&& body);
    // Runs body inside a module window's read. A run-time error (a lost port) ends it; the
    // windows are always enabled again. Returns false if cut short.
    template <typename Body> bool runModuleRead(Window window, Body&& body);

    QString lastError() const { return lastError_; }
    // Of the batch running or last run: whether the port was lost during it, and how many
    // lines had been sent and waited for before it ended.
    bool portLost() const { return portLostInBatch_; }
    int completedLines() const { return completedLines_; }

    // The program is ending: the running batch, and any later one, stops at the next line
    // boundary. The line waiting now has its wait cut short (at a slow line speed it could
    // last minutes) and does not count as completed; no further line is sent. The batch
    // closes as usual and reports no error to the operator. For good: it is never taken back.
    void requestStop();
    bool stopRequested() const { return stopRequested_; }

signals:
    // A batch (or a module window's read) opened or closed: the program must not end in
    // between, and the receiver's safety net runs only meanwhile.
    void runningChanged(bool running);

public:
    LinkState& link() { return link_; }
    BatchUi& ui() { return ui_; }

private:
    // Opens a bracket, runs body with the error trap armed, reports a trapped error as
    // `report` says and always closes the bracket.
    template <typename Open, typename Body, typename Close>
    bool runBracketed(Open&& open, Body&& body, Close&& close, ErrorReport report);
    void reportError(ErrorReport report);
    bool trap(const std::exception& error);
    void openBatch();
    void closeBatch();
    void throwIfCutShort();
    void lineDone();
    void send(const QString& line);
    bool replyIn(const ReplyShape& shape) const;

    SerialLibrary& library_;
    LinkState& link_;
    TerminalScreen& screen_;
    BatchUi& ui_;
    UserNotifier& notifier_;
    bool batchOpen_ = false; // a port loss counts only while a batch is open
    bool portLostInBatch_ = false;
    bool stopRequested_ = false;
    int completedLines_ = 0;
    QString lastError_;
    QString lastLine_; // the last line sent, CR LF included
};

template <typename Open, typename Body, typename Close>
bool Exchange::runBracketed(Open&& open, Body&& body, Close&& close, ErrorReport report) {
    bool completed = true;
    open();
    try {
        body();
    } catch (const std::exception& error) {
        completed = trap(error);
        if (!stopRequested_)
            reportError(report);
    }
    close();
    return completed;
}

template <typename Body>
bool Exchange::runProgramBatch(Window window, ErrorReport report, Body&& body) {
    return runBracketed([&] { BeginExchangeBatch(window); }, body,
                        [&] { EndExchangeBatch(window); }, report);
}

template <typename Body> bool Exchange::runModuleProgram(Window window, Body&& body) {
    return runBracketed([&] { BeginModuleProgram(window); }, body,
                        [&] { EndModuleProgram(window); }, ErrorReport::Silent);
}

template <typename Body> bool Exchange::runReadBatch(Body&& body) {
    return runBracketed([&] { BeginReadBatch(); }, body, [&] { EndReadBatch(); },
                        ErrorReport::Silent);
}

template <typename Body> bool Exchange::runModuleRead(Window window, Body&& body) {
    return runBracketed([&] { BeginModuleRead(window); }, body, [&] { EndModuleRead(window); },
                        ErrorReport::Silent);
}

} // namespace rtu
