#pragma once

#include "serial/PortParameterBlock.h"
#include "serial/SerialLibrary.h"

#include <QString>

namespace rtu {

// The two port settings files in the working directory: "COM.dat" (the port index, 2 bytes)
// and "uart.dat" (the 192-byte parameter block, then the tagged marker 02 00 AA 00). They
// are read as "COM.dat"/"uart.dat" and written as "COM.DAT"/"UART.DAT"; names meet without
// regard to letter case, so a write lands on whichever spelling already exists.
class PortSettingsFiles {
public:
    static constexpr std::int16_t SettingsMarker = 170;

    explicit PortSettingsFiles(QString directory);

    // The stored port index; a missing or empty file reads 0 (and is created empty). An
    // index outside 0..4 falls back to 0 (COM1).
    PortId readPortIndex() const;
    // Reads the block into record; returns true when the marker was present. Without the
    // marker the five codes take their defaults and the other bytes stay as read. A missing
    // file is created empty.
    bool readLineSettings(PortParameterBlock& record) const;

    // Writes "COM.DAT" (2 bytes) and "UART.DAT" (196 bytes). Returns false on failure, with
    // the reason in `reason` when given.
    bool writePortIndex(PortId port, QString* reason = nullptr) const;
    bool writeLineSettings(const PortParameterBlock& record, QString* reason = nullptr) const;

    // The path a name resolves to: an existing file whose name matches without regard to
    // case (the first in name order when there are several), else the name as given.
    QString resolve(const QString& name) const;

private:
    QString directory_;
};

} // namespace rtu
