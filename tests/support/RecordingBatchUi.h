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
    void clear() {
        events_.clear();
        progress_.clear();
        if (libraryCalls_)
            consumedCalls_ = libraryCalls_->size();
    }

    // Interface steps and the library calls (other than GetByte, which the fake does not
    // record) in the order they happened, from the last clear() on.
    QStringList timeline() const {
        QStringList merged;
        qsizetype taken = consumedCalls_;
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

    static QString windowName(Window window) {
        switch (window) {
        case Window::RtuForm:
            return QStringLiteral("RtuForm");
        case Window::TerminalForm:
            return QStringLiteral("TerminalForm");
        case Window::ConfigSensors:
            return QStringLiteral("ConfigSensors");
        case Window::ConfigG4:
            return QStringLiteral("ConfigG4");
        case Window::Config4_20mA:
            return QStringLiteral("Config4_20mA");
        }
        return {};
    }

private:
    void record(const QString& text) {
        events_.emplace_back(libraryCalls_ ? libraryCalls_->size() : 0, text);
    }

    const QStringList* libraryCalls_;
    qsizetype consumedCalls_ = 0;
    std::vector<std::pair<qsizetype, QString>> events_;
    QStringList progress_;
};

} // namespace rtu
