#pragma once

#include "app/Lifecycle.h"
#include "app/PortSelection.h"
#include "app/ReplyWait.h"
#include "app/Session.h"
#include "ui/Dialogs.h"
#include "ui/PortMenuBar.h"
#include "ui/TerminalForm.h"
#include "ui/WindowBatchUi.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <vector>

class QAction;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollBar;

namespace rtu {

class CountingBar;
class LcdTextBox;
class ModuleWindow;
class UserNotifier;

// The main window, "Setup For Model 7350 Terminal Unit.": the unit-settings panel, the
// buttons that program, read, save and load, the port and clock menus. It owns the
// terminal window and the session, runs the start-up when loaded and the shutdown when
// closed (by "EXIT", its close box, the terminal window, a termination signal or the end
// of the desktop session). Its controls mirror the session's UnitSettingsPanel: they show
// the panel's values as the panel reports changes and hand the operator's edits to it.
class RtuForm : public QMainWindow {
    Q_OBJECT
public:
    struct Environment {
        SerialLibrary& library;
        UserNotifier& notifier;
        FileChooser& files;
        DeviceChooser& devices;
        QString directory; // where the port settings files and "lastfile.txt" live
    };

    static constexpr int StatusTickMs = 1000;

    explicit RtuForm(const Environment& environment, QWidget* parent = nullptr);
    ~RtuForm() override;

    // The start-up: the terminal window shown at this window's right edge, the record
    // defaults, this window shown, the stored port opened with its saved line settings,
    // RTS pulsed, the status tick running.
    void load();

    // "Read All", as its button does; returns the one-line outcome the status bar shows.
    QString readAll();

    // Opens a module window as its "Configure ..." menu entry does.
    void openModuleWindow(Window window);

    // Runs the shutdown now unless it already ran (the event loop is ending).
    void shutDownIfRunning();
    bool hasShutDown() const { return lifecycle_.hasShutDown(); }

    TerminalForm& terminal() { return terminal_; }
    Session& session() { return session_; }
    ReplyWait& replyWait() { return replyWait_; }

signals:
    // The operator chose the devices behind COM1..COM5 under "Port Devices...".
    void devicesChosen(const rtu::PortDevices& devices);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void addModuleEntry(QMenuBar* bar, const QString& caption, const QString& name, Window window);
    ModuleWindow*& moduleWindow(Window window);
    QWidget* buildPanel();
    QWidget* buildButtons();
    void addScrollColumn(QHBoxLayout* row, int n);
    void bindPanel();
    void showPanel();
    void showLcdText(int index);
    void showVersion();
    void showClockMode();

    void placeTerminal();
    void refreshPortStatus();
    void showProgress(int done, int total, const QString& what);
    void sendTypedKeys(const QString& text);
    void setRts(bool raised);

    bool confirmProgram(const QString& action, const QStringList& readLines);
    void finishProgram(const QString& action, bool completed, int linesSent,
                       const QString& wholeUnitDone = {});
    void programButton();
    void programAll();
    void readButton();
    void readUnansweredAgain();
    void refreshReadAgain();
    QString finishRead(const QString& action, bool completed, const ReadReport& report,
                       const QString& wholeUnitDone = {});
    void saveConfiguration();
    void loadConfiguration();
    void chooseDevices();
    QString stoppedOutcome(const QString& action, const QString& wholeUnitDone) const;
    QString reportStoppedRead(const QString& text);

    void shutDown();
    void closeOtherWindows();

    Environment env_;
    TerminalForm terminal_;
    WindowBatchUi batchUi_;
    Session session_;
    ReplyWait replyWait_;
    PortMenuBar portMenus_;
    PortSelection ports_;
    Lifecycle lifecycle_;
    QTimer statusTimer_;
    bool closePending_ = false;
    bool closingModules_ = false;
    // ConfigSensors, ConfigG4, Config4_20mA while open (each deletes itself on closing).
    std::array<ModuleWindow*, 3> moduleWindows_{};

    QAction* clockAuto_ = nullptr;
    QAction* clockManual_ = nullptr;
    std::array<QLineEdit*, 2> text2_{};
    std::array<LcdTextBox*, 2> text1_{};
    std::array<CountingBar*, 5> vscroll_{}; // VScroll2..VScroll6
    std::array<QLabel*, 5> label8_{};
    QLabel* label2_ = nullptr;
    std::array<QCheckBox*, 6> check1_{};
    QPushButton* programAll_ = nullptr;
    QPushButton* readAll_ = nullptr;
    QPushButton* readAgain_ = nullptr; // "Read Unanswered Again"
};

} // namespace rtu
