#pragma once

#include "config/Records.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace rtu {

class Session;
struct ReadReport;

// What the three module windows share: the tab strip that selects a record (the selected
// tab's caption, read as a number, is the record shown), the scope ticks of "Program" and
// "Read", and the two actions through the module-kind table. Every edit goes straight into
// the session's record tables: there is no edit buffer. The window mirrors the editor and
// refreshes every control on changed().
class ModuleEditor : public QObject {
    Q_OBJECT
public:
    ModuleEditor(Session& session, ModuleKind kind, QObject* parent = nullptr);

    const ModuleRange& range() const { return range_; }
    QStringList tabCaptions() const;
    int selectedTab() const { return selectedTab_; }
    // The record number written on the selected tab.
    int selected() const;
    // Selects a tab and shows its record, applying the window's limits to it.
    void selectTab(int tab);

    bool programAll() const { return programAll_; }
    void setProgramAll(bool ticked);
    bool readAll() const { return readAll_; }
    void setReadAll(bool ticked);

    // "Program": the selected record, or all of them, in one exchange batch whose errors end
    // it silently. "Read": the same scope with only the window and the terminal locked;
    // records that did not answer keep their values. Both end by showing the selected record.
    void program();
    void read();
    // The outcome of the last action for the window's status line.
    QString outcome() const { return outcome_; }

signals:
    void changed();

protected:
    // Fills the editor's own display state from the selected record; may correct the
    // record as the window's limits say.
    virtual void showRecord() = 0;
    void show();
    // The operator changed these records (none: the selected one); they count as set
    // from now on, whatever the last read left unanswered.
    void edited(const QList<int>& numbers = {});

    Session& session_;
    RecordTables& tables_;

private:
    QList<int> scope(bool all) const;
    QString describe(const QList<int>& numbers) const;
    QString readSummary(const QList<int>& numbers, const QStringList& silent,
                        const ReadReport& report) const;

    const ModuleRange& range_;
    int selectedTab_ = 0;
    bool programAll_ = false;
    bool readAll_ = false;
    QString outcome_;
};

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

    // The shared fields of a module's record.
    virtual FixedText<2>& unitOf(int number) const = 0;
    virtual FixedText<1>& sourceOf(int number) const = 0;
    virtual FixedText<1>& channelOf(int number) const = 0;

private:
    QString source() const;
    int unitValue() const;
    int channelValue() const;
    int snappedChannel(int value) const;

    int channelBarMin_;
    bool disableAll_ = false;
    QString unitDisplay_;
};

// The G4 on/off module editor ("G4 Modules").
class G4Editor : public OutputModuleEditor {
    Q_OBJECT
public:
    explicit G4Editor(Session& session, QObject* parent = nullptr);

    const G4Record& record() const;
    // Comparison options: 0 ">" "GT", 1 "=" "EQ", 2 "<" "LT"; -1 for any other text.
    int onTestOption() const;
    int offTestOption() const;
    void chooseOnTest(int option);
    void chooseOffTest(int option);
    void editOnValue(const QString& text);
    void editOffValue(const QString& text);
    QString whenCaption() const; // "When Level is" / "When Temperature is"

protected:
    FixedText<2>& unitOf(int number) const override;
    FixedText<1>& sourceOf(int number) const override;
    FixedText<1>& channelOf(int number) const override;

private:
    G4Record& current() const;
};

// The 4-20mA output module editor ("4-20mA Modules").
class Loop420Editor : public OutputModuleEditor {
    Q_OBJECT
public:
    explicit Loop420Editor(Session& session, QObject* parent = nullptr);

    const Loop420Record& record() const;
    void editValue4mA(const QString& text);
    void editValue20mA(const QString& text);

protected:
    // The 4-20mA window shows the monitor unit as stored ("5 " after a file load).
    QString storedUnitCaption() const override;
    FixedText<2>& unitOf(int number) const override;
    FixedText<1>& sourceOf(int number) const override;
    FixedText<1>& channelOf(int number) const override;

private:
    Loop420Record& current() const;
};

} // namespace rtu
