#include "app/OutputModuleEditor.h"

#include "protocol/CommandLines.h"

#include <algorithm>

namespace rtu {

OutputModuleEditor::OutputModuleEditor(Session& session, ModuleKind kind, int channelBarMin,
                                       QObject* parent)
    : ModuleEditor(session, kind, parent), channelBarMin_(channelBarMin) {}

QString OutputModuleEditor::source() const {
    return fieldsOf(selected()).source;
}

int OutputModuleEditor::unitValue() const {
    return wholeValue(fieldsOf(selected()).unit);
}

int OutputModuleEditor::channelValue() const {
    return wholeValue(fieldsOf(selected()).channel);
}

// Showing a module applies the window's limits to its own record: a monitor unit that is
// neither a tank nor 99 becomes 0, a level channel 1 or 2, a temperature channel at most 8.
// Values within the limits are kept as stored.
void OutputModuleEditor::showRecord() {
    const int number = selected();
    const int unit = unitValue();
    const bool unitCorrected = unit > LastTank && unit != DisabledUnit;
    if (unitCorrected)
        fieldsOf(number).unit = QStringLiteral("0");
    unitDisplay_ = unitCorrected ? twoDigits(0) : storedUnitCaption();
    const int channel = channelValue();
    if (snappedChannel(channel) != channel)
        fieldsOf(number).channel = QString::number(snappedChannel(channel));
}

QString OutputModuleEditor::storedUnitCaption() const {
    return twoDigits(unitValue());
}

int OutputModuleEditor::unitBar() const {
    return std::clamp(unitValue(), 0, UnitBarMax);
}

void OutputModuleEditor::setUnit(int value, bool dragged) {
    if (dragged && unitValue() == DisabledUnit)
        value = 0;
    if (value > LastTank && value != DisabledUnit)
        value = 0;
    fieldsOf(selected()).unit = QString::number(value);
    unitDisplay_ = twoDigits(value);
    edited();
}

void OutputModuleEditor::chooseLevel() {
    fieldsOf(selected()).source = QStringLiteral("L");
    if (channelValue() >= 3)
        fieldsOf(selected()).channel = QStringLiteral("2");
    edited();
}

void OutputModuleEditor::chooseTemperature() {
    fieldsOf(selected()).source = QStringLiteral("T");
    if (channelValue() > ChannelBarMax)
        fieldsOf(selected()).channel = QString::number(ChannelBarMax);
    edited();
}

// A level module watches float 1 or 2; a temperature module sensor up to 8.
int OutputModuleEditor::snappedChannel(int value) const {
    if (levelSource())
        return value >= 3 ? 2 : std::max(value, 1);
    if (temperatureSource())
        return std::min(value, ChannelBarMax);
    return value;
}

QString OutputModuleEditor::channelDisplay() const {
    return fieldsOf(selected()).channel;
}

int OutputModuleEditor::channelBar() const {
    return std::clamp(channelValue(), channelBarMin_, ChannelBarMax);
}

void OutputModuleEditor::setChannel(int value) {
    fieldsOf(selected()).channel = QString::number(snappedChannel(value));
    edited();
}

void OutputModuleEditor::setDisableAll(bool ticked) {
    disableAll_ = ticked;
    emit changed();
}

void OutputModuleEditor::disable() {
    const QList<int> numbers = scope(disableAll_);
    for (const int number : numbers)
        fieldsOf(number).unit = QString::number(DisabledUnit);
    unitDisplay_ = twoDigits(DisabledUnit);
    edited(numbers);
}

bool OutputModuleEditor::settingsShown() const {
    return unitValue() != DisabledUnit;
}

QString OutputModuleEditor::channelCaption() const {
    return temperatureSource() ? QStringLiteral("Sensor #") : QStringLiteral("Float #");
}

QString OutputModuleEditor::engineeringUnit() const {
    return temperatureSource() ? QStringLiteral("Deg F") : QStringLiteral("Inches");
}

} // namespace rtu
