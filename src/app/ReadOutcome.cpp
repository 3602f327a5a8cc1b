#include "app/ReadOutcome.h"

#include "protocol/ReadLines.h"
#include "protocol/UnitCommands.h"

#include <algorithm>

namespace rtu {

namespace {

constexpr int NamedAtMost = 6;

// What the first `lines` lines of a whole-unit action cover, in its order: the unit settings,
// then each module range ("unit settings", "tanks 00-15", "G4 modules 0-3", "tank 00").
QStringList coveredParts(int lines) {
    constexpr int unitLines = UnitCommands::WholeUnitLineCount - ModuleRecordCount;
    QStringList parts;
    if (lines > 0)
        parts << (lines < unitLines ? QStringLiteral("some of the unit settings")
                                    : QStringLiteral("unit settings"));
    lines -= unitLines;
    for (const ModuleRange& range : ModuleRanges) {
        const int covered = std::clamp(lines, 0, range.count());
        lines -= covered;
        if (covered == 1)
            parts << range.describe(range.first);
        else if (covered > 1)
            parts << QStringLiteral("%1s %2-%3")
                         .arg(QLatin1String(range.name), range.caption(range.first),
                              range.caption(range.first + covered - 1));
    }
    return parts;
}

// "a", "a and b", "a, b and c".
QString listed(const QStringList& parts) {
    const QString last = parts.last();
    return parts.size() == 1 ? last
                             : parts.first(parts.size() - 1).join(QStringLiteral(", ")) +
                                   QStringLiteral(" and ") + last;
}

// "unit settings and tanks 00-09 were read; the rest still hold the values from before".
QString progressOf(const QString& done, int completedLines) {
    const QString part = wholeUnitPart(completedLines);
    return part.isEmpty() ? QStringLiteral("nothing was %1").arg(done)
                          : QStringLiteral("%1 were %2; the rest still hold the values from before")
                                .arg(part, done);
}

} // namespace

QString namedLines(const QStringList& lines) {
    QStringList names;
    for (const QString& line : lines.mid(0, NamedAtMost))
        names << describeReadLine(line);
    if (lines.size() > NamedAtMost)
        names << QStringLiteral("%1 more").arg(lines.size() - NamedAtMost);
    return names.join(QStringLiteral(", "));
}

QString wholeUnitPart(int completedLines) {
    const QStringList parts = coveredParts(completedLines);
    return parts.isEmpty() ? QString() : listed(parts);
}

QString lostPortOutcome(const QString& action, const QString& done, int completedLines) {
    return QStringLiteral("%1 stopped, the serial port was lost: %2. Plug the adapter back in; "
                          "the port reopens by itself.")
        .arg(action, progressOf(done, completedLines));
}

QString closingOutcome(const QString& action, const QString& done, int completedLines) {
    return QStringLiteral("%1 stopped, the program is closing: %2.")
        .arg(action, progressOf(done, completedLines));
}

QStringList readNotes(const ReadReport& report) {
    QStringList notes;
    for (const QString& line : report.partlyAnswered.mid(0, NamedAtMost))
        notes << QStringLiteral("%1: partly answered, kept %2")
                     .arg(describeReadLine(line), listed(report.kept.value(line)));
    if (report.partlyAnswered.size() > NamedAtMost)
        notes << QStringLiteral("%1 more partly answered")
                     .arg(report.partlyAnswered.size() - NamedAtMost);
    if (!report.cutOff.isEmpty())
        notes << QStringLiteral("replies are arriving after the wait: choose Reply Wait x2 or "
                                "Until Reply Is In");
    return notes;
}

QString readOutcome(const QString& action, const ReadReport& report) {
    const qsizetype total = report.lineCount();
    if (total == 0)
        return action + QStringLiteral(": no row ticked, nothing read");
    QStringList outcome{QStringLiteral("%1 finished: %2 of %3 lines answered")
                            .arg(action)
                            .arg(report.answered.size())
                            .arg(total)};
    if (!report.unanswered.isEmpty())
        outcome << QStringLiteral("no reply: ") + namedLines(report.unanswered) +
                       (report.answered.size() < report.unanswered.size()
                            ? QStringLiteral(" (no unit on this port, the wrong port or line "
                                             "speed, or a slow link that needs a longer reply "
                                             "wait)")
                            : QString());
    return (outcome + readNotes(report)).join(QStringLiteral("; "));
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
