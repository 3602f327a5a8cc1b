#pragma once

#include "protocol/BatchUi.h"

#include <QStringList>

#include <utility>
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
    explicit RecordingBatchUi(const QStringList* libraryCalls = nullptr)
        : libraryCalls_(libraryCalls) {}

    void setWindowEnabled(Window window, bool enabled) override {
        record(QStringLiteral("%1 %2").arg(
            enabled ? QStringLiteral("enable") : QStringLiteral("disable"), windowName(window)));
    }
    void setBusyPointer(bool busy) override {
        record(busy ? QStringLiteral("pointer busy") : QStringLiteral("pointer default"));
    }
    void setRtsIndicator(int colour) override { record(QStringLiteral("led %1").arg(colour)); }
    void progress(int done, int total, const QString& what) override {
        progress_ << QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(what);
    }

    QStringList events() const {
        QStringList texts;
        for (const auto& event : events_)
            texts << event.second;
        return texts;
    }
    const QStringList& progressReports() const { return progress_; }

    // Interface steps and the library calls (other than GetByte, which the fake does not
    // record) in the order they happened.
    QStringList timeline() const {
        QStringList merged;
        qsizetype taken = 0;
        for (const auto& [callsBefore, text] : events_) {
            if (callsBefore > taken) {
                merged << libraryCalls_->mid(taken, callsBefore - taken);
                taken = callsBefore;
            }
            merged << text;
        }
        if (libraryCalls_)
            merged << libraryCalls_->mid(taken);
        return merged;
    }

private:
    static QString windowName(Window window) {
        static constexpr const char* names[] = {"RtuForm", "TerminalForm", "ConfigSensors",
                                                "ConfigG4", "Config4_20mA"};
        return QString::fromLatin1(names[static_cast<int>(window)]);
    }

    void record(const QString& text) {
        events_.emplace_back(libraryCalls_ ? libraryCalls_->size() : 0, text);
    }

    const QStringList* libraryCalls_;
    std::vector<std::pair<qsizetype, QString>> events_;
    QStringList progress_;
};

} // namespace rtu
