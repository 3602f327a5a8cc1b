#include "config/Records.h"

#include "config/Numbers.h"

#include <stdexcept>
#include <string>

namespace rtu {

namespace {

std::size_t loop420Slot(int module) {
    if (!Loop420Table::contains(module))
        throw std::out_of_range("4-20mA module number " + std::to_string(module) + " outside 1..8");
    return static_cast<std::size_t>(module - Loop420First);
}

} // namespace

QList<int> ModuleRange::numbers() const {
    QList<int> result;
    for (int number = first; number <= last; ++number)
        result << number;
    return result;
}

QString ModuleRange::caption(int number) const {
    return QStringLiteral("%1").arg(number, digits, 10, QLatin1Char('0'));
}

QString ModuleRange::describe(int number) const {
    return QLatin1String(name) + QLatin1Char(' ') + caption(number);
}

Loop420Record& Loop420Table::operator[](int module) {
    return records_[loop420Slot(module)];
}

const Loop420Record& Loop420Table::operator[](int module) const {
    return records_[loop420Slot(module)];
}

void SetSensorDefaults(RecordTables& tables) {
    for (int tank = 0; tank < TankCount; ++tank) {
        SensorRecord& r = tables.SensorRecords.at(static_cast<std::size_t>(tank));
        r.Label = QStringLiteral("TANK ") + formatNumber(tank + 1, u"##00");
        r.Floats = "0";
        r.LevelUnit = "I";
        r.TempSensors = "0";
        r.TempUnit = "F";
        r.VolumeFactor = "1.67";
        r.VolumeUnit = "E";
    }
}

void SetG4Defaults(RecordTables& tables) {
    for (G4Record& r : tables.G4Records) {
        r.Unit = "99";
        r.Source = "L";
        r.Channel = "1";
        r.OnTest = "GT";
        r.OnValue = "0.0";
        r.OffTest = "LT";
        r.OffValue = "0.0";
    }
}

void SetLoop420Defaults(RecordTables& tables) {
    for (int module = Loop420First; module <= Loop420Last; ++module) {
        Loop420Record& r = tables.Loop420Records[module];
        r.Unit = "99";
        r.Source = "L";
        r.Channel = "1";
        r.Value4mA = "0.0";
        r.Value20mA = "239.5";
    }
}

void SetAllDefaults(RecordTables& tables) {
    SetSensorDefaults(tables);
    SetG4Defaults(tables);
    SetLoop420Defaults(tables);
}

} // namespace rtu
