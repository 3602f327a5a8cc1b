#pragma once

#include "app/UserNotifier.h"
#include "protocol/BatchListener.h"

#include <QTextStream>

namespace rtu {

// The exchange batches in a shell: no windows to lock, progress as "line 7 of 39: Reading
// tank 01" lines on a stream (standard error), unless quiet. A batch's error is left to the
// tool, which ends the run with its own line naming the reason.
class BatchProgress : public BatchListener {
public:
    BatchProgress(QTextStream& stream, bool quiet) : stream_(stream), quiet_(quiet) {}
    void progress(int done, int total, const QString& what) override;

private:
    QTextStream& stream_;
    bool quiet_;
};

// The program's message boxes as lines on a stream (standard error); nothing waits for
// an answer. Beeps are dropped, and so are critical boxes: the only one is a batch's
// generic "Error!", and the tool ends the run with its own line naming the reason.
class StreamNotifier : public UserNotifier {
public:
    explicit StreamNotifier(QTextStream& stream) : stream_(stream) {}
    void showMessage(const QString& text, const QString& title, MessageIcon icon) override;
    void beep() override {}

private:
    QTextStream& stream_;
};

} // namespace rtu
