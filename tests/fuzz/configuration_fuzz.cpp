// Any file content: the load never fails badly, and what it leaves saves and loads back.

#include "FuzzRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rtu;
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    UnitSettings settings;
    RecordTables tables = test::defaultTables();
    const LoadResult result = LoadConfiguration(content, settings, tables);
    fuzz::require(result.ok || !result.reason.isEmpty(), "a refused file names its fault");
    wholeConfigurationProblems(content);
    fuzz::requireRoundTrip(settings, tables);
    return 0;
}
