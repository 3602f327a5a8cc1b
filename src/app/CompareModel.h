#pragma once

#include "app/UnitDifferences.h"

#include <QList>
#include <QObject>
#include <QString>

namespace rtu {

class Session;

// "Compare With Unit" and the actions of its table, without widgets: the whole unit read
// apart and compared with the program, then the differing records sent and read back
// ("Program Differences") or the unit's values taken into the program for chosen rows
// ("Take Unit's Values"). Each action ends with a one-line outcome (outcomeChanged) and, when
// the table changed, comparisonChanged.
class CompareModel : public QObject {
    Q_OBJECT
public:
    explicit CompareModel(Session& session, QObject* parent = nullptr);

    // The unit read with the reply wait and pacing chosen for every read; the program's
    // settings and records stay as they are.
    QString compare();
    // The differing records only, in "Program All" order and one batch, after the same
    // question about unread fields as every program action; then read back and compared.
    QString programDifferences();
    // The unit's values of the records that the table's `rows` show.
    QString takeUnitValues(const QList<int>& rows);

    const UnitComparison& comparison() const { return differences_.comparison(); }
    // The last comparison, for the site report; none before the first.
    const UnitComparison* lastComparison() const { return compared_ ? &comparison() : nullptr; }
    bool hasDifferencesToProgram() const { return !differences_.recordsToProgram().isEmpty(); }
    QString outcome() const { return outcome_; }

signals:
    void outcomeChanged(const QString& text);
    void comparisonChanged();
    // The program's values of these records are now the unit's: the windows showing them
    // show them again.
    void valuesTaken(const QStringList& records);

private:
    QString comparedOutcome(const QString& action, qsizetype linesSent) const;
    QString stoppedOutcome(const QString& action);
    QString announce(const QString& text);

    Session& session_;
    UnitDifferences differences_;
    QString outcome_;
    bool compared_ = false;
};

} // namespace rtu
