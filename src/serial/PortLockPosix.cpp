#include "serial/PortLock.h"

#include <QSerialPort>

#include <cerrno>
#include <sys/file.h>

namespace rtu {

// Only a lock held elsewhere refuses the port: a device or file system without locks is
// used as before.
bool lockPortDevice(QSerialPort& serial) {
    return ::flock(serial.handle(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

} // namespace rtu
