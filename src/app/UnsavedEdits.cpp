#include "app/UnsavedEdits.h"

#include "app/UnitSettingsModel.h"
#include "config/ConfigurationFile.h"
#include "protocol/Exchange.h"

namespace rtu {

UnsavedEdits::UnsavedEdits(const UnitSettingsModel& settings, const RecordTables& tables,
                           Exchange& exchange, QObject* parent)
    : QObject(parent), settings_(settings), tables_(tables), kept_(configuration()) {
    // Only an exchange changes the values while it runs: the windows that edit are locked.
    connect(&exchange, &Exchange::runningChanged, this,
            [this](bool running) { running ? takingBegins() : takingEnds(); });
}

void UnsavedEdits::takingEnds() {
    if (keptBefore_)
        markKept();
}

QByteArray UnsavedEdits::configuration() const {
    return WriteConfiguration(settings_.values(), tables_);
}

} // namespace rtu
