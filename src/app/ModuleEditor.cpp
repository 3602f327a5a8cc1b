#include "app/ModuleEditor.h"

#include "app/ReadOutcome.h"
#include "app/Session.h"
#include "app/UserNotifier.h"
#include "config/ConfigurationFile.h"
#include "config/Numbers.h"
#include "protocol/CommandLines.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace rtu {

namespace {

// The whole number a record's text holds, kept well within int.
int wholeValue(const QString& text) {
    return static_cast<int>(std::clamp(std::trunc(numericValue(text)), -1e6, 1e6));
}

// The option a record's code selects, or -1 for a code without an option.
int optionOf(const QString& code, const std::array<const char*, 3>& codes) {
    const auto found = std::find_if(codes.begin(), codes.end(),
                                    [&](const char* c) { return code == QLatin1String(c); });
    return found == codes.end() ? -1 : int(found - codes.begin());
}

QString optionCode(int option, const std::array<const char*, 3>& codes) {
    return QLatin1String(codes.at(std::size_t(option)));
}

// Option codes in option order; "" never matches a one-letter code.
constexpr std::array<const char*, 3> Comparisons{"GT", "EQ", "LT"};
constexpr std::array<const char*, 3> LevelUnits{"I", "C", ""};
constexpr std::array<const char*, 3> TemperatureUnits{"F", "C", ""};
constexpr std::array<const char*, 3> VolumeUnits{"E", "M", "%"};
constexpr std::array<const char*, 3> LevelWords{"Inch", "Centimeter", ""};
constexpr std::array<const char*, 3> VolumeWords{"Barrels", "Cubic Meters", "%"};

QString wordFor(int option, const std::array<const char*, 3>& words) {
    return option < 0 ? QString() : QLatin1String(words.at(std::size_t(option)));
}

} // namespace

// ---- ModuleEditor ------------------------------------------------------------------------

ModuleEditor::ModuleEditor(Session& session, ModuleKind kind, QObject* parent)
    : QObject(parent), session_(session), tables_(session.tables), range_(moduleRange(kind)) {}

QStringList ModuleEditor::tabCaptions() const {
    QStringList captions;
    for (const int number : range_.numbers())
        captions << range_.caption(number);
    return captions;
}

int ModuleEditor::selected() const {
    return wholeValue(tabCaptions().at(selectedTab_));
}

void ModuleEditor::selectTab(int tab) {
    selectedTab_ = std::clamp(tab, 0, range_.count() - 1);
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
    else if (session_.commands.programModules(range_.kind, numbers))
        outcome_ = QStringLiteral("Programmed ") + describe(numbers);
    else
        outcome_ = QStringLiteral("Program stopped: ") + session_.exchange.lastError();
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
    show();
}

// ---- SensorEditor ------------------------------------------------------------------------

SensorEditor::SensorEditor(Session& session, QObject* parent)
    : ModuleEditor(session, ModuleKind::Tank, parent) {}

SensorRecord& SensorEditor::current() const {
    return tables_.SensorRecords.at(std::size_t(selected()));
}

