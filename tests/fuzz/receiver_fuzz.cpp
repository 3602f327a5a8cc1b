// Any bytes on the line: the reply buffer and the terminal screen stay within their bounds.

#include "FuzzRig.h"

namespace {

using namespace rtu;

// The receiver on a scripted port 0 (COM1), built once for all inputs: each input leaves
// every byte received (checked) and starts from an empty reply buffer and screen, which is
// all the receiver keeps between ticks.
struct ReceiverRig {
    ReceiverRig() { link.CurrentPort = 0; }
    void reset() {
        link.ReplyBuffer.clear();
        screen.setText({});
    }

    FakeSerialLibrary library;
    LinkState link;
    TextTerminalScreen screen;
    Receiver receiver{library, link, screen};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ReceiverRig rig;
    rig.reset();
    // Received in a few ticks, as they would arrive.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (qsizetype start = 0; start < bytes.size(); start += 97) {
        rig.library.queueIncoming(bytes.mid(start, 97));
        rig.receiver.PollReceiver();
        fuzz::require(rig.link.ReplyBuffer.size() <= Receiver::ReplyBufferLimit,
                      "reply buffer bounded");
        fuzz::require(rig.screen.length() <= Receiver::ScreenLimit, "screen bounded");
    }
    fuzz::require(rig.library.GetByte(rig.link.CurrentPort) < 0, "every byte received");
    return 0;
}
