#include "app/SensorEditor.h"

#include "app/Session.h"
#include "app/UnitLetters.h"
#include "app/UserNotifier.h"
#include "config/ConfigurationFile.h"
#include "config/Numbers.h"

#include <algorithm>
#include <span>

namespace rtu {

namespace {

constexpr OptionCodes LevelUnits{"I", "C", ""};
constexpr OptionCodes TemperatureUnits{"F", "C", ""};
constexpr OptionCodes VolumeUnits{"E", "M", "%"};

// The word of the factor's meaning for an option of the level or volume unit.
QString wordFor(int option, std::span<const UnitLetter> letters) {
    return option < 0 || std::size_t(option) >= letters.size()
               ? QString()
               : QLatin1String(letters[std::size_t(option)].word);
}

} // namespace

SensorEditor::SensorEditor(Session& session, QObject* parent)
    : ModuleEditor(session, ModuleKind::Tank, parent) {}

SensorRecord& SensorEditor::current() const {
    return tables_.SensorRecords.at(std::size_t(selected()));
}

void SensorEditor::showRecord() {
    const SensorRecord& r = current();
    labelBox_ = r.Label;
    factorBox_ = r.VolumeFactor;
    levelWord_ = wordFor(levelOption(), LevelLetters);
    volumeWord_ = wordFor(volumeOption(), VolumeLetters);
    setGeneralCaption();
}

// A double quote could not be written to the configuration file and read back, the unit
// cannot take a character outside Latin-1 and would act on a control character: the box
// refuses them all, as the LCD text boxes do.
void SensorEditor::editLabel(const QString& text) {
    if (!std::all_of(text.begin(), text.end(), isStorableTextCharacter)) {
        session_.notifier().beep();
        emit changed();
        return;
    }
    if (text.size() > LabelBoxLimit) {
        session_.notifier().beep();
        labelBox_.clear();
    } else {
        labelBox_ = text;
    }
    current().Label = labelBox_;
    edited();
}

void SensorEditor::editFactor(const QString& text) {
    if (text.size() > FactorBoxLimit) {
        session_.notifier().beep();
        factorBox_.clear();
    } else {
        factorBox_ = text;
    }
    current().VolumeFactor = factorBox_;
    edited();
}

QString SensorEditor::floatsDisplay() const {
    return current().Floats;
}

int SensorEditor::floatsBar() const {
    return std::clamp(wholeValue(current().Floats), 0, MaxFloats);
}

void SensorEditor::setFloats(int value) {
    current().Floats = QString::number(value);
    edited();
}

QString SensorEditor::tempSensorsDisplay() const {
    return current().TempSensors;
}

int SensorEditor::tempSensorsBar() const {
    return std::clamp(wholeValue(current().TempSensors), 0, MaxTempSensors);
}

void SensorEditor::setTempSensors(int value) {
    current().TempSensors = QString::number(value);
    edited();
}

int SensorEditor::levelOption() const {
    return optionOf(current().LevelUnit, LevelUnits);
}

int SensorEditor::temperatureOption() const {
    return optionOf(current().TempUnit, TemperatureUnits);
}

int SensorEditor::volumeOption() const {
    return optionOf(current().VolumeUnit, VolumeUnits);
}

void SensorEditor::chooseLevelUnit(int option) {
    current().LevelUnit = optionCode(option, LevelUnits);
    levelWord_ = wordFor(option, LevelLetters);
    if (volumeOption() == 2)
        factorCaption_ = percentCaption(QStringLiteral(" x"));
    else
        setGeneralCaption();
    edited();
}

void SensorEditor::chooseTemperatureUnit(int option) {
    current().TempUnit = optionCode(option, TemperatureUnits);
    edited();
}

void SensorEditor::chooseVolumeUnit(int option) {
    current().VolumeUnit = optionCode(option, VolumeUnits);
    volumeWord_ = wordFor(option, VolumeLetters);
    if (option == 2)
        factorCaption_ = percentCaption(QString());
    else
        setGeneralCaption();
    edited();
}

void SensorEditor::setGeneralCaption() {
    factorCaption_ = volumeWord_ + QStringLiteral(" per ") + levelWord_;
}

// "100 % Volume = Inches", "100 % Volume = Centimeters x".
QString SensorEditor::percentCaption(const QString& ending) const {
    const QString plural =
        levelWord_ == QLatin1String("Inch") ? QStringLiteral("es") : QStringLiteral("s");
    return QStringLiteral("100 % Volume = ") + levelWord_ + plural + ending;
}

bool SensorEditor::levelAndVolumeShown() const {
    return numericValue(floatsDisplay()) != 0;
}

bool SensorEditor::temperatureShown() const {
    return numericValue(tempSensorsDisplay()) != 0;
}

} // namespace rtu
