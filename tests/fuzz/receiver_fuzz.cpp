// Any bytes on the line: the reply buffer and the terminal screen stay within their bounds.

#include "FuzzRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rtu;
    ProtocolRig rig;
    // Received in a few ticks, as they would arrive.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (qsizetype start = 0; start < bytes.size(); start += 97) {
        rig.library.queueIncoming(bytes.mid(start, 97));
        rig.receiver.PollReceiver();
        fuzz::require(rig.link.ReplyBuffer.size() <= Receiver::ReplyBufferLimit,
                      "reply buffer bounded");
        fuzz::require(rig.screen.length() <= Receiver::ScreenLimit, "screen bounded");
    }
    return 0;
}
