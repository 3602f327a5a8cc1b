#include "cli/ConfigurationComparison.h"

#include "config/Numbers.h"
#include "config/UnitSettings.h"
#include "protocol/ReadLines.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace rtu {

namespace {

// Texts in records are fixed-width and the unit pads its LCD lines, so trailing spaces
// carry no meaning.
QStringView withoutTrailingSpaces(QStringView text) {
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

// The file keeps numbers in their shortest form and the unit in its own (0150.000 for 150);
// values that print alike are the same setting.
bool sameNumber(double a, double b) {
    return std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)});
}

class DifferenceCollector {
public:
    DifferenceCollector(QStringList& lines, const QStringList& compared)
        : lines_(lines), compared_(compared) {}

    // The record that the next fields belong to, filled by `line` and named `name` in
    // messages. Returns false when the record is not to be compared.
    bool beginRecord(const QString& name, const ReadLine& line) {
        name_ = name;
        return compared_.contains(line.records.first());
    }

    void number(const char* field, const QString& file, const QString& unit) {
        const double fileValue = numericValue(file);
        const double unitValue = numericValue(unit);
        if (!sameNumber(fileValue, unitValue))
            add(field, shortestDecimal(fileValue), shortestDecimal(unitValue));
    }

    void number(const char* field, int file, int unit) {
        if (file != unit)
            add(field, QString::number(file), QString::number(unit));
    }

    void text(const char* field, const QString& file, const QString& unit) {
        const QStringView fileText = withoutTrailingSpaces(file);
        const QStringView unitText = withoutTrailingSpaces(unit);
        if (fileText != unitText)
            add(field, quoted(fileText), quoted(unitText));
    }

private:
    static QString quoted(QStringView text) { return u'"' + text.toString() + u'"'; }

    void add(const char* field, const QString& file, const QString& unit) {
        lines_.append(
            QStringLiteral("%1 %2: file %3, unit %4").arg(name_, QLatin1String(field), file, unit));
    }

    QStringList& lines_;
    const QStringList& compared_;
    QString name_;
};

void compareUnitWide(DifferenceCollector& out, const UnitWideValues& file,
                     const UnitWideValues& unit) {
    const QString unitName = QStringLiteral("unit");
    if (out.beginRecord(unitName, unitReadLine(UnitGroup::PollPeriod)))
        out.number("PollPeriod", file.pollPeriodSeconds, unit.pollPeriodSeconds);
    if (out.beginRecord(unitName, unitReadLine(UnitGroup::LcdTiming))) {
        out.number("LcdSeconds", file.lcdSeconds, unit.lcdSeconds);
        out.number("LcdRepeats", file.lcdRepeats, unit.lcdRepeats);
    }
    if (out.beginRecord(unitName, unitReadLine(UnitGroup::LcdText))) {
        out.text("LcdLine1", file.lcdLine1, unit.lcdLine1);
        out.text("LcdLine2", file.lcdLine2, unit.lcdLine2);
    }
}

void compareTank(DifferenceCollector& out, const RecordTables& fileTables,
                 const RecordTables& unitTables, int tank) {
    const SensorRecord& file = fileTables.SensorRecords.at(tank);
    const SensorRecord& unit = unitTables.SensorRecords.at(tank);
    out.text("Label", file.Label, unit.Label);
    out.number("Floats", file.Floats, unit.Floats);
    out.text("LevelUnit", file.LevelUnit, unit.LevelUnit);
    out.number("TempSensors", file.TempSensors, unit.TempSensors);
    out.text("TempUnit", file.TempUnit, unit.TempUnit);
    out.number("VolumeFactor", file.VolumeFactor, unit.VolumeFactor);
    out.text("VolumeUnit", file.VolumeUnit, unit.VolumeUnit);
}

void compareG4(DifferenceCollector& out, const RecordTables& fileTables,
               const RecordTables& unitTables, int module) {
    const G4Record& file = fileTables.G4Records.at(module);
    const G4Record& unit = unitTables.G4Records.at(module);
    out.number("Unit", file.Unit, unit.Unit);
    out.text("Source", file.Source, unit.Source);
    out.number("Channel", file.Channel, unit.Channel);
    out.text("OnTest", file.OnTest, unit.OnTest);
    out.number("OnValue", file.OnValue, unit.OnValue);
    out.text("OffTest", file.OffTest, unit.OffTest);
    out.number("OffValue", file.OffValue, unit.OffValue);
}

void compareLoop420(DifferenceCollector& out, const RecordTables& fileTables,
                    const RecordTables& unitTables, int module) {
    const Loop420Record& file = fileTables.Loop420Records[module];
    const Loop420Record& unit = unitTables.Loop420Records[module];
    out.number("Unit", file.Unit, unit.Unit);
    out.text("Source", file.Source, unit.Source);
    out.number("Channel", file.Channel, unit.Channel);
    out.number("Value4mA", file.Value4mA, unit.Value4mA);
    out.number("Value20mA", file.Value20mA, unit.Value20mA);
}

} // namespace

UnitWideValues unitWideValues(const UnitSettings& settings) {
    UnitWideValues values;
    values.pollPeriodSeconds = settings.pollPeriodSeconds();
    values.lcdSeconds = settings.lcdSeconds.value;
    values.lcdRepeats = settings.lcdRepeats.value;
    values.lcdLine1 = settings.lcdLines[0];
    values.lcdLine2 = settings.lcdLines[1];
    return values;
}

QStringList configurationDifferences(const ConfigurationSnapshot& file,
                                     const ConfigurationSnapshot& unit,
                                     const QStringList& compared) {
    QStringList lines;
    DifferenceCollector out(lines, compared);
    compareUnitWide(out, file.unit, unit.unit);
    // Indexed by ModuleKind.
    constexpr std::array<
        void (*)(DifferenceCollector&, const RecordTables&, const RecordTables&, int), 3>
        compareRecord{compareTank, compareG4, compareLoop420};
    for (const ModuleRange& range : ModuleRanges) {
        for (const int number : range.numbers()) {
            const ReadLine& line = moduleReadLine(range.kind, number);
            if (out.beginRecord(line.description, line))
                compareRecord[static_cast<std::size_t>(range.kind)](out, file.tables, unit.tables,
                                                                    number);
        }
    }
    return lines;
}

} // namespace rtu
