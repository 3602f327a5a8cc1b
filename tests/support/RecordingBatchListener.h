#pragma once

#include "protocol/BatchListener.h"

#include <QStringList>

#include <vector>

namespace rtu {

// Events recorded in order as text. Given the call list of a FakeSerialLibrary, timeline()
// interleaves the library calls made between two events, so that the order of RtsOn against
// the events shows. Progress reports are kept apart ("0/39 Programming unit settings").
class EventRecorder {
public:
    explicit EventRecorder(const QStringList* libraryCalls) : calls_(libraryCalls) {}

    // The events and the library calls in the order they happened.
    QStringList timeline() const {
        QStringList merged;
        qsizetype taken = 0;
        for (std::size_t i = 0; i < callsBefore_.size(); ++i) {
            merged << calls_->mid(taken, callsBefore_[i] - taken) << events[qsizetype(i)];
            taken = callsBefore_[i];
        }
        return merged << calls_->mid(taken);
    }

    QStringList events;
    QStringList progressReports;

protected:
    void record(const QString& text) {
        events << text;
        callsBefore_.push_back(calls_ ? calls_->size() : 0);
    }
    void recordProgress(int done, int total, const QString& what) {
        progressReports << QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(what);
    }

private:
    const QStringList* calls_;
    std::vector<qsizetype> callsBefore_;
};

// A BatchListener that records what it hears: "opening Program WholeUnit", "opened",
// "closing", "closed", "rts on", "rts off", "failed".
class RecordingBatchListener : public BatchListener, public EventRecorder {
public:
    explicit RecordingBatchListener(const QStringList* libraryCalls = nullptr)
        : EventRecorder(libraryCalls) {}

    void batchStep(const Batch& batch, BatchStep step) override {
        static const char* const actions[] = {"Program", "Read"};
        static const char* const scopes[] = {"RtsPulse", "UnitSettings", "WholeUnit", "Module"};
        static const char* const kinds[] = {" Tank", " G4", " Loop420"};
        if (step != BatchStep::Opening)
            return record(QLatin1String(step == BatchStep::Opened    ? "opened"
                                        : step == BatchStep::Closing ? "closing"
                                                                     : "closed"));
        record(QStringLiteral("opening %1 %2%3")
                   .arg(actions[int(batch.action)], scopes[int(batch.scope)],
                        batch.scope == BatchScope::Module ? kinds[int(batch.kind)] : ""));
    }
    void rtsChanged(bool raised) override { record(raised ? "rts on" : "rts off"); }
    void progress(int done, int total, const QString& what) override {
        recordProgress(done, total, what);
    }
    void batchFailed(const Batch&) override { record("failed"); }
};

} // namespace rtu
