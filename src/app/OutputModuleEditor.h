#pragma once

#include "app/ModuleEditor.h"
#include "config/FixedText.h"

namespace rtu {

// What the G4 and 4-20mA editors share: the monitor unit (a tank 0..15, or 99 for a module
// that is disabled or not in use), the source (level or temperature) and its channel, and
// "Disable" / "Disable All".
class OutputModuleEditor : public ModuleEditor {
    Q_OBJECT
public:
    static constexpr int DisabledUnit = 99;
    static constexpr int UnitBarMax = 100;
    static constexpr int LastTank = TankCount - 1;
    static constexpr int ChannelBarMax = 8;

    // Label2: the monitor unit as the record shows it, and two digits once the operator
    // has set it.
    QString unitDisplay() const { return unitDisplay_; }
    int unitBar() const;
    // A value the monitor-unit bar reached; `dragged` when its thumb is being dragged. A
    // value above 15 other than 99 becomes 0, and so does the first drag away from 99.
    void setUnit(int value, bool dragged = false);

    bool levelSource() const { return source() == QLatin1String("L"); }
    bool temperatureSource() const { return source() == QLatin1String("T"); }
    void chooseLevel();
    void chooseTemperature();

    int channelBarMin() const { return channelBarMin_; }
    QString channelDisplay() const; // Label4
    int channelBar() const;
    void setChannel(int value);

    bool disableAll() const { return disableAll_; }
    void setDisableAll(bool ticked);
    // Unit 99 for the selected module, or for all of them; nothing is sent.
    void disable();

    // A module out of use offers only its monitor unit and the "Disable" controls.
    bool settingsShown() const;
    QString channelCaption() const;  // "Float #" / "Sensor #"
    QString engineeringUnit() const; // "Inches" / "Deg F"

protected:
    OutputModuleEditor(Session& session, ModuleKind kind, int channelBarMin, QObject* parent);
    void showRecord() override;
    // Label2 for a module shown from its record: two digits.
    virtual QString storedUnitCaption() const;

    // The fields a G4 and a 4-20mA record share.
    struct SharedFields {
        FixedText<2>& unit;
        FixedText<1>& source;
        FixedText<1>& channel;
    };
    template <class Record> static SharedFields sharedFields(Record& record) {
        return {record.Unit, record.Source, record.Channel};
    }
    // The shared fields of module `number`'s record.
    virtual SharedFields fieldsOf(int number) const = 0;

private:
    QString source() const;
    int unitValue() const;
    int channelValue() const;
    int snappedChannel(int value) const;

    int channelBarMin_;
    bool disableAll_ = false;
    QString unitDisplay_;
};

} // namespace rtu
