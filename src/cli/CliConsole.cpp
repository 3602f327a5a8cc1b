#include "cli/CliConsole.h"

namespace rtu {

void BatchProgress::progress(int done, int total, const QString& what) {
    if (quiet_)
        return;
    stream_ << "line " << done + 1 << " of " << total << ": " << what << Qt::endl;
}

void StreamNotifier::showMessage(const QString& text, const QString& title, MessageIcon icon) {
    if (icon == MessageIcon::Critical)
        return;
    const QString message = text.trimmed();
    stream_ << "rtu7350-cli: "
            << (title.isEmpty() ? message : title + QStringLiteral(": ") + message) << Qt::endl;
}

} // namespace rtu
