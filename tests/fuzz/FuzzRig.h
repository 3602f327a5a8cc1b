#pragma once

// What the fuzz targets share: the command protocol wired as the unit tests wire it
// (rtu::ProtocolRig), and the property every configuration must keep.

#include "protocol/ProtocolRig.h"
#include "support/Configurations.h"

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

// A configuration written must load back without a problem and write the same file again.
inline void requireRoundTrip(const UnitSettings& settings, const RecordTables& tables) {
    const QByteArray saved = WriteConfiguration(settings, tables);
    require(saved.count("\r\n") == 39, "39 lines written");
    require(test::savedAgain(saved, settings) == saved, "a written file loads back unchanged");
}

} // namespace rtu::fuzz
