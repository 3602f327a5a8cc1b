#include "config/UnitSettingsLines.h"

#include "app/UnitSettingsPanel.h"
#include "config/Numbers.h"

namespace rtu {

QString pollPeriodLine(const UnitSettingsPanel& panel) {
    return QStringLiteral("SPP") + formatNumber(panel.pollPeriodSeconds(), u"###000");
}

QString lcdTimingLine(const UnitSettingsPanel& panel) {
    return QStringLiteral("SLCD") + formatNumber(panel.vscroll(5), u"##00") + QStringLiteral("R") +
           formatNumber(panel.vscroll(6), u"##00");
}

QString lcdTextLine(const UnitSettingsPanel& panel) {
    const QChar quote = QLatin1Char('"');
    return QStringLiteral("SLCDT1") + quote + panel.text1(0) + quote + QStringLiteral("T2") +
           quote + panel.text1(1) + quote;
}

} // namespace rtu
