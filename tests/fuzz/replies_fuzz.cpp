// Any replies to a whole "Read All" (the input split at NUL bytes, one piece per read line):
// nothing breaks, and what was read saves and loads back.

#include "FuzzRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rtu;
    const QList<QByteArray> replies =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    ProtocolRig rig;
    const QStringList lines = rig.commands.wholeUnitReadLines();
    for (qsizetype i = 0; i < lines.size() && i < replies.size(); ++i)
        rig.library.answer(lines[i], replies[i]);
    ReadReport report;
    fuzz::require(rig.commands.readAll(&report), "a read ends orderly");
    fuzz::require(report.answered.size() + report.unanswered.size() == 39, "39 reads named");
    fuzz::requireRoundTrip(rig.panel, rig.tables);
    return 0;
}
