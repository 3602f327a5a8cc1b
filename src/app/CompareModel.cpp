#include "app/CompareModel.h"

#include "app/ReadOutcome.h"
#include "app/Session.h"
#include "app/UserNotifier.h"
#include "protocol/RecordReads.h"

namespace rtu {

namespace {

const QString CompareAction = QStringLiteral("Compare With Unit");
const QString ProgramAction = QStringLiteral("Program Differences");
const QString TakeAction = QStringLiteral("Take Unit's Values");

QString counted(qsizetype count, const QString& one, const QString& many) {
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}

} // namespace

CompareModel::CompareModel(Session& session, QObject* parent)
    : QObject(parent), session_(session), differences_(session) {}

QString CompareModel::announce(const QString& text) {
    outcome_ = text;
    emit outcomeChanged(text);
    return text;
}

// The button is disabled without a port, as "Read All" is; a request from elsewhere is
// refused the same.
QString CompareModel::compare() {
    if (session_.link.CurrentPort == NoPort)
        return announce(CompareAction + QStringLiteral(" needs an open port"));
    const bool completed = differences_.compare();
    compared_ = true;
    emit comparisonChanged();
    return completed ? announce(comparedOutcome(CompareAction, 0)) : stoppedOutcome(CompareAction);
}

QString CompareModel::programDifferences() {
    const QStringList records = differences_.recordsToProgram();
    if (records.isEmpty())
        return announce(ProgramAction + QStringLiteral(": no record differs, nothing sent"));
    if (!session_.unanswered.confirmProgram(ProgramAction, readLinesOf(records),
                                            session_.notifier()))
        return announce(cancelledOutcome(ProgramAction));
    const bool completed = differences_.programDifferences();
    emit comparisonChanged();
    return completed ? announce(comparedOutcome(ProgramAction, records.size()))
                     : stoppedOutcome(ProgramAction);
}

QString CompareModel::takeUnitValues(const QList<int>& rows) {
    QStringList records;
    for (const int row : rows)
        records << comparison().differences.value(row).record;
    records.removeAll(QString());
    records.removeDuplicates();
    if (records.isEmpty())
        return announce(TakeAction + QStringLiteral(": no record chosen"));
    differences_.takeUnitValues(records);
    emit valuesTaken(records);
    emit comparisonChanged();
    return announce(QStringLiteral("%1: the unit's values taken for %2")
                        .arg(TakeAction, counted(records.size(), QStringLiteral("record"),
                                                 QStringLiteral("records"))));
}

// After a program action, whether the records it sent now match; after a comparison,
// whether the unit does. The records that went unanswered are named apart.
QString CompareModel::comparedOutcome(const QString& action, qsizetype linesSent) const {
    const bool programmed = linesSent > 0;
    const UnitComparison& compared = comparison();
    const ReadReport& read = differences_.lastRead();
    QStringList records;
    for (const FieldDifference& difference : compared.differences)
        records << difference.record;
    records.removeDuplicates();
    QStringList parts;
    if (programmed)
        parts << counted(linesSent, QStringLiteral("line sent"), QStringLiteral("lines sent"));
    if (compared.matches())
        parts << (programmed ? QStringLiteral("the unit now matches")
                             : QStringLiteral("the unit matches the program, %1 of %2 lines "
                                              "compared")
                                   .arg(read.answered.size())
                                   .arg(read.lineCount()));
    else if (records.isEmpty())
        parts << QStringLiteral("no answered record differs");
    else
        parts << QStringLiteral("%1 %2%3").arg(
            counted(records.size(), QStringLiteral("record"), QStringLiteral("records")),
            programmed ? QStringLiteral("still ") : QString(),
            records.size() == 1 ? QStringLiteral("differs") : QStringLiteral("differ"));
    if (!read.complete())
        parts << QStringLiteral("no whole reply: ") +
                     namedLines(read.unanswered + read.partlyAnswered);
    return action + QStringLiteral(": ") + parts.join(QStringLiteral("; "));
}

// A comparison cut short covers what was read; a box tells why, unless the program's
// closing stopped it: no box may hold the closing up.
QString CompareModel::stoppedOutcome(const QString& action) {
    const QString stopped =
        announce(QStringLiteral("%1 stopped: %2").arg(action, session_.exchange.lastError()));
    if (!session_.exchange.stopRequested())
        session_.notifier().showMessage(stopped, QString(), MessageIcon::Critical);
    return stopped;
}

} // namespace rtu
