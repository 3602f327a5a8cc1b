#include "serial/OpenError.h"

namespace rtu {

QString describeOpenError(const OpenError& error, const QString& missingDeviceAdvice) {
    switch (error.reason) {
    case OpenFailure::NoSuchDevice:
        return missingDeviceAdvice.isEmpty()
                   ? QStringLiteral("no such device")
                   : QStringLiteral("no such device; %1").arg(missingDeviceAdvice);
    case OpenFailure::PermissionDenied:
        return QStringLiteral("permission denied; join the dialout group (sudo adduser $USER "
                              "dialout), then log in again");
    case OpenFailure::Busy:
        return QStringLiteral("busy; another program holds the port, close it first");
    case OpenFailure::Other:
    case OpenFailure::None:
        break;
    }
    return error.systemText;
}

} // namespace rtu
