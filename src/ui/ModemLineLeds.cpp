#include "ui/ModemLineLeds.h"

#include "ui/TerminalForm.h"

#include <QHBoxLayout>
#include <QLabel>

namespace rtu {

ModemLineLeds::ModemLineLeds(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const ModemLineIndicators unknown = modemLineIndicators(std::nullopt);
    for (std::size_t i = 0; i < leds_.size(); ++i) {
        leds_[i] = new RtsLed(this);
        leds_[i]->setObjectName(unknown[i].name + QStringLiteral("_LED"));
        names_[i] = new QLabel(unknown[i].name, this);
        layout->addWidget(leds_[i]);
        layout->addWidget(names_[i]);
    }
    showLines(unknown);
}

void ModemLineLeds::showLines(const ModemLineIndicators& indicators) {
    for (std::size_t i = 0; i < leds_.size(); ++i) {
        leds_[i]->setColour(indicators[i].colour);
        leds_[i]->setToolTip(indicators[i].toolTip);
        names_[i]->setToolTip(indicators[i].toolTip);
    }
}

} // namespace rtu
