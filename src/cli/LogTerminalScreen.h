#pragma once

#include "serial/TerminalScreen.h"
#include "serial/TrafficLogFile.h"

#include <QString>

namespace rtu {

// The command-line tool's terminal screen: it keeps the screen text in memory, as the
// receiver expects to trim it, and appends everything inserted (the lines sent and the
// bytes received) to a traffic log. Trimming the screen never touches the log: the log is
// the whole traffic.
class LogTerminalScreen : public TerminalScreen {
public:
    // log may be null (no log); otherwise it must be open for writing and outlive this.
    explicit LogTerminalScreen(QIODevice* log = nullptr) : log_(log) {}
    void setLog(QIODevice* log) { log_.setDevice(log); }
    // Empty while every write to the log succeeded.
    QString logError() const { return log_.error(); }

    QString text() const override { return text_; }
    int length() const override { return text_.size(); }
    void setText(const QString& text) override { text_ = text; }
    void insertAtEnd(const QString& text) override {
        text_ += text;
        log_.append(text);
    }
    void removeLastCharacter() override { text_.chop(1); }
    void moveCaretToEnd() override {}

private:
    TrafficLogFile log_;
    QString text_;
};

} // namespace rtu
