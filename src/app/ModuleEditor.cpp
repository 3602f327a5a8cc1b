#include "app/ModuleEditor.h"

#include "app/ReadOutcome.h"
#include "app/Session.h"
#include "config/Numbers.h"
#include "protocol/RecordReads.h"

#include <algorithm>
#include <cmath>

namespace rtu {

ModuleEditor::ModuleEditor(Session& session, ModuleKind kind, QObject* parent)
    : QObject(parent), session_(session), tables_(session.tables), range_(moduleRange(kind)),
      selected_(range_.first) {}

int ModuleEditor::optionOf(const QString& code, const OptionCodes& codes) {
    const auto found = std::find_if(codes.begin(), codes.end(),
                                    [&](const char* c) { return code == QLatin1String(c); });
    return found == codes.end() ? -1 : int(found - codes.begin());
}

QString ModuleEditor::optionCode(int option, const OptionCodes& codes) {
    return QLatin1String(codes.at(std::size_t(option)));
}

int ModuleEditor::wholeValue(const QString& text) {
    return static_cast<int>(std::clamp(std::trunc(numericValue(text)), -1e6, 1e6));
}

void ModuleEditor::select(int number) {
    selected_ = std::clamp(number, range_.first, range_.last);
    show();
}

void ModuleEditor::show() {
    showRecord();
    emit changed();
}

void ModuleEditor::edited(const QList<int>& numbers) {
    session_.unanswered.noteEdited(range_.kind, numbers.isEmpty() ? QList{selected()} : numbers);
    emit changed();
}

void ModuleEditor::setProgramAll(bool ticked) {
    programAll_ = ticked;
    emit changed();
}

void ModuleEditor::setReadAll(bool ticked) {
    readAll_ = ticked;
    emit changed();
}

QList<int> ModuleEditor::scope(bool all) const {
    return all ? range_.numbers() : QList<int>{selected()};
}

QString ModuleEditor::describe(const QList<int>& numbers) const {
    if (numbers.size() == 1)
        return range_.describe(numbers.front());
    return QStringLiteral("all %1 %2s").arg(numbers.size()).arg(QLatin1String(range_.name));
}

void ModuleEditor::program() {
    const QList<int> numbers = scope(programAll_);
    if (!session_.unanswered.confirmProgram(QStringLiteral("Program"),
                                            UnitCommands::moduleReadLines(range_.kind, numbers),
                                            session_.notifier()))
        outcome_ = cancelledOutcome(QStringLiteral("Program"));
    else {
        const bool completed = session_.commands.programModules(range_.kind, numbers);
        session_.record.programmed(QStringLiteral("Program module"),
                                   recordsRead(UnitCommands::moduleReadLines(range_.kind, numbers)),
                                   completed, std::nullopt, describe(numbers));
        outcome_ = session_.record.withNotice(
            completed ? QStringLiteral("Programmed ") + describe(numbers)
                      : QStringLiteral("Program stopped: ") + session_.exchange.lastError());
    }
    show();
}

// "Read tank 04" when every line was answered whole; else what was not.
QString ModuleEditor::readSummary(const QList<int>& numbers, const QStringList& silent,
                                  const ReadReport& report) const {
    QStringList notes = readNotes(report);
    if (!silent.isEmpty())
        notes.prepend(QStringLiteral("No reply from %1 %2: kept the values shown before")
                          .arg(QLatin1String(range_.name), silent.join(QStringLiteral(", "))));
    return notes.isEmpty() ? QStringLiteral("Read ") + describe(numbers)
                           : notes.join(QStringLiteral("; "));
}

void ModuleEditor::read() {
    const QList<int> numbers = scope(readAll_);
    ReadReport report;
    const bool completed = session_.commands.readModules(range_.kind, numbers, &report);
    session_.unanswered.noteRead(report);
    session_.record.read(QStringLiteral("Read module"), report, describe(numbers));
    const QStringList lines = UnitCommands::moduleReadLines(range_.kind, numbers);
    QStringList silent;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (report.unanswered.contains(lines[i]))
            silent << range_.caption(numbers[i]);
    }
    if (!completed)
        outcome_ = QStringLiteral("Read stopped: %1; what was not read keeps its values")
                       .arg(session_.exchange.lastError());
    else
        outcome_ = readSummary(numbers, silent, report);
    outcome_ = session_.record.withNotice(outcome_);
    show();
}

} // namespace rtu
