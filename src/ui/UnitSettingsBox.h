#pragma once

#include "app/UnitSettingsModel.h"

#include <QWidget>

#include <array>

class QAction;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace rtu {

class CountingBar;
class LcdTextBox;

// The unit-settings controls of the main window: the clock boxes (Text2), the LCD text boxes
// (Text1), the counters' scroll bars (VScroll2..VScroll6) with their value displays (Label8),
// the software version display (Label2_2) and the row check boxes (Check1) with "Set All" and
// "Clear All". They show the model's values as it reports changes and hand the operator's
// edits to it.
class UnitSettingsBox : public QWidget {
    Q_OBJECT
public:
    explicit UnitSettingsBox(UnitSettingsModel& model, QWidget* parent = nullptr);

    // The Clock menu's "Auto" and "Manual" entries: they set the clock mode and carry its
    // check mark.
    void bindClockMenu(QAction* autoEntry, QAction* manualEntry);

private:
    using Counter = UnitSettings::Counter;

    void build();
    void addCounterColumn(QHBoxLayout* row, Counter counter);
    void bind();
    void showAll();
    void showClockText(ClockBox box);
    void showLcdLine(int index);
    void showCounter(Counter counter);
    void showCounterCaption(Counter counter);
    void showVersion();
    void showRow(UnitRow row);
    void showClockMode();

    UnitSettingsModel& model_;
    std::array<QLineEdit*, 2> clockBoxes_{};
    std::array<LcdTextBox*, 2> lcdBoxes_{};
    std::array<CountingBar*, 5> counterBars_{};
    std::array<QLabel*, 5> counterDisplays_{};
    QLabel* version_ = nullptr;
    std::array<QCheckBox*, UnitRows::Count> rowChecks_{};
    QAction* clockAuto_ = nullptr;
    QAction* clockManual_ = nullptr;
};

} // namespace rtu
