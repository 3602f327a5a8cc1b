#pragma once

#include <QString>
#include <QStringList>

namespace rtu {

struct ReadReport;

// The one-line outcome of a whole-unit read for the status bar: how many lines answered,
// which did not, by what they read ("no reply: poll period, tank 05, G4 module 3"; the
// first few and a count when there are many), and when most went unanswered the likely
// causes; then the notes of readNotes.
// A read that planned no line is the main window's "Read" with no row ticked.
QString readOutcome(const QString& action, const ReadReport& report);

// The same for a program action: "Program All finished: 39 lines sent"; and for one the
// operator called off when asked.
QString programOutcome(const QString& action, int linesSent);
QString cancelledOutcome(const QString& action);

// What a read's outcome adds to its answers and silences: each line answered only in part
// with the fields that kept their values ("tank 04: partly answered, kept factor and volume
// unit"), the first few and a count; and, when replies were still coming in as their waits
// ended, the remedy.
QStringList readNotes(const ReadReport& report);

// Read lines by what they read, the first few and a count of the rest: "poll period,
// tank 05, 3 more".
QString namedLines(const QStringList& lines);

// What the first `completedLines` lines of a whole-unit action ("Program All", "Read All")
// cover, in its order: "unit settings and tanks 00-09"; empty for none.
QString wholeUnitPart(int completedLines);

// The outcome of a whole-unit action whose port was lost after `completedLines` of its
// lines, for the status bar and message box: what was already `done` ("unit settings and
// tanks 00-09 were read"), that the rest is as before, and what to do.
QString lostPortOutcome(const QString& action, const QString& done, int completedLines);
// The same for one the program's shutdown stopped.
QString closingOutcome(const QString& action, const QString& done, int completedLines);

} // namespace rtu