void SensorEditor::showRecord() {
    const SensorRecord& r = current();
    labelBox_ = r.Label;
    factorBox_ = r.VolumeFactor;
    levelWord_ = wordFor(levelOption(), LevelWords);
    volumeWord_ = wordFor(volumeOption(), VolumeWords);
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
    levelWord_ = wordFor(option, LevelWords);
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
    volumeWord_ = wordFor(option, VolumeWords);
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

// ---- OutputModuleEditor ------------------------------------------------------------------

OutputModuleEditor::OutputModuleEditor(Session& session, ModuleKind kind, int channelBarMin,
                                       QObject* parent)
    : ModuleEditor(session, kind, parent), channelBarMin_(channelBarMin) {}

QString OutputModuleEditor::source() const {
    return sourceOf(selected());
}

int OutputModuleEditor::unitValue() const {
    return wholeValue(unitOf(selected()));
}

int OutputModuleEditor::channelValue() const {
    return wholeValue(channelOf(selected()));
}

// Showing a module applies the window's limits to its own record: a monitor unit that is
// neither a tank nor 99 becomes 0, a level channel 1 or 2, a temperature channel at most 8.
// Values within the limits are kept as stored.
void OutputModuleEditor::showRecord() {
    const int number = selected();
    const int unit = unitValue();
    const bool unitCorrected = unit > LastTank && unit != DisabledUnit;
    if (unitCorrected)
        unitOf(number) = QStringLiteral("0");
    unitDisplay_ = unitCorrected ? twoDigits(0) : storedUnitCaption();
    const int channel = channelValue();
    if (snappedChannel(channel) != channel)
        channelOf(number) = QString::number(snappedChannel(channel));
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
    unitOf(selected()) = QString::number(value);
    unitDisplay_ = twoDigits(value);
    edited();
}

void OutputModuleEditor::chooseLevel() {
    sourceOf(selected()) = QStringLiteral("L");
    if (channelValue() >= 3)
        channelOf(selected()) = QStringLiteral("2");
    edited();
}

void OutputModuleEditor::chooseTemperature() {
    sourceOf(selected()) = QStringLiteral("T");
    if (channelValue() > ChannelBarMax)
        channelOf(selected()) = QString::number(ChannelBarMax);
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
    return channelOf(selected());
}

int OutputModuleEditor::channelBar() const {
    return std::clamp(channelValue(), channelBarMin_, ChannelBarMax);
}

void OutputModuleEditor::setChannel(int value) {
    channelOf(selected()) = QString::number(snappedChannel(value));
    edited();
}

void OutputModuleEditor::setDisableAll(bool ticked) {
    disableAll_ = ticked;
    emit changed();
}

void OutputModuleEditor::disable() {
    const QList<int> numbers = disableAll_ ? range().numbers() : QList<int>{selected()};
    for (const int number : numbers)
        unitOf(number) = QString::number(DisabledUnit);
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

// ---- G4Editor ----------------------------------------------------------------------------

// The G4 window's channel bar starts at 1.
G4Editor::G4Editor(Session& session, QObject* parent)
    : OutputModuleEditor(session, ModuleKind::G4, 1, parent) {}

G4Record& G4Editor::current() const {
    return tables_.G4Records.at(std::size_t(selected()));
}

const G4Record& G4Editor::record() const {
    return current();
}

FixedText<2>& G4Editor::unitOf(int number) const {
    return tables_.G4Records.at(std::size_t(number)).Unit;
}

FixedText<1>& G4Editor::sourceOf(int number) const {
    return tables_.G4Records.at(std::size_t(number)).Source;
}

FixedText<1>& G4Editor::channelOf(int number) const {
    return tables_.G4Records.at(std::size_t(number)).Channel;
}

int G4Editor::onTestOption() const {
    return optionOf(current().OnTest, Comparisons);
}

int G4Editor::offTestOption() const {
    return optionOf(current().OffTest, Comparisons);
}

void G4Editor::chooseOnTest(int option) {
    current().OnTest = optionCode(option, Comparisons);
    edited();
}

void G4Editor::chooseOffTest(int option) {
    current().OffTest = optionCode(option, Comparisons);
    edited();
}

void G4Editor::editOnValue(const QString& text) {
    current().OnValue = text;
    edited();
}

void G4Editor::editOffValue(const QString& text) {
    current().OffValue = text;
    edited();
}

QString G4Editor::whenCaption() const {
    return temperatureSource() ? QStringLiteral("When Temperature is")
                               : QStringLiteral("When Level is");
}

// ---- Loop420Editor -----------------------------------------------------------------------

Loop420Editor::Loop420Editor(Session& session, QObject* parent)
    : OutputModuleEditor(session, ModuleKind::Loop420, 0, parent) {}

Loop420Record& Loop420Editor::current() const {
    return tables_.Loop420Records[selected()];
}

const Loop420Record& Loop420Editor::record() const {
    return current();
}

QString Loop420Editor::storedUnitCaption() const {
    return unitOf(selected()).text();
}

FixedText<2>& Loop420Editor::unitOf(int number) const {
    return tables_.Loop420Records[number].Unit;
}

FixedText<1>& Loop420Editor::sourceOf(int number) const {
    return tables_.Loop420Records[number].Source;
}

FixedText<1>& Loop420Editor::channelOf(int number) const {
    return tables_.Loop420Records[number].Channel;
}

void Loop420Editor::editValue4mA(const QString& text) {
    current().Value4mA = text;
    edited();
}

void Loop420Editor::editValue20mA(const QString& text) {
    current().Value20mA = text;
    edited();
}

} // namespace rtu
