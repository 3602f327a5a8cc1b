#include "cli/LogTerminalScreen.h"

#include <QFileDevice>

namespace rtu {

void LogTerminalScreen::insertAtEnd(const QString& text) {
    text_ += text;
    if (!log_ || !logError_.isEmpty())
        return;
    const QByteArray bytes = text.toLatin1();
    // Flushed at once so that the log holds the traffic up to a crash or a lost port.
    auto* file = qobject_cast<QFileDevice*>(log_);
    if (log_->write(bytes) != bytes.size() || (file && !file->flush()))
        logError_ = log_->errorString();
}

} // namespace rtu
