#pragma once

#include "app/TrafficTranscript.h"
#include "serial/TerminalScreen.h"
#include "serial/TrafficLogFile.h"

#include <QDateTime>
#include <QObject>

#include <functional>

class QSettings;

namespace rtu {

class FileChooser;
class UserNotifier;

// How the terminal window shows the traffic. All off, the log is exactly the screen text
// the writers give; each option only adds to it.
struct TerminalLogView {
    bool markSent = false;   // sent lines start a line of their own, marked "> "
    bool timestamps = false; // each line starts with the time it began, "10:12:03.123 "
    bool hex = false;        // received bytes as hex beside their printable text

    bool operator==(const TerminalLogView&) const = default;
};

// The terminal window's log as the writers see it. It lays the chosen view over the text
// the receiver, the command exchange and the port routines write, and passes it to the
// screen that shows it; it keeps the whole run's traffic in a transcript for "Save Log...",
// and appends the plain screen text (as the command-line tool's --log) to a traffic log
// file when one is given.
class TerminalLog : public QObject, public TerminalScreen {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    // Bytes received in hex view, per line.
    static constexpr int HexBytesPerLine = 16;

    explicit TerminalLog(TerminalScreen& shown, Clock clock = &QDateTime::currentDateTime,
                         QObject* parent = nullptr);

    QString text() const override { return shown_.text(); }
    int length() const override { return shown_.length(); }
    void setText(const QString& text) override { shown_.setText(text); }
    void insertAtEnd(const QString& text) override;
    void removeLastCharacter() override;
    void moveCaretToEnd() override { shown_.moveCaretToEnd(); }
    void appendLine(const QString& line) override;
    void insertSent(const QString& line) override;
    void insertReceived(const QString& shown, const QByteArray& bytes, int limit,
                        int keep) override;

    // Keys the operator typed, which went out one by one: the screen shows them already.
    void noteTyped(const QString& text);

    TerminalLogView view() const { return view_; }
    void setView(const TerminalLogView& view);
    // Kept in the user's settings.
    void restoreView(const QSettings& settings);
    void rememberView(QSettings& settings) const;

    // In hex view a line of received bytes is shown once it is whole (16 bytes or a line
    // feed); one still open is shown when nothing more came since the last call.
    void showIdleHexLine();

    const TrafficTranscript& transcript() const { return transcript_; }
    // Asks for a file and writes the transcript there whole; a failure is told to the
    // operator. False when nothing was written.
    bool saveLog(FileChooser& files, UserNotifier& notifier);

    void setLogDevice(QIODevice* device) { logFile_.setDevice(device); }
    QString logError() const { return logFile_.error(); }

signals:
    void viewChanged();

private:
    bool atLineStart() const;
    QString prefix(const QDateTime& time, const QString& mark) const;
    QString wholeHexLines(const QByteArray& bytes, const QDateTime& now);
    QString closeHexLine(bool atStart);
    void showHexLine();

    TerminalScreen& shown_;
    Clock clock_;
    TerminalLogView view_;
    TrafficTranscript transcript_;
    TrafficLogFile logFile_;
    QByteArray hexLine_;     // received bytes of the hex line still open
    QDateTime hexLineStart_; // when its first byte came
    bool hexCameSinceIdleCheck_ = false;
};

} // namespace rtu
