#pragma once

#include "protocol/BatchUi.h"

#include <QStringList>

#include <vector>

namespace rtu {

// A BatchUi that records what a batch does to the user interface, in order, as text:
// "disable RtuForm", "enable TerminalForm", "pointer busy", "pointer default", "led 255".
// Progress reports are kept apart ("0/39 Programming unit settings").
//
// Given the call list of a FakeSerialLibrary, timeline() interleaves the library calls made
// between two interface steps, so that the order of RtsOn against the indicator shows.
class RecordingBatchUi : public BatchUi {
public:
    explicit RecordingBatchUi(const QStringList* libraryCalls = nullptr) : calls_(libraryCalls) {}

    void setWindowEnabled(Window window, bool enabled) override {
        static const char* const names[] = {"RtuForm", "TerminalForm", "ConfigSensors", "ConfigG4",
                                            "Config4_20mA"};
        record(QLatin1String(enabled ? "enable " : "disable ") + names[int(window)]);
    }
    void setBusyPointer(bool busy) override { record(busy ? "pointer busy" : "pointer default"); }
    void setRtsIndicator(int colour) override { record(QStringLiteral("led %1").arg(colour)); }
    void progress(int done, int total, const QString& what) override {
        progressReports << QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(what);
    }

    // The interface steps and the library calls in the order they happened.
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
