#include "app/ReadOutcome.h"

#include "protocol/CommandLines.h"
#include "protocol/UnitCommands.h"

#include <array>
#include <utility>

namespace rtu {

namespace {

constexpr int NamedAtMost = 6;

// What a read line reads, as the operator knows it: "GPP" is the poll period, "GU05" tank 05.
QString readName(const QString& line) {
    static const std::array<std::pair<const char*, const char*>, 5> unitReads{{
        {"GRTCT", "clock"},
        {"GPP", "poll period"},
        {"GLCD", "LCD timing"},
        {"GLCDT", "LCD text"},
        {"GV", "software version"},
    }};
    for (const auto& [read, name] : unitReads) {
        if (line == QLatin1String(read))
            return QLatin1String(name);
    }
    for (const ModuleRange& range : ModuleRanges) {
        for (const int number : range.numbers()) {
            if (moduleCommands(range.kind).readLine(number).trimmed() == line)
                return range.describe(number);
        }
    }
    return line;
}

} // namespace

QString namedLines(const QStringList& lines) {
    QStringList names;
    for (const QString& line : lines.mid(0, NamedAtMost))
        names << readName(line);
    if (lines.size() > NamedAtMost)
        names << QStringLiteral("%1 more").arg(lines.size() - NamedAtMost);
    return names.join(QStringLiteral(", "));
}

QString readOutcome(const QString& action, const ReadReport& report) {
    const qsizetype total = report.answered.size() + report.unanswered.size();
    if (total == 0)
        return action + QStringLiteral(": no row ticked, nothing read");
    QString outcome = QStringLiteral("%1 finished: %2 of %3 lines answered")
                          .arg(action)
                          .arg(report.answered.size())
                          .arg(total);
    if (report.complete())
        return outcome;
    outcome += QStringLiteral("; no reply: ") + namedLines(report.unanswered);
    if (report.answered.size() < report.unanswered.size())
        outcome += QStringLiteral(" (no unit on this port, the wrong port or line speed, or a "
                                  "slow link that needs a longer reply wait)");
    return outcome;
}

QString programOutcome(const QString& action, int linesSent) {
    if (linesSent == 0)
        return action + QStringLiteral(": no row ticked, nothing sent");
    return QStringLiteral("%1 finished: %2 %3 sent")
        .arg(action)
        .arg(linesSent)
        .arg(linesSent == 1 ? QStringLiteral("line") : QStringLiteral("lines"));
}

QString cancelledOutcome(const QString& action) {
    return action + QStringLiteral(" cancelled: nothing sent");
}

} // namespace rtu
