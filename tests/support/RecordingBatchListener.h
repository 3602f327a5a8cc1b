#pragma once

#include "protocol/BatchListener.h"

#include <QStringList>

#include <vector>

namespace rtu {

// A BatchListener that records what it hears, in order, as text: "opening Program
// WholeUnit", "opened", "closing", "closed", "rts on", "rts off", "failed". Progress reports
// are kept apart ("0/39 Programming unit settings").
//
// Given the call list of a FakeSerialLibrary, timeline() interleaves the library calls made
// between two events, so that the order of RtsOn against the events shows.
class RecordingBatchListener : public BatchListener {
public:
    explicit RecordingBatchListener(const QStringList* libraryCalls = nullptr)
        : calls_(libraryCalls) {}

    void batchStep(const Batch& batch, BatchStep step) override {
        static const char* const steps[] = {"opened", "closing", "closed"};
        static const char* const scopes[] = {"RtsPulse", "UnitSettings", "WholeUnit", "Module"};
        static const char* const kinds[] = {" Tank", " G4", " Loop420"};
        record(step != BatchStep::Opening
                   ? QString(steps[int(step) - 1])
                   : QStringLiteral("opening %1 %2%3")
                         .arg(batch.action == BatchAction::Read ? "Read" : "Program",
                              scopes[int(batch.scope)],
                              batch.scope == BatchScope::Module ? kinds[int(batch.kind)] : ""));
    }
    void rtsChanged(bool raised) override { record(raised ? "rts on" : "rts off"); }
    void progress(int done, int total, const QString& what) override {
        progressReports << QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(what);
    }
    void batchFailed(const Batch&) override { record("failed"); }

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

private:
    void record(const QString& text) {
        events << text;
        callsBefore_.push_back(calls_ ? calls_->size() : 0);
    }

    const QStringList* calls_;
    std::vector<qsizetype> callsBefore_;
};

} // namespace rtu
