#include "cli/LogTerminalScreen.h"

#include <QFileDevice>

namespace rtu {

void LogTerminalScreen::insertAtEnd(const QString& text) {
    text_ += text;
    if (!log_)
        return;
    log_->write(text.toLatin1());
    // Flushed at once so that the log holds the traffic up to a crash or a lost port.
    if (auto* file = qobject_cast<QFileDevice*>(log_))
        file->flush();
}

} // namespace rtu
