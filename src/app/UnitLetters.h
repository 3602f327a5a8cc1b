#pragma once

#include <array>

namespace rtu {

// A tank's unit letters as the sensor window names them, in the order of its options: the
// letter the record holds, the option's caption, the word of the factor's meaning ("Barrels
// per Inch") and the short form after a value ("180.0 in").
struct UnitLetter {
    const char* letter;
    const char* option;
    const char* word;
    const char* abbreviation;
};

inline constexpr std::array<UnitLetter, 2> LevelLetters{{
    {"I", "Inches", "Inch", "in"},
    {"C", "Centimeters", "Centimeter", "cm"},
}};
inline constexpr std::array<UnitLetter, 2> TemperatureLetters{{
    {"F", "Fahrenheit", "", "\u00b0F"},
    {"C", "Centigrade", "", "\u00b0C"},
}};
inline constexpr std::array<UnitLetter, 3> VolumeLetters{{
    {"E", "English", "Barrels", ""},
    {"M", "Metric", "Cubic Meters", ""},
    {"%", "% Volume", "%", ""},
}};

} // namespace rtu
