#include "protocol/Exchange.h"

#include "config/RuntimeError.h"
#include "protocol/CommandLines.h"
#include "serial/LinkState.h"
#include "serial/TerminalScreen.h"

namespace rtu {

namespace {

QStringView withoutLeadingLineEnds(QStringView text) {
    while (!text.isEmpty() && (text.front() == u'\r' || text.front() == u'\n'))
        text = text.sliced(1);
    return text;
}

// A module window's read locks its windows only: RTS stays as it is.
bool raisesRts(const Batch& batch) {
    return batch.action == BatchAction::Program || batch.scope != BatchScope::Module;
}

} // namespace

Exchange::Exchange(SerialLibrary& library, LinkState& link, TerminalScreen& screen,
                   BatchListener& listener)
    : library_(library), link_(link), screen_(screen), listener_(listener) {
    connect(&library_, &SerialLibrary::portLost, this, [this] {
        if (batchOpen_)
            portLostInBatch_ = true;
    });
}

void Exchange::SendCommandLine(const QString& line, int settleCount) {
    send(line);
    library_.CdrvDelay(link_.CurrentPort, settleCount);
    lineDone();
}

void Exchange::SendReadLine(const QString& line, int settleCount, const ReplyShape& shape) {
    send(line);
    library_.CdrvDelayUntil(link_.CurrentPort, settleCount, [&] { return replyIn(shape); });
    lineDone();
}

// A line counts as completed once its wait is over with the port still there and the wait
// not cut short by a stop.
void Exchange::lineDone() {
    throwIfCutShort();
    ++completedLines_;
}

// While the buffer holds no more than the start of the echo of the line, nothing is in.
bool Exchange::replyIn(const ReplyShape& shape) const {
    return !lastLine_.startsWith(withoutLeadingLineEnds(link_.ReplyBuffer)) &&
           shape.isComplete(reply());
}

void Exchange::send(const QString& line) {
    throwIfCutShort();
    // Without a port the line would be logged as sent although it never left: the action
    // stops and says why instead.
    if (link_.CurrentPort == NoPort)
        throw RuntimeError("no port is open");
    // The unit speaks 8-bit text, one byte per character.
    library_.PutString(link_.CurrentPort, line.toLatin1());
    lastLine_ = line;
    screen_.insertSent(line);
    screen_.moveCaretToEnd();
    emit lineSent(line);
}

void Exchange::throwIfCutShort() {
    if (portLostInBatch_)
        throw PortLostError("the serial port was lost");
    if (stopRequested_)
        throw RuntimeError("the program is closing");
}

void Exchange::requestStop() {
    stopRequested_ = true;
    library_.interruptDelay();
}

// The line end of a reply that came in after its own wait ended, and the echo's, are no
// part of the unit's text.
QString Exchange::reply() const {
    QStringView text = withoutLeadingLineEnds(link_.ReplyBuffer);
    if (!lastLine_.isEmpty() && text.startsWith(lastLine_))
        text = withoutLeadingLineEnds(text.sliced(lastLine_.size()));
    return text.toString();
}

int Exchange::FindReply(QStringView keyword) const {
    return static_cast<int>(reply().indexOf(keyword)) + 1;
}

bool Exchange::lineEndedAt(int position) const {
    const QString buffer = reply();
    return position >= 1 && position <= buffer.size() &&
           lineEnded(QStringView(buffer).sliced(position - 1));
}

QString Exchange::replyField(int position, int offset, int width) const {
    const QString buffer = reply();
    const qsizetype start = qsizetype(position) - 1 + offset;
    if (position < 1 || start < 0 || start >= buffer.size() || width <= 0)
        return {};
    return lineStart(QStringView(buffer).mid(start, width)).toString();
}

void Exchange::clearReplyBuffer() {
    link_.ReplyBuffer.clear();
}

void Exchange::BeginExchangeBatch(const Batch& batch) {
    batchOpen_ = true;
    portLostInBatch_ = false;
    completedLines_ = 0;
    lastError_.clear();
    emit runningChanged(true);
    listener_.batchStep(batch, BatchStep::Opening);
    if (raisesRts(batch)) {
        library_.RtsOn(link_.CurrentPort);
        listener_.rtsChanged(true);
    }
    listener_.batchStep(batch, BatchStep::Opened);
    if (batch.action == BatchAction::Read && batch.scope != BatchScope::Module)
        clearReplyBuffer();
}

void Exchange::EndExchangeBatch(const Batch& batch) {
    if (raisesRts(batch))
        screen_.moveCaretToEnd();
    listener_.batchStep(batch, BatchStep::Closing);
    if (raisesRts(batch)) {
        library_.RtsOff(link_.CurrentPort);
        listener_.rtsChanged(false);
    }
    listener_.batchStep(batch, BatchStep::Closed);
    batchOpen_ = false;
    emit runningChanged(false);
}

void Exchange::PulseRts() {
    runBatch({BatchAction::Program, BatchScope::RtsPulse}, [] {});
}

bool Exchange::trap(const std::exception& error) {
    lastError_ = QString::fromUtf8(error.what());
    return false;
}

} // namespace rtu
