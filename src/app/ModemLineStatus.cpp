#include "app/ModemLineStatus.h"

namespace rtu {

namespace {

LineIndicator lineIndicator(const QString& name, const QString& meaning,
                            std::optional<bool> raised) {
    if (!raised)
        return {name, LineUnknownGrey, meaning + QStringLiteral(": unknown")};
    return {name, *raised ? LineRaisedGreen : LineLowWhite,
            meaning + (*raised ? QStringLiteral(": on") : QStringLiteral(": off"))};
}

std::optional<bool> lineState(const std::optional<ModemLines>& lines, bool ModemLines::*which) {
    return lines ? std::optional<bool>((*lines).*which) : std::nullopt;
}

} // namespace

ModemLineIndicators modemLineIndicators(const std::optional<ModemLines>& lines) {
    return {lineIndicator(QStringLiteral("CTS"), QStringLiteral("Clear To Send"),
                          lineState(lines, &ModemLines::cts)),
            lineIndicator(QStringLiteral("DSR"), QStringLiteral("Data Set Ready"),
                          lineState(lines, &ModemLines::dsr)),
            lineIndicator(QStringLiteral("DCD"), QStringLiteral("Data Carrier Detect"),
                          lineState(lines, &ModemLines::dcd))};
}

} // namespace rtu
