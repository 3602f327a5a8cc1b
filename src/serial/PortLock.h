#pragma once

class QSerialPort;

namespace rtu {

// Takes an exclusive lock on an open port's device for as long as it stays open. The lock
// belongs to the device itself, so one adapter has one owner whatever name it was opened
// by (its node, a by-id name, another symbolic link) and whoever opened it, root included;
// the device's exclusive mode and QSerialPort's lock file, both of which root or another
// name passes, are not enough. False when another program holds the lock. Two
// implementations: flock on the descriptor (PortLockPosix.cpp), and none where the system
// itself opens a port for one program only (PortLockNone.cpp).
bool lockPortDevice(QSerialPort& serial);

} // namespace rtu
