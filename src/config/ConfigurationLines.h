#pragma once

#include "config/Records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

namespace rtu {

struct UnitSettings;

// What the configuration file's writer, the meaning of its lines and its loader share; for
// config only (the public entry is ConfigurationFile.h). A namespace of its own keeps these
// names apart from the helpers of other sources built into one batch.
namespace configfile {

inline const QString Quote = QStringLiteral("\"");

// NUL, the other bytes below a blank, and DEL: the unit would take them as line control, and a
// CR or LF would split the file's line.
inline bool isControlCharacter(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

// The prefixes of the lines that name a record of a table.
struct NumberedLine {
    const char16_t* prefix;
    ModuleKind kind;
};
inline constexpr std::array<NumberedLine, 3> NumberedLines{{
    {u"SU", ModuleKind::Tank},
    {u"SG4", ModuleKind::G4},
    {u"S420C", ModuleKind::Loop420},
}};

// The text of valid UTF-8 bytes; nothing otherwise.
std::optional<QString> decodeUtf8(const QByteArray& bytes);

// The reasons a line loads, but not as the program writes it.
using LineNotes = QStringList;

// Applies one line, when it is of a kind the file holds; a line error (std::exception, its
// reason the message) stops the load there.
void applyLine(QStringView line, UnitSettings& settings, RecordTables& tables, LineNotes& notes);

// The record a line stands for ("SU05", "SLCD"), or an empty string for lines that stand for
// none; nullopt for a record line whose number is outside its table.
std::optional<QString> recordKey(QStringView line);

} // namespace configfile

} // namespace rtu
