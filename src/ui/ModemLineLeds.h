#pragma once

#include "app/ModemLineStatus.h"

#include <QWidget>

#include <array>

class QLabel;

namespace rtu {

class RtsLed;

// CTS, DSR and DCD, each a small indicator with its name, read-only: the status tick
// paints them (objectNames "CTS_LED", "DSR_LED", "DCD_LED").
class ModemLineLeds : public QWidget {
    Q_OBJECT
public:
    explicit ModemLineLeds(QWidget* parent = nullptr);
    void showLines(const ModemLineIndicators& indicators);

private:
    std::array<RtsLed*, 3> leds_{};
    std::array<QLabel*, 3> names_{};
};

} // namespace rtu
