#pragma once

namespace rtu {

class SerialLibrary;
class TerminalScreen;
struct LinkState;

// The receiver tick: drains every waiting byte into the reply buffer (the most recent 60
// characters; CR and LF do not cut) and onto the terminal screen (one insertion per tick;
// a screen longer than 4096 characters is cut to its last 2048). The only reader of the port.
class Receiver {
public:
    static constexpr int ReplyBufferKeep = 60;
    // Line ends alone do not trigger the 60-character cut; this bounds the buffer anyway.
    static constexpr int ReplyBufferLimit = 4096;
    static constexpr int ScreenLimit = 4096;
    static constexpr int ScreenKeep = 2048;

    Receiver(SerialLibrary& library, LinkState& link, TerminalScreen& screen);
    void PollReceiver();

private:
    SerialLibrary& library_;
    LinkState& link_;
    TerminalScreen& screen_;
};

} // namespace rtu
