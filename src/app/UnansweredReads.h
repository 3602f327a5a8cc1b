#pragma once

#include "config/Records.h"

#include <QObject>
#include <QStringList>

namespace rtu {

class UnitSettingsModel;
class UserNotifier;
struct ReadReport;

// What the reads left unanswered, by read line ("GPP", "GU05"). Each read replaces the
// entries of the lines it sent: a whole answer clears one, silence or a reply taken only in
// part sets it.
//
// The lines to read again are all those left unanswered or partly answered. The fields not
// read from the unit are those of these lines too (of a partly answered line, the fields
// its reply gave are taken with the rest, so that "Program" asks once for the record), except the
// clock (it is programmed from the PC, and a silent unit leaves its boxes as they were) and the
// version (never programmed); an edit of the field or a file line for it clears the mark, so that a
// placeholder or a value from before the read never reaches the unit unasked. The LCD text's
// placeholder (20 question marks, what a read leaves without a reply) stays unread wherever it came
// from: the mark stays while a line holds it, and a file that carries it sets the mark.
class UnansweredReads : public QObject {
    Q_OBJECT
public:
    explicit UnansweredReads(const UnitSettingsModel& settings, QObject* parent = nullptr);

    void noteRead(const ReadReport& report);
    // The records a loaded file named (LoadResult::records: "SPP", "SLCDT1", "SU05").
    void noteLoaded(const QStringList& records);
    void noteEdited(ModuleKind kind, const QList<int>& numbers);

    QStringList toReadAgain() const { return unanswered_; }
    // Those of `readLines` whose field was not read from the unit, in their order.
    QStringList notRead(const QStringList& readLines) const;
    // True when a program action covering `readLines` may go ahead: nothing it covers is
    // unread, or the operator says so when asked.
    bool confirmProgram(const QString& action, const QStringList& readLines,
                        UserNotifier& notifier) const;
    // The same for "Save", whose file would carry those fields as they stand.
    bool confirmSave(const QStringList& readLines, UserNotifier& notifier) const;

signals:
    // After a read: the lines to read again may have changed.
    void changed();

private:
    bool confirm(const QString& action, const QString& verb, const QStringList& readLines,
                 UserNotifier& notifier) const;
    void unmark(const QString& readLine);
    void markLcdTextIfPlaceholder();
    bool holdsLcdPlaceholder() const;

    const UnitSettingsModel& settings_;

    QStringList unanswered_;
    QStringList notRead_;
};

} // namespace rtu
