#pragma once

#include "serial/PortParameterBlock.h"
#include "serial/SerialLibrary.h"

#include <QString>

namespace rtu {

// The state the serial link shares across the program: the open port, its parameter
// block and the reply buffer. One instance, owned by the application's session object
// and passed by reference.
struct LinkState {
    PortId CurrentPort = NoPort;
    PortParameterBlock PortRecord;
    QString ReplyBuffer; // the receiver appends, the command exchange clears and searches
};

} // namespace rtu
