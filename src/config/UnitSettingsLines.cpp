#include "config/UnitSettingsLines.h"

#include "config/Numbers.h"
#include "config/UnitSettings.h"

namespace rtu {

QString pollPeriodLine(const UnitSettings& settings) {
    return QStringLiteral("SPP") + formatNumber(settings.pollPeriodSeconds(), u"###000");
}

QString lcdTimingLine(const UnitSettings& settings) {
    return QStringLiteral("SLCD") + formatNumber(settings.lcdSeconds.value, u"##00") +
           QStringLiteral("R") + formatNumber(settings.lcdRepeats.value, u"##00");
}

QString lcdTextLine(const UnitSettings& settings) {
    const QChar quote = QLatin1Char('"');
    return QStringLiteral("SLCDT1") + quote + settings.lcdLines[0] + quote + QStringLiteral("T2") +
           quote + settings.lcdLines[1] + quote;
}

QString lcdTextPlaceholder() {
    return QString(UnitSettings::LcdTextMaxLength, QLatin1Char('?'));
}

} // namespace rtu
