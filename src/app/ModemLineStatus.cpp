#include "app/ModemLineStatus.h"

namespace rtu {

namespace {

LineIndicator indicator(const QString& name, const QString& meaning, std::optional<bool> raised) {
    if (!raised)
        return {name, LineUnknownGrey, meaning + QStringLiteral(": unknown")};
    return {name, *raised ? LineRaisedGreen : LineLowWhite,
            meaning + (*raised ? QStringLiteral(": on") : QStringLiteral(": off"))};
}

std::optional<bool> line(const std::optional<ModemLines>& lines, bool ModemLines::*which) {
    return lines ? std::optional<bool>((*lines).*which) : std::nullopt;
}

} // namespace

ModemLineIndicators modemLineIndicators(const std::optional<ModemLines>& lines) {
    return {indicator(QStringLiteral("CTS"), QStringLiteral("Clear To Send"),
                      line(lines, &ModemLines::cts)),
            indicator(QStringLiteral("DSR"), QStringLiteral("Data Set Ready"),
                      line(lines, &ModemLines::dsr)),
            indicator(QStringLiteral("DCD"), QStringLiteral("Data Carrier Detect"),
                      line(lines, &ModemLines::dcd))};
}

} // namespace rtu
