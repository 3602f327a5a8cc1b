// Any bytes sent to the simulated unit: every answer is one whole line, and its state always
// saves as a configuration that loads back.

#include "FuzzRig.h"
#include "sim/SimulatedUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rtu;
    SimulatedUnit unit([] { return QDateTime(QDate(2024, 3, 7), QTime(9, 5, 3)); });
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const SimulatedUnit::Request& request : unit.receive(bytes)) {
        const QByteArray& answer = request.answer;
        fuzz::require(answer.isEmpty() || (answer.endsWith("\r\n") && answer.count('\r') == 1),
                      "an answer is one line");
    }
    fuzz::requireRoundTrip(unit.settings(), unit.tables());
    return 0;
}
