#include "app/UnansweredReads.h"

#include "app/ReadOutcome.h"
#include "config/UnitSettingsPanel.h"
#include "config/UserNotifier.h"
#include "protocol/UnitCommands.h"

namespace rtu {

namespace {

bool programmed(const QString& readLine) {
    return readLine != QLatin1String("GRTCT") && readLine != QLatin1String("GV");
}

// A file line names its record by its program line's prefix, which differs from the read
// line in its first letter only ("SU05", "GU05"), except for the LCD texts.
QString readLineOf(const QString& record) {
    if (record == QLatin1String("SLCDT1"))
        return QStringLiteral("GLCDT");
    return QLatin1Char('G') + record.mid(1);
}

} // namespace

UnansweredReads::UnansweredReads(const UnitSettingsPanel& panel, QObject* parent)
    : QObject(parent) {
    connect(&panel, &UnitSettingsPanel::text1Changed, this,
            [this] { unmark(QStringLiteral("GLCDT")); });
    connect(&panel, &UnitSettingsPanel::vscrollChanged, this, [this](int n) {
        unmark(n < UnitSettingsPanel::LcdSecondsScroll ? QStringLiteral("GPP")
                                                       : QStringLiteral("GLCD"));
    });
}

void UnansweredReads::noteRead(const ReadReport& report) {
    for (const QString& line : report.answered) {
        unanswered_.removeAll(line);
        notRead_.removeAll(line);
    }
    for (const QString& line : report.unanswered + report.partlyAnswered) {
        if (!unanswered_.contains(line))
            unanswered_ << line;
        if (programmed(line) && !notRead_.contains(line))
            notRead_ << line;
    }
    emit changed();
}

void UnansweredReads::noteLoaded(const QStringList& records) {
    for (const QString& record : records)
        unmark(readLineOf(record));
}

void UnansweredReads::noteEdited(ModuleKind kind, const QList<int>& numbers) {
    for (const QString& line : UnitCommands::moduleReadLines(kind, numbers))
        unmark(line);
}

void UnansweredReads::unmark(const QString& readLine) {
    notRead_.removeAll(readLine);
}

QStringList UnansweredReads::notRead(const QStringList& readLines) const {
    QStringList found;
    for (const QString& line : readLines) {
        if (notRead_.contains(line))
            found << line;
    }
    return found;
}

bool UnansweredReads::confirmProgram(const QString& action, const QStringList& readLines,
                                     UserNotifier& notifier) const {
    const QStringList unread = notRead(readLines);
    return unread.isEmpty() ||
           notifier.ask(QStringLiteral("Not read from the unit: %1; program them anyway?")
                            .arg(namedLines(unread)),
                        action);
}

} // namespace rtu
