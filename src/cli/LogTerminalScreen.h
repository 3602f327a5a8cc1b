#pragma once

#include "serial/TerminalScreen.h"

#include <QString>

class QIODevice;

namespace rtu {

// The command-line tool's terminal screen: it keeps the screen text in memory, as the
// receiver expects to trim it, and appends everything inserted (the lines sent and the
// bytes received) to a log device, one byte per character. Trimming the screen never
// touches the log: the log is the whole traffic. After a write to the log fails (a full
// disk) nothing more is written, so that the log holds the traffic up to that point without
// a gap, and logError() says why.
class LogTerminalScreen : public TerminalScreen {
public:
    // log may be null (no log); otherwise it must be open for writing and outlive this.
    explicit LogTerminalScreen(QIODevice* log = nullptr) : log_(log) {}
    void setLog(QIODevice* log) { log_ = log; }
    // Empty while every write to the log succeeded.
    QString logError() const { return logError_; }

    QString text() const override { return text_; }
    int length() const override { return text_.size(); }
    void setText(const QString& text) override { text_ = text; }
    void insertAtEnd(const QString& text) override;
    void removeLastCharacter() override { text_.chop(1); }
    void moveCaretToEnd() override {}

private:
    QIODevice* log_;
    QString logError_;
    QString text_;
};

} // namespace rtu
