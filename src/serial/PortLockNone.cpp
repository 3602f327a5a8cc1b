#include "serial/PortLock.h"

namespace rtu {

bool lockPortDevice(QSerialPort&) {
    return true;
}

} // namespace rtu
