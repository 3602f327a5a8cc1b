#pragma once

#include "app/G4Editor.h"
#include "app/Loop420Editor.h"
#include "app/SensorEditor.h"
#include "ui/ModuleWindow.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rtu {

class CountingBar;
class Session;

// "Sensors": the 16 tanks, one at a time.
class ConfigSensors : public ModuleWindow {
    Q_OBJECT
public:
    explicit ConfigSensors(Session& session, QWidget* parent = nullptr);

protected:
    void showEditor() override;

private:
    ConfigSensors(SensorEditor* editor, QWidget* parent);

    SensorEditor& editor_;
    QLineEdit* label_;
    QLabel* floats_;
    CountingBar* floatsBar_;
    QLabel* tempSensors_;
    CountingBar* tempSensorsBar_;
    QGroupBox* levelFrame_;
    QGroupBox* temperatureFrame_;
    QGroupBox* volumeFrame_;
    QButtonGroup* level_;
    QButtonGroup* temperature_;
    QButtonGroup* volume_;
    QLabel* factorCaption_;
    QLineEdit* factor_;
};

// The controls the G4 and 4-20mA windows share: monitor unit with "Disable" and
// "Disable All", level or temperature, and the float or sensor number.
class OutputModuleWindow : public ModuleWindow {
    Q_OBJECT
protected:
    OutputModuleWindow(OutputModuleEditor& editor, const Captions& captions, QWidget* parent);
    void showEditor() override;

    OutputModuleEditor& editor_;
    QLabel* unit_;
    CountingBar* unitBar_;
    QPushButton* disable_;
    QCheckBox* disableAll_;
    QWidget* sourceBox_; // "Level", "Temperature"
    QButtonGroup* source_;
    QLabel* channelCaption_;
    QLabel* channel_;
    CountingBar* channelBar_;
};

// "4-20mA Modules": the eight 4-20mA output modules.
class Config4_20mA : public OutputModuleWindow {
    Q_OBJECT
public:
    explicit Config4_20mA(Session& session, QWidget* parent = nullptr);

protected:
    void showEditor() override;

private:
    Config4_20mA(Loop420Editor* editor, QWidget* parent);

    Loop420Editor& loopEditor_;
    QFrame* sourceFrame_;
    QFrame* valuesFrame_;
    QLineEdit* value4mA_;
    QLineEdit* value20mA_;
    std::array<QLabel*, 2> engineeringUnits_{};
};

// "G4 Modules": the ten G4 on/off output modules.
class ConfigG4 : public OutputModuleWindow {
    Q_OBJECT
public:
    explicit ConfigG4(Session& session, QWidget* parent = nullptr);

protected:
    void showEditor() override;

private:
    ConfigG4(G4Editor* editor, QWidget* parent);

    G4Editor& g4Editor_;
    QFrame* onFrame_;
    QFrame* offFrame_;
    QButtonGroup* onTest_;
    QButtonGroup* offTest_;
    QLineEdit* onValue_;
    QLineEdit* offValue_;
    std::array<QLabel*, 2> whenCaptions_{};
    std::array<QLabel*, 2> engineeringUnits_{};
};

} // namespace rtu
