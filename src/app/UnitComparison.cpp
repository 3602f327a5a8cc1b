#include "app/UnitComparison.h"

#include "config/Numbers.h"
#include "protocol/ReadLines.h"
#include "protocol/UnitCommands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace rtu {

namespace {

enum class Compared { Number, Text };

struct NamedField {
    const char* name;
    Compared as;
};

// Named after the windows' captions, in the order of the record's line.
constexpr std::array<NamedField, 1> PollFields{
    {{"time between polls in seconds", Compared::Number}}};
constexpr std::array<NamedField, 2> LcdTimingFields{{
    {"seconds to display each channel", Compared::Number},
    {"times to repeat display", Compared::Number},
}};
constexpr std::array<NamedField, 2> LcdTextFields{{
    {"LCD line 1", Compared::Text},
    {"LCD line 2", Compared::Text},
}};
constexpr std::array<NamedField, 7> TankFields{{
    {"label", Compared::Text},
    {"floats", Compared::Number},
    {"level unit", Compared::Text},
    {"temperature sensors", Compared::Number},
    {"temperature unit", Compared::Text},
    {"factor", Compared::Number},
    {"volume unit", Compared::Text},
}};
constexpr std::array<NamedField, 7> G4Fields{{
    {"monitor unit", Compared::Number},
    {"monitor", Compared::Text},
    {"float or sensor number", Compared::Number},
    {"ON test", Compared::Text},
    {"ON value", Compared::Number},
    {"OFF test", Compared::Text},
    {"OFF value", Compared::Number},
}};
constexpr std::array<NamedField, 5> Loop420Fields{{
    {"monitor unit", Compared::Number},
    {"monitor", Compared::Text},
    {"float or sensor number", Compared::Number},
    {"4 mA value", Compared::Number},
    {"20 mA value", Compared::Number},
}};

std::array<QString, 7> valuesOf(const SensorRecord& r) {
    return {r.Label,    r.Floats,       r.LevelUnit, r.TempSensors,
            r.TempUnit, r.VolumeFactor, r.VolumeUnit};
}

std::array<QString, 7> valuesOf(const G4Record& r) {
    return {r.Unit, r.Source, r.Channel, r.OnTest, r.OnValue, r.OffTest, r.OffValue};
}

std::array<QString, 5> valuesOf(const Loop420Record& r) {
    return {r.Unit, r.Source, r.Channel, r.Value4mA, r.Value20mA};
}

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

QString quoted(QStringView text) {
    return u'"' + text.toString() + u'"';
}

// Appends a difference for each field whose values differ; `owner` names whose fields they
// are ("tank 05 (NORTH TANK)"), empty for the unit-wide settings.
class Differences {
public:
    explicit Differences(QList<FieldDifference>& list) : list_(list) {}

    void compare(const QString& record, const QString& owner, std::span<const NamedField> fields,
                 std::span<const QString> program, std::span<const QString> unit) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const QString name = owner.isEmpty() ? QLatin1String(fields[i].name)
                                                 : owner + u' ' + QLatin1String(fields[i].name);
            if (fields[i].as == Compared::Number)
                number(record, name, program[i], unit[i]);
            else
                text(record, name, program[i], unit[i]);
        }
    }

private:
    void number(const QString& record, const QString& name, const QString& program,
                const QString& unit) {
        const double programValue = numericValue(program);
        const double unitValue = numericValue(unit);
        if (!sameNumber(programValue, unitValue))
            list_.append({record, name, shortestDecimal(programValue), shortestDecimal(unitValue)});
    }

    void text(const QString& record, const QString& name, const QString& program,
              const QString& unit) {
        const QStringView programText = withoutTrailingSpaces(program);
        const QStringView unitText = withoutTrailingSpaces(unit);
        if (programText != unitText)
            list_.append({record, name, quoted(programText), quoted(unitText)});
    }

    QList<FieldDifference>& list_;
};

// "tank 05 (NORTH TANK)": the label the program shows, beside the number; a tank without
// one goes by its number alone.
QString tankName(const QString& description, const SensorRecord& tank) {
    const QString label = tank.Label.text().trimmed();
    return label.isEmpty() ? description : QStringLiteral("%1 (%2)").arg(description, label);
}

void compareModule(Differences& out, const ReadLine& line, ModuleKind kind, int number,
                   const RecordTables& program, const RecordTables& unit) {
    const QString& record = line.records.first();
    switch (kind) {
    case ModuleKind::Tank: {
        const SensorRecord& tank = program.SensorRecords.at(number);
        out.compare(record, tankName(line.description, tank), TankFields, valuesOf(tank),
                    valuesOf(unit.SensorRecords.at(number)));
        return;
    }
    case ModuleKind::G4:
        out.compare(record, line.description, G4Fields, valuesOf(program.G4Records.at(number)),
                    valuesOf(unit.G4Records.at(number)));
        return;
    case ModuleKind::Loop420:
        out.compare(record, line.description, Loop420Fields,
                    valuesOf(program.Loop420Records[number]),
                    valuesOf(unit.Loop420Records[number]));
        return;
    }
}

void compareUnitWide(Differences& out, const ReadLine& line, UnitGroup group,
                     const UnitSettings& program, const UnitSettings& unit) {
    const QString& record = line.records.first();
    switch (group) {
    case UnitGroup::PollPeriod:
        out.compare(record, {}, PollFields,
                    std::array{QString::number(program.pollPeriodSeconds())},
                    std::array{QString::number(unit.pollPeriodSeconds())});
        return;
    case UnitGroup::LcdTiming:
        out.compare(record, {}, LcdTimingFields,
                    std::array{QString::number(program.lcdSeconds.value),
                               QString::number(program.lcdRepeats.value)},
                    std::array{QString::number(unit.lcdSeconds.value),
                               QString::number(unit.lcdRepeats.value)});
        return;
    case UnitGroup::LcdText:
        out.compare(record, {}, LcdTextFields, program.lcdLines, unit.lcdLines);
        return;
    default: // the clock runs on; the version is no setting
        return;
    }
}

QStringList descriptionsOf(const QStringList& readLines) {
    QStringList descriptions;
    for (const QString& line : readLines)
        descriptions << describeReadLine(line);
    return descriptions;
}

} // namespace

UnitComparison compareWithUnit(const UnitConfiguration& program, const UnitConfiguration& unit,
                               const ReadReport& read, const QStringList& records) {
    UnitComparison result{{}, descriptionsOf(read.unanswered), descriptionsOf(read.partlyAnswered)};
    Differences out(result.differences);
    const auto compared = [&](const ReadLine& line) {
        return !line.records.isEmpty() && records.contains(line.records.first()) &&
               read.answered.contains(line.name);
    };
    for (const UnitGroup group :
         {UnitGroup::PollPeriod, UnitGroup::LcdTiming, UnitGroup::LcdText}) {
        if (const ReadLine& line = unitReadLine(group); compared(line))
            compareUnitWide(out, line, group, program.settings, unit.settings);
    }
    for (const ModuleRange& range : ModuleRanges) {
        for (const int number : range.numbers()) {
            if (const ReadLine& line = moduleReadLine(range.kind, number); compared(line))
                compareModule(out, line, range.kind, number, program.tables, unit.tables);
        }
    }
    return result;
}

} // namespace rtu
