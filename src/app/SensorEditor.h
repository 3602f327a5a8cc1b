#pragma once

#include "app/ModuleEditor.h"

namespace rtu {

// The tank editor ("Sensors"). Showing a tank never changes its record.
class SensorEditor : public ModuleEditor {
    Q_OBJECT
public:
    static constexpr int LabelBoxLimit = 10;  // more is refused with a beep
    static constexpr int FactorBoxLimit = 10; // the record keeps the first six
    static constexpr int MaxFloats = 2;
    static constexpr int MaxTempSensors = 8;

    explicit SensorEditor(Session& session, QObject* parent = nullptr);

    QString labelBox() const { return labelBox_; }
    void editLabel(const QString& text);
    QString factorBox() const { return factorBox_; }
    void editFactor(const QString& text);

    // The number displays show the record's text; the bars the nearest value they can hold.
    QString floatsDisplay() const;
    int floatsBar() const;
    void setFloats(int value);
    QString tempSensorsDisplay() const;
    int tempSensorsBar() const;
    void setTempSensors(int value);

    // Option indexes: level 0 "Inches" 1 "Centimeters"; temperature 0 "Fahrenheit"
    // 1 "Centigrade"; volume 0 "English" 1 "Metric" 2 "% Volume"; -1 when none is selected.
    int levelOption() const;
    int temperatureOption() const;
    int volumeOption() const;
    void chooseLevelUnit(int option);
    void chooseTemperatureUnit(int option);
    void chooseVolumeUnit(int option);

    QString factorCaption() const { return factorCaption_; } // Label5

    // A tank without floats offers no level and volume settings, one without temperature
    // sensors no temperature unit; hidden settings keep their values.
    bool levelAndVolumeShown() const;
    bool temperatureShown() const;

protected:
    void showRecord() override;

private:
    SensorRecord& current() const;
    void setGeneralCaption();
    QString percentCaption(const QString& ending) const;

    QString labelBox_;
    QString factorBox_;
    QString levelWord_;
    QString volumeWord_;
    QString factorCaption_;
};

} // namespace rtu
