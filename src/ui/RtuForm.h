#pragma once

#include "app/MainWindowModel.h"
#include "ui/Dialogs.h"
#include "ui/PortMenuBar.h"
#include "ui/TerminalForm.h"
#include "ui/WindowBatchUi.h"
#include "ui/WindowPairPlacer.h"

#include <QMainWindow>

#include <array>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollBar;

namespace rtu {

class CompareWindow;
class ModuleWindow;
class UnitSettingsBox;
class UserNotifier;

// The main window, "Setup For Model 7350 Terminal Unit.": the unit-settings box, the
// buttons that program, read, save and load, the port and clock menus. It owns the
// terminal window and the model that runs its actions (MainWindowModel), starts up when
// loaded and shuts down when closed (by "EXIT", its close box, the terminal window, a
// termination signal or the end of the desktop session). Its unit-settings controls are a
// UnitSettingsBox over the session's UnitSettingsModel.
class RtuForm : public QMainWindow {
    Q_OBJECT
public:
    struct Environment {
        SerialLibrary& library;
        UserNotifier& notifier;
        FileChooser& files;
        DeviceChooser& devices;
        QString directory;             // where the port settings files and "lastfile.txt" live
        QString workRecordFolder = {}; // empty: no work record
    };

    explicit RtuForm(const Environment& environment, QWidget* parent = nullptr);
    ~RtuForm() override;

    // The start-up: the terminal window shown at this window's right edge, the record
    // defaults, this window shown, the stored port opened with its saved line settings,
    // RTS pulsed, the status tick running.
    void load();

    // Places of the last run, taken at the start-up while they fit the screens.
    void restorePlaces(const WindowPlaces& places) { placer_.restore(places); }

    // Opens a module window as its "Configure ..." menu entry does.
    void openModuleWindow(Window window);

    // Closes with no one to ask (a termination signal, the end of the desktop session):
    // unsaved edits go to the recovery file.
    void closeWithoutAsking();
    // Runs the shutdown now unless it already ran (the event loop is ending).
    void shutDownIfRunning();
    bool hasShutDown() const { return model_.hasShutDown(); }

    TerminalForm& terminal() { return terminal_; }
    MainWindowModel& model() { return model_; }
    Session& session() { return session_; }

signals:
    // The operator chose the devices behind COM1..COM5 under "Port Devices..."; the dialog
    // showed `shown`.
    void devicesChosen(const rtu::PortDevices& shown, const rtu::PortDevices& chosen);
    // The shutdown: where the windows are, for the next run.
    void placesToRemember(const rtu::WindowPlaces& places);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void addModuleEntry(QMenuBar* bar, const QString& caption, const QString& name, Window window);
    ModuleWindow*& moduleWindow(Window window);
    QWidget* buildButtons();

    void bindModel();
    void showPortStatus(const PortStatus& status);
    void showProgress(int done, int total, const QString& what);
    void chooseDevices();
    void compareWithUnit();
    void openWorkRecord();

    void shutDown();
    void closeOtherWindows();

    Environment env_;
    TerminalForm terminal_;
    WindowPairPlacer placer_{*this, terminal_};
    WindowBatchUi batchUi_;
    PortMenuBar portMenus_;
    MainWindowModel model_;
    Session& session_; // the model's, which the unit-settings controls mirror
    bool closingModules_ = false;
    // ConfigSensors, ConfigG4, Config4_20mA while open (each deletes itself on closing).
    std::array<ModuleWindow*, 3> moduleWindows_{};

    QAction* clockAuto_ = nullptr;
    QAction* clockManual_ = nullptr;
    UnitSettingsBox* settingsBox_ = nullptr;
    QPushButton* programAll_ = nullptr;
    QPushButton* readAll_ = nullptr;
    QPushButton* readAgain_ = nullptr;       // "Read Unanswered Again"
    QPushButton* compare_ = nullptr;         // "Compare With Unit"
    CompareWindow* compareWindow_ = nullptr; // made when first asked for, kept when closed
};

} // namespace rtu
