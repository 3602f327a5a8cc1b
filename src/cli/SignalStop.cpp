#include "cli/SignalStop.h"

#include "app/ReadOutcome.h"
#include "app/ShutdownSignals.h"
#include "protocol/Exchange.h"
#include "protocol/UnitCommands.h"

#include <QTextStream>

namespace rtu {

// The tool starts no thread of its own, so the signals may be blocked here, around the
// action, rather than first thing in main.
bool SignalStop::during(const std::function<bool()>& action) {
    ShutdownSignals::blockInThisThread();
    bool completed = false;
    {
        ShutdownSignals watch;
        if (!watch.isActive())
            ShutdownSignals::unblockInThisThread();
        QObject::connect(&watch, &ShutdownSignals::shutdownRequested, [this](int signalNumber) {
            if (signalNumber_ == 0)
                signalNumber_ = signalNumber;
            exchange_.requestStop();
        });
        completed = action();
    }
    ShutdownSignals::unblockInThisThread();
    return completed;
}

ExitCode SignalStop::report(QTextStream& err, const QString& done, int plannedLines) const {
    const int completed = exchange_.completedLines();
    const QString part = plannedLines == UnitCommands::WholeUnitLineCount ? wholeUnitPart(completed)
                         : completed > 0
                             ? QStringLiteral("%1 of %2 lines").arg(completed).arg(plannedLines)
                             : QString();
    err << "rtu7350-cli: stopped: "
        << (part.isEmpty() ? QStringLiteral("nothing %1").arg(done)
                           : QStringLiteral("%1 %2; the rest not").arg(part, done))
        << Qt::endl;
    constexpr int SignalExitBase = 128;
    return static_cast<ExitCode>(SignalExitBase + signalNumber_);
}

} // namespace rtu
