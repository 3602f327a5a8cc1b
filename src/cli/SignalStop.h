#pragma once

#include "cli/CliOptions.h"

#include <QString>

#include <functional>

class QTextStream;

namespace rtu {

class Exchange;

// rtu7350-cli on a termination signal (TERM, INT, HUP) while it talks to the unit: the
// exchange stops at its next line boundary, its batch closes as always (RTS low), and the
// tool says how far the unit was programmed or read and exits as a shell reports a process
// the signal ended (128 + its number: 129, 130, 143). A unit left half programmed must not
// go unnoticed.
class SignalStop {
public:
    explicit SignalStop(Exchange& exchange) : exchange_(exchange) {}

    // Runs a whole-unit action with the signals watched. Outside it they keep their default
    // action and end the tool at once: nothing is under way that a stop could finish.
    bool during(const std::function<bool()>& action);
    bool stopped() const { return signalNumber_ != 0; }
    // After a stop of an action of `plannedLines` lines: "stopped: unit settings and tanks
    // 00-05 programmed; the rest not" for the whole unit, "stopped: 3 of 7 lines programmed;
    // the rest not" for part of it; `done` is "programmed" or "read". Returns the exit status.
    ExitCode report(QTextStream& err, const QString& done, int plannedLines) const;

private:
    Exchange& exchange_;
    int signalNumber_ = 0; // the first signal taken; 0: none
};

} // namespace rtu
