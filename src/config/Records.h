#pragma once

#include "config/FixedText.h"

#include <QList>
#include <QString>

#include <array>

namespace rtu {

inline constexpr int TankCount = 16;   // tank index 0..15
inline constexpr int G4Count = 10;     // G4 module number 0..9
inline constexpr int Loop420First = 1; // 4-20mA module numbers are 1..8
inline constexpr int Loop420Last = 8;

// The three kinds of numbered records, and how each is numbered everywhere: on the wire, in
// the configuration file, on the module windows' tabs and in messages.
enum class ModuleKind { Tank, G4, Loop420 };

struct ModuleRange {
    ModuleKind kind;
    int first;
    int last;
    int digits;       // tanks go out as "07", modules as "3"
    const char* name; // "tank", "G4 module", "4-20mA module"

    bool contains(int number) const { return number >= first && number <= last; }
    int count() const { return last - first + 1; }
    QList<int> numbers() const;         // first..last
    QString caption(int number) const;  // "07", "3": the tab caption and the wire number
    QString describe(int number) const; // "tank 07", "G4 module 3"
};

// In the order of a whole-unit program or read: tanks, G4 modules, 4-20mA modules.
inline constexpr std::array<ModuleRange, 3> ModuleRanges{{
    {ModuleKind::Tank, 0, TankCount - 1, 2, "tank"},
    {ModuleKind::G4, 0, G4Count - 1, 1, "G4 module"},
    {ModuleKind::Loop420, Loop420First, Loop420Last, 1, "4-20mA module"},
}};

constexpr const ModuleRange& moduleRange(ModuleKind kind) {
    return ModuleRanges[static_cast<std::size_t>(kind)];
}

inline constexpr int ModuleRecordCount = TankCount + G4Count + (Loop420Last - Loop420First + 1);

// One tank: 21 characters in 7 fields.
struct SensorRecord {
    FixedText<10> Label;
    FixedText<1> Floats;      // number of level floats, one digit
    FixedText<1> LevelUnit;   // "I" inch, "C" centimeter
    FixedText<1> TempSensors; // number of temperature sensors, one digit
    FixedText<1> TempUnit;    // "F" or "C"
    FixedText<6> VolumeFactor;
    FixedText<1> VolumeUnit; // "E" barrels, "M" cubic meters, "%" percent
    friend bool operator==(const SensorRecord&, const SensorRecord&) = default;
};

// One G4 on/off output module: 24 characters in 7 fields. Unit "99" = disabled.
struct G4Record {
    FixedText<2> Unit;
    FixedText<1> Source;  // "L" level, "T" temperature
    FixedText<1> Channel; // float or temperature sensor number
    FixedText<2> OnTest;  // "GT", "EQ" or "LT"
    FixedText<8> OnValue;
    FixedText<2> OffTest;
    FixedText<8> OffValue;
    friend bool operator==(const G4Record&, const G4Record&) = default;
};

// One 4-20mA output module: 20 characters in 5 fields. Unit "99" = not in use.
struct Loop420Record {
    FixedText<2> Unit;
    FixedText<1> Source;
    FixedText<1> Channel;
    FixedText<8> Value4mA;
    FixedText<8> Value20mA;
    friend bool operator==(const Loop420Record&, const Loop420Record&) = default;
};

// The 4-20mA modules are numbered 1..8 everywhere (wire, file, window tabs), so the table
// is indexed by that number. Any other number is a caller error: std::out_of_range.
class Loop420Table {
public:
    Loop420Record& operator[](int module);
    const Loop420Record& operator[](int module) const;
    static bool contains(int module) { return module >= Loop420First && module <= Loop420Last; }
    friend bool operator==(const Loop420Table&, const Loop420Table&) = default;

private:
    std::array<Loop420Record, Loop420Last - Loop420First + 1> records_{};
};

// The three record tables of the unit's configuration. Access with .at() (sensors, G4)
// or [] (4-20mA) so that a number outside a table's range throws rather than corrupts.
struct RecordTables {
    std::array<SensorRecord, TankCount> SensorRecords{};
    std::array<G4Record, G4Count> G4Records{};
    Loop420Table Loop420Records{};
    friend bool operator==(const RecordTables&, const RecordTables&) = default;
};

void SetSensorDefaults(RecordTables& tables);
void SetG4Defaults(RecordTables& tables);
void SetLoop420Defaults(RecordTables& tables);

// The three default routines in start-up order.
void SetAllDefaults(RecordTables& tables);

} // namespace rtu
