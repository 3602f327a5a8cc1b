#include "app/UnansweredReads.h"

#include "app/ReadOutcome.h"
#include "app/UnitSettingsModel.h"
#include "app/UserNotifier.h"
#include "config/UnitSettingsLines.h"
#include "protocol/ReadLines.h"
#include "protocol/UnitCommands.h"

namespace rtu {

namespace {

const QString& lcdTextRead() {
    return unitReadLine(UnitGroup::LcdText).name;
}

bool programmed(const QString& readLine) {
    return readLine != unitReadLine(UnitGroup::Clock).name &&
           readLine != unitReadLine(UnitGroup::Version).name;
}

} // namespace

UnansweredReads::UnansweredReads(const UnitSettingsModel& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    // Editing one line leaves a placeholder in the other as unread as it was.
    connect(&settings, &UnitSettingsModel::lcdLineChanged, this, [this] {
        if (!holdsLcdPlaceholder())
            unmark(lcdTextRead());
    });
    connect(
        &settings, &UnitSettingsModel::counterChanged, this, [this](UnitSettings::Counter counter) {
            unmark(unitReadLine(counter < UnitSettings::Counter::LcdSeconds ? UnitGroup::PollPeriod
                                                                            : UnitGroup::LcdTiming)
                       .name);
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
    // A file saved after a read without a reply carries its placeholder.
    if (records.contains(unitReadLine(UnitGroup::LcdText).records.first()))
        markLcdTextIfPlaceholder();
}

void UnansweredReads::noteEdited(ModuleKind kind, const QList<int>& numbers) {
    for (const QString& line : UnitCommands::moduleReadLines(kind, numbers))
        unmark(line);
}

void UnansweredReads::unmark(const QString& readLine) {
    notRead_.removeAll(readLine);
}

void UnansweredReads::markLcdTextIfPlaceholder() {
    if (holdsLcdPlaceholder() && !notRead_.contains(lcdTextRead()))
        notRead_ << lcdTextRead();
}

// What a read stores in an LCD text line that got no reply.
bool UnansweredReads::holdsLcdPlaceholder() const {
    const QString placeholder = lcdTextPlaceholder();
    const std::array<QString, 2>& lines = settings_.values().lcdLines;
    return lines[0] == placeholder || lines[1] == placeholder;
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
    return confirm(action, QStringLiteral("program"), readLines, notifier);
}

bool UnansweredReads::confirmSave(const QStringList& readLines, UserNotifier& notifier) const {
    return confirm(QStringLiteral("Save"), QStringLiteral("save"), readLines, notifier);
}

bool UnansweredReads::confirm(const QString& action, const QString& verb,
                              const QStringList& readLines, UserNotifier& notifier) const {
    const QStringList unread = notRead(readLines);
    return unread.isEmpty() ||
           notifier.ask(QStringLiteral("Not read from the unit: %1; %2 them anyway?")
                            .arg(namedLines(unread), verb),
                        action);
}

} // namespace rtu
