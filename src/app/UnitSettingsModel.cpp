#include "app/UnitSettingsModel.h"

#include "app/UserNotifier.h"

#include <utility>

namespace rtu {

UnitSettingsModel::UnitSettingsModel(UserNotifier& notifier, QObject* parent)
    : QObject(parent), notifier_(notifier), published_(values_) {}

void UnitSettingsModel::setClockText(ClockBox box, const QString& text) {
    if (clockText(values_, box) == text)
        return;
    const ClockEntry entry = checkClockText(box, text);
    clockText(values_, box) = entry.text;
    clockText(published_, box) = entry.text;
    // Also when the check put back the text the box held before the operator's edit.
    emit clockTextChanged(box);
    tell(box, entry.notice);
}

void UnitSettingsModel::tell(ClockBox box, ClockNotice notice) {
    if (notice == ClockNotice::FormatMessage)
        notifier_.showMessage(clockFormatMessage(box), QStringLiteral("Hi"),
                              MessageIcon::Information);
    else if (notice == ClockNotice::Beep)
        notifier_.beep();
}

void UnitSettingsModel::setLcdLine(int index, const QString& text) {
    values_.lcdLines.at(std::size_t(index)) = text;
    publish();
}

void UnitSettingsModel::setCounter(Counter counter, int value) {
    values_.setCounter(counter, value);
    publish();
}

void UnitSettingsModel::setRowTicked(UnitRow row, bool ticked) {
    if (rows_[row] == ticked)
        return;
    rows_.ticked.at(std::size_t(row)) = ticked;
    emit rowTickedChanged(row);
}

void UnitSettingsModel::tickAllRows(bool ticked) {
    for (int row = 0; row < UnitRows::Count; ++row)
        setRowTicked(UnitRow(row), ticked);
}

void UnitSettingsModel::setClockFromPc(bool fromPc) {
    values_.clockFromPc = fromPc;
    publish();
}

void UnitSettingsModel::refuseCharacter() {
    notifier_.beep();
}

void UnitSettingsModel::replyStored(const QList<ClockNotice>& clockNotices) {
    publish();
    for (const ClockNotice notice : clockNotices)
        tell(ClockBox::Time, notice); // a reply's clock field fits its box: only beeps come
}

void UnitSettingsModel::publish() {
    const UnitSettings before = std::exchange(published_, values_);
    for (const ClockBox box : {ClockBox::Time, ClockBox::Date}) {
        if (clockText(published_, box) != clockText(before, box))
            emit clockTextChanged(box);
    }
    for (std::size_t i = 0; i < values_.lcdLines.size(); ++i) {
        if (values_.lcdLines[i] != before.lcdLines[i])
            emit lcdLineChanged(int(i));
    }
    for (const Counter counter : UnitSettings::Counters) {
        if (values_.counter(counter).shown != before.counter(counter).shown)
            emit counterShownChanged(counter);
        if (values_.counter(counter).value != before.counter(counter).value)
            emit counterChanged(counter);
    }
    if (values_.version != before.version)
        emit versionChanged();
    if (values_.clockFromPc != before.clockFromPc)
        emit clockModeChanged();
}

} // namespace rtu
