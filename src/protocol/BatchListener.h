#pragma once

#include "config/Records.h"

#include <QString>

namespace rtu {

// What an exchange batch does, as the unit sees it.
enum class BatchAction { Program, Read };
enum class BatchScope {
    RtsPulse,     // the empty batch run once at start-up
    UnitSettings, // the unit-wide settings: "Program" and "Read"
    WholeUnit,    // the unit settings and every record, or those listed
    Module,       // tanks or modules of one kind
};

struct Batch {
    BatchAction action;
    BatchScope scope;
    ModuleKind kind = ModuleKind::Tank; // of a Module batch
};

// The points a batch passes, in this order. RTS rises between Opening and Opened and falls
// between Closing and Closed, except in a module read, which leaves RTS alone.
enum class BatchStep { Opening, Opened, Closing, Closed };

// Hears what a batch does, as it happens, so that the windows can follow: the steps, the RTS
// line, the progress of long actions and an error that cut a batch short. Every event has
// no effect by default, which suits a tool without windows.
class BatchListener {
public:
    virtual ~BatchListener() = default;
    virtual void batchStep(const Batch& /*batch*/, BatchStep /*step*/) {}
    // RTS was just raised or lowered on the port.
    virtual void rtsChanged(bool /*raised*/) {}
    // Step `done` of `total` of a long action is about to run, described by `what`
    // ("Reading tank 07").
    virtual void progress(int /*done*/, int /*total*/, const QString& /*what*/) {}
    // A run-time error skipped the rest of the batch, which closes next. A stop requested
    // by the program's shutdown is no error.
    virtual void batchFailed(const Batch& /*batch*/) {}
};

} // namespace rtu
