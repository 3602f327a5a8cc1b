#pragma once

#include <QString>

namespace rtu {

// Why a port did not open, in the terms a technician can act on.
enum class OpenFailure {
    None,             // it opened, or the library cannot say
    NoSuchDevice,     // nothing by that name: the adapter is unplugged or has another name
    PermissionDenied, // the user may not use the device (on Linux: not in the dialout group)
    Busy,             // another program holds the port
    Other,            // the system's own words say why
};

struct OpenError {
    OpenFailure reason = OpenFailure::None;
    QString device;     // the device the port was to open
    QString systemText; // the system's wording, such as "No such file or directory"
};

// The reason and what to do about it, such as "busy; another program holds the port, close
// it first"; for a missing device, "no such device" followed by `missingDeviceAdvice` (each
// program knows best where the devices that exist are shown); for other reasons the
// system's own words.
QString describeOpenError(const OpenError& error, const QString& missingDeviceAdvice = {});

} // namespace rtu
