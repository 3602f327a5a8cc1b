#include "config/UnitSettingsLines.h"

#include "config/Numbers.h"
#include "config/UnitSettingsPanel.h"

namespace rtu {

QString pollPeriodLine(const UnitSettingsPanel& panel) {
    return QStringLiteral("SPP") + formatNumber(panel.pollPeriodSeconds(), u"###000");
}

QString lcdTimingLine(const UnitSettingsPanel& panel) {
    return QStringLiteral("SLCD") + formatNumber(panel.lcdSeconds(), u"##00") +
           QStringLiteral("R") + formatNumber(panel.lcdRepeats(), u"##00");
}

QString lcdTextLine(const UnitSettingsPanel& panel) {
    const QChar quote = QLatin1Char('"');
    return QStringLiteral("SLCDT1") + quote + panel.lcdLine(1) + quote + QStringLiteral("T2") +
           quote + panel.lcdLine(2) + quote;
}

QString lcdTextPlaceholder() {
    return QString(UnitSettingsPanel::LcdTextMaxLength, QLatin1Char('?'));
}

} // namespace rtu
