#pragma once

// What the fuzz targets share: the command protocol wired to the scripted serial library,
// as the program wires it, and the property every configuration must keep.

#include "config/ConfigurationFile.h"
#include "config/Records.h"
#include "config/UnitSettingsPanel.h"
#include "protocol/Exchange.h"
#include "protocol/UnitCommands.h"
#include "serial/LinkState.h"
#include "serial/Receiver.h"
#include "serial/TerminalScreen.h"
#include "support/FakeSerialLibrary.h"
#include "support/RecordingNotifier.h"

#include <cstdio>
#include <cstdlib>

namespace rtu::fuzz {

// Stops the run with a message libFuzzer reports as a crash.
inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// A configuration written must load back and write the same file again.
inline void requireRoundTrip(const UnitSettingsPanel& panel, const RecordTables& tables) {
    const QByteArray saved = WriteConfiguration(panel, tables);
    require(saved.count("\r\n") == 39, "39 lines written");
    RecordingNotifier notifier;
    UnitSettingsPanel reloadedPanel(notifier);
    RecordTables reloaded;
    SetAllDefaults(reloaded);
    require(LoadConfiguration(saved, reloadedPanel, reloaded).ok, "a written file loads");
    reloadedPanel.setClockTexts(panel.timeText(), panel.dateText());
    require(WriteConfiguration(reloadedPanel, reloaded) == saved, "loading changes nothing");
}

struct ProtocolRig {
    ProtocolRig() {
        SetAllDefaults(tables);
        link.CurrentPort = 0;
        library.onDelay = [this] { receiver.PollReceiver(); };
    }

    FakeSerialLibrary library;
    LinkState link;
    TextTerminalScreen screen;
    NullBatchUi ui;
    RecordingNotifier notifier;
    UnitSettingsPanel panel{notifier};
    RecordTables tables;
    Receiver receiver{library, link, screen};
    Exchange exchange{library, link, screen, ui, notifier};
    UnitCommands commands{exchange, panel, tables};
};

} // namespace rtu::fuzz
