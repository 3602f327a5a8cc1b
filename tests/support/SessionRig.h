#pragma once

#include "app/Session.h"
#include "serial/TerminalScreen.h"
#include "support/Application.h"
#include "support/FakeSerialLibrary.h"
#include "support/RecordingBatchListener.h"
#include "support/RecordingNotifier.h"

namespace rtu::test {

// A session as the programs make one, on `Library` (the scripted one unless told), with
// recording seams for the terminal screen, the batches and the message boxes.
template <typename Library = FakeSerialLibrary> struct SessionRig {
    // COM1 open, each settle delay running the receiver tick, so that the scripted library's
    // answers reach the reply buffer during the wait.
    void openCom1() {
        session.link.CurrentPort = 0;
        library.onDelay = [this] { session.receiver.PollReceiver(); };
    }

    bool applicationReady = (ensureApplication(), true); // the receiver timer needs one
    Library library;
    TextTerminalScreen screen;
    RecordingNotifier notifier;
    RecordingBatchListener listener;
    Session session{library, screen, listener, notifier};
};

} // namespace rtu::test
