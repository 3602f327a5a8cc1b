#pragma once

#include "config/Records.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

namespace rtu {

class Session;
struct ReadReport;

// The codes a record field takes, or the words shown, in option order; "" never matches a
// one-letter code.
using OptionCodes = std::array<const char*, 3>;

// What the three module windows share: the selected record (a tank or module number), the
// scope ticks of "Program" and "Read", and the two actions through the module-kind table.
// Every edit goes straight into the session's record tables: there is no edit buffer. The
// window mirrors the editor and refreshes every control on changed().
class ModuleEditor : public QObject {
    Q_OBJECT
public:
    ModuleEditor(Session& session, ModuleKind kind, QObject* parent = nullptr);

    const ModuleRange& range() const { return range_; }
    // The record shown and edited: a tank or module number.
    int selected() const { return selected_; }
    // Selects a record by its number and shows it, applying the window's limits to it.
    void select(int number);

    bool programAll() const { return programAll_; }
    void setProgramAll(bool ticked);
    bool readAll() const { return readAll_; }
    void setReadAll(bool ticked);

    // "Program": the selected record, or all of them, in one exchange batch whose errors end
    // it silently. "Read": the same scope with only the window and the terminal locked;
    // records that did not answer keep their values. Both end by showing the selected record.
    void program();
    void read();
    // The outcome of the last action for the window's status line.
    QString outcome() const { return outcome_; }

signals:
    void changed();

protected:
    // The option a record's code selects, or -1 for a code without an option.
    static int optionOf(const QString& code, const OptionCodes& codes);
    static QString optionCode(int option, const OptionCodes& codes);
    // The whole number a record's text holds, kept well within int.
    static int wholeValue(const QString& text);

    // Fills the editor's own display state from the selected record; may correct the
    // record as the window's limits say.
    virtual void showRecord() = 0;
    void show();
    // The operator changed these records (none: the selected one); they count as set
    // from now on, whatever the last read left unanswered.
    void edited(const QList<int>& numbers = {});
    // All the records, or the selected one.
    QList<int> scope(bool all) const;

    Session& session_;
    RecordTables& tables_;

private:
    QString describe(const QList<int>& numbers) const;
    QString readSummary(const QList<int>& numbers, const QStringList& silent,
                        const ReadReport& report) const;

    const ModuleRange& range_;
    int selected_;
    bool programAll_ = false;
    bool readAll_ = false;
    QString outcome_;
};

} // namespace rtu
