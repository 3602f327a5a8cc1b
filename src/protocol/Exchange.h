#pragma once

#include "protocol/BatchListener.h"
#include "serial/SerialLibrary.h"

#include <QString>
#include <QStringView>

namespace rtu {

class TerminalScreen;
struct ReplyShape;
struct LinkState;

// Settle counts, in CdrvDelay units, after each kind of command line.
inline constexpr int UnitSettleCount = 25;          // unit-settings "S" and "G" lines
inline constexpr int ModuleProgramSettleCount = 20; // tank, G4 and 4-20mA "S" lines
inline constexpr int ModuleReadSettleCount = 15;    // tank, G4 and 4-20mA "G" lines

// The exchange frame: one command line out, a fixed settle delay during which the receiver
// collects the reply, the reply picked out of the reply buffer by keyword; and the batch
// that a user action wraps around its lines (RTS raised), reported to a listener as it goes.
class Exchange : public QObject {
    Q_OBJECT
public:
    Exchange(SerialLibrary& library, LinkState& link, TerminalScreen& screen,
             BatchListener& listener);

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

    // Opens `batch`: RTS raised (but for a module read) and the listener told each step; a
    // read of the main window's also empties the reply buffer. Closing puts the terminal
    // screen's caret at the end and lowers RTS again.
    void BeginExchangeBatch(const Batch& batch);
    void EndExchangeBatch(const Batch& batch);

    // The empty batch run once at start-up when a port is open.
    void PulseRts();

    // Runs body inside BeginExchangeBatch/EndExchangeBatch. A RuntimeError (or any
    // std::exception) thrown by body skips the rest, is reported to the listener and the
    // batch is still closed. Returns false when the body was cut short; lastError() then
    // says why.
    template <typename Body> bool runBatch(const Batch& batch, Body&& body);

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
    // A command line went out, CR LF included.
    void lineSent(const QString& line);

public:
    LinkState& link() { return link_; }
    BatchListener& listener() { return listener_; }

private:
    bool trap(const std::exception& error);
    void throwIfCutShort();
    void lineDone();
    void send(const QString& line);
    bool replyIn(const ReplyShape& shape) const;

    SerialLibrary& library_;
    LinkState& link_;
    TerminalScreen& screen_;
    BatchListener& listener_;
    bool batchOpen_ = false; // a port loss counts only while a batch is open
    bool portLostInBatch_ = false;
    bool stopRequested_ = false;
    int completedLines_ = 0;
    QString lastError_;
    QString lastLine_; // the last line sent, CR LF included
};

template <typename Body> bool Exchange::runBatch(const Batch& batch, Body&& body) {
    bool completed = true;
    BeginExchangeBatch(batch);
    try {
        body();
    } catch (const std::exception& error) {
        completed = trap(error);
        if (!stopRequested_)
            listener_.batchFailed(batch);
    }
    EndExchangeBatch(batch);
    return completed;
}

} // namespace rtu
