#include "app/TerminalLog.h"

#include "app/FileChooser.h"
#include "app/UserNotifier.h"
#include "config/WholeFile.h"
#include "serial/Receiver.h"

#include <QSettings>

namespace rtu {

namespace {

const QString ScreenLineEnd = QStringLiteral("\r\n");
const QString SentMark = QStringLiteral("> ");

const char* const MarkSentKey = "terminal/markSentLines";
const char* const TimestampsKey = "terminal/timestamps";
const char* const HexKey = "terminal/hexView";

// `prefix` at the start of every line of `text` that has anything on it; `atStart` says
// whether the text begins a line. CR LF, a lone CR and a lone LF each end a line.
QString withLinePrefix(QStringView text, bool atStart, const QString& prefix) {
    if (prefix.isEmpty())
        return text.toString();
    QString out;
    out.reserve(text.size() + prefix.size());
    bool lineStart = atStart;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool breaks = c == u'\r' || c == u'\n';
        if (lineStart && !breaks) {
            out += prefix;
            lineStart = false;
        }
        out += c;
        if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            lineStart = true;
    }
    return out;
}

// "50 50 30 0D 0A" padded to the width of a whole line, then "PP0..".
QString hexLineText(const QByteArray& bytes) {
    QString hex;
    QString printable;
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        hex += QStringLiteral("%1 ").arg(code, 2, 16, QChar(u'0')).toUpper();
        printable += code >= 0x20 && code <= 0x7E ? QChar(char16_t(code)) : QChar(u'.');
    }
    return hex.leftJustified(TerminalLog::HexBytesPerLine * 3) + u' ' + printable;
}

} // namespace

TerminalLog::TerminalLog(TerminalScreen& shown, Clock clock, QObject* parent)
    : QObject(parent), shown_(shown), clock_(std::move(clock)) {}

bool TerminalLog::atLineStart() const {
    const QString text = shown_.text();
    return text.isEmpty() || text.endsWith(u'\n') || text.endsWith(u'\r');
}

QString TerminalLog::prefix(const QDateTime& time, const QString& mark) const {
    return view_.timestamps ? time.toString(QStringLiteral("HH:mm:ss.zzz ")) + mark : mark;
}

void TerminalLog::insertAtEnd(const QString& text) {
    logFile_.append(text);
    shown_.insertAtEnd(withLinePrefix(text, atLineStart(), prefix(clock_(), {})));
}

void TerminalLog::removeLastCharacter() {
    // In hex view the backspace shows as its byte.
    if (!view_.hex)
        shown_.removeLastCharacter();
}

void TerminalLog::appendLine(const QString& line) {
    showHexLine();
    transcript_.add(TrafficTranscript::Kind::Message, line.toUtf8(), clock_());
    TerminalScreen::appendLine(line);
}

void TerminalLog::insertSent(const QString& line) {
    showHexLine();
    const QDateTime now = clock_();
    transcript_.add(TrafficTranscript::Kind::Sent, line.toLatin1(), now);
    logFile_.append(line);
    const bool atStart = atLineStart();
    const bool breakFirst = view_.markSent && !atStart;
    const QString mark = view_.markSent ? SentMark : QString();
    shown_.insertAtEnd((breakFirst ? ScreenLineEnd : QString()) +
                       withLinePrefix(line, atStart || breakFirst, prefix(now, mark)));
}

void TerminalLog::insertReceived(const QString& shown, const QByteArray& bytes, int limit,
                                 int keep) {
    const QDateTime now = clock_();
    transcript_.add(TrafficTranscript::Kind::Received, bytes, now);
    logFile_.append(shown);
    const QString text = view_.hex ? wholeHexLines(bytes, now)
                                   : withLinePrefix(shown, atLineStart(), prefix(now, {}));
    if (!text.isEmpty())
        shown_.insertAtEndKeeping(text, limit, keep);
}

void TerminalLog::noteTyped(const QString& text) {
    transcript_.add(TrafficTranscript::Kind::Sent, text.toLatin1(), clock_());
}

QString TerminalLog::wholeHexLines(const QByteArray& bytes, const QDateTime& now) {
    QString lines;
    for (const char byte : bytes) {
        if (hexLine_.isEmpty())
            hexLineStart_ = now;
        hexLine_ += byte;
        if (byte == '\n' || hexLine_.size() == HexBytesPerLine)
            lines += closeHexLine(!lines.isEmpty() || atLineStart());
    }
    hexCameSinceIdleCheck_ = true;
    return lines;
}

QString TerminalLog::closeHexLine(bool atStart) {
    const QString line = (atStart ? QString() : ScreenLineEnd) + prefix(hexLineStart_, {}) +
                         hexLineText(hexLine_) + ScreenLineEnd;
    hexLine_.clear();
    return line;
}

void TerminalLog::showHexLine() {
    if (hexLine_.isEmpty())
        return;
    shown_.insertAtEndKeeping(closeHexLine(atLineStart()), Receiver::ScreenLimit,
                              Receiver::ScreenKeep);
}

void TerminalLog::showIdleHexLine() {
    if (!hexCameSinceIdleCheck_)
        showHexLine();
    hexCameSinceIdleCheck_ = false;
}

void TerminalLog::setView(const TerminalLogView& view) {
    if (view == view_)
        return;
    showHexLine();
    view_ = view;
    emit viewChanged();
}

void TerminalLog::restoreView(const QSettings& settings) {
    setView({settings.value(MarkSentKey, false).toBool(),
             settings.value(TimestampsKey, false).toBool(),
             settings.value(HexKey, false).toBool()});
}

void TerminalLog::rememberView(QSettings& settings) const {
    settings.setValue(MarkSentKey, view_.markSent);
    settings.setValue(TimestampsKey, view_.timestamps);
    settings.setValue(HexKey, view_.hex);
}

bool TerminalLog::saveLog(FileChooser& files, UserNotifier& notifier) {
    const QString path =
        files.chooseFile(FileChooser::Purpose::Save, QStringLiteral("Save Log"),
                         QStringLiteral("*.txt"), QStringLiteral("terminal-log.txt"));
    if (path.isEmpty())
        return false;
    const QString error = writeWholeFile(path, transcript_.render().toUtf8());
    if (error.isEmpty())
        return true;
    notifier.showMessage(QStringLiteral("The log was not saved: ") + error, QString(),
                         MessageIcon::Critical);
    return false;
}

} // namespace rtu
