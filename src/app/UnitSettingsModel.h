#pragma once

#include "config/UnitSettings.h"

#include <QList>
#include <QObject>

namespace rtu {

class UserNotifier;

// The unit-wide settings as the main window shows them, and the rules of its controls: the
// clock boxes' input check (a "Hi" message box or a beep), the rows ticked for "Program" and
// "Read" ("Set All", "Clear All"), the clock set from the PC or from the boxes, and the value
// displays, which follow the counters and show what a read or a file left there ("??"). Every
// change is signalled once, whoever made it: the operator through the window, or a read or a
// load that stored values in place (storedValues(), then publish()).
class UnitSettingsModel : public QObject {
    Q_OBJECT
public:
    using Counter = UnitSettings::Counter;

    explicit UnitSettingsModel(UserNotifier& notifier, QObject* parent = nullptr);

    const UnitSettings& values() const { return values_; }
    const UnitRows& rows() const { return rows_; }

    // The operator's edits.
    void setClockText(ClockBox box, const QString& text); // runs the boxes' input check
    void setLcdLine(int index, const QString& text);      // index 0 or 1
    void setCounter(Counter counter, int value);          // RuntimeError outside its range
    void setRowTicked(UnitRow row, bool ticked);
    void tickAllRows(bool ticked); // "Set All" and "Clear All", in row order
    void setClockFromPc(bool fromPc);
    // An LCD text box refused a character the unit cannot store: a beep.
    void refuseCharacter();

    // For the code that stores into the settings in place (the command groups, the file
    // loader); publish() then signals what changed.
    UnitSettings& storedValues() { return values_; }
    void publish();
    // A read stored a reply: what it stored is shown, and the clock boxes' check tells the
    // operator of a clock text it corrected.
    void replyStored(const QList<ClockNotice>& clockNotices);

signals:
    void clockTextChanged(rtu::ClockBox box);
    void lcdLineChanged(int index);
    void counterChanged(rtu::UnitSettings::Counter counter);
    void counterShownChanged(rtu::UnitSettings::Counter counter);
    void versionChanged();
    void rowTickedChanged(rtu::UnitRow row);
    void clockModeChanged();

private:
    void tell(ClockBox box, ClockNotice notice);

    UserNotifier& notifier_;
    UnitSettings values_;
    UnitSettings published_; // as last signalled
    UnitRows rows_;
};

} // namespace rtu
