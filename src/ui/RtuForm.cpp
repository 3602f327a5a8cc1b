#include "ui/RtuForm.h"

#include "serial/SerialLibrary.h"
#include "ui/CompareWindow.h"
#include "ui/ModuleWindows.h"
#include "ui/UnitSettingsBox.h"
#include "ui/Widgets.h"
#include "ui/WorkRecordWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace rtu {

RtuForm::RtuForm(const Environment& environment, QWidget* parent)
    : QMainWindow(parent), env_(environment),
      batchUi_(*this, terminal_, terminal_.rtsLed(),
               [this](Window window) -> QWidget* { return moduleWindow(window); }),
      model_({env_.library, terminal_.screen(), batchUi_, portMenus_, env_.notifier, env_.files,
              env_.directory, env_.workRecordFolder}),
      session_(model_.session()) {
    setObjectName(QStringLiteral("RtuForm"));
    setWindowTitle(QStringLiteral("Setup For Model 7350 Terminal Unit."));
    terminal_.useDialogs(env_.files, env_.notifier);
    buildMenus();
    model_.ports().setMissingDeviceAdvice(
        QStringLiteral("choose the adapter under Port Devices..."));

    auto* frame = new QGroupBox(QStringLiteral("LCD"));
    frame->setObjectName(QStringLiteral("RtuFrm"));
    auto* frameLayout = new QHBoxLayout(frame);
    settingsBox_ = new UnitSettingsBox(session_.settings);
    frameLayout->addWidget(settingsBox_, 1);
    frameLayout->addWidget(buildButtons());
    auto* central = new QWidget;
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->addWidget(frame);
    setCentralWidget(central);
    auto* outcomeBar = new OutcomeBar;
    setStatusBar(outcomeBar);
    outcomeBar->setObjectName(QStringLiteral("ProgressBar"));
    connect(outcomeBar, &OutcomeBar::outcomeClicked, this, [this](const QString& outcome) {
        env_.notifier.showMessage(outcome, QString(), MessageIcon::Information);
    });
    // Beside the outcome that names the lines with no reply.
    readAgain_ =
        button(QStringLiteral("Read Unanswered Again"), QStringLiteral("ReadUnansweredAgain"));
    statusBar()->addPermanentWidget(readAgain_);
    readAgain_->setEnabled(false);
    connect(readAgain_, &QPushButton::clicked, &model_, &MainWindowModel::readUnansweredAgain);
    compare_ = button(QStringLiteral("Compare With Unit"), QStringLiteral("CompareWithUnit"));
    statusBar()->addPermanentWidget(compare_);
    connect(compare_, &QPushButton::clicked, this, &RtuForm::compareWithUnit);

    settingsBox_->bindClockMenu(clockAuto_, clockManual_);
    bindModel();
}

void RtuForm::bindModel() {
    connect(&model_, &MainWindowModel::outcomeChanged, statusBar(),
            [this](const QString& text) { statusBar()->showMessage(text); });
    connect(&model_, &MainWindowModel::portStatusChanged, this, &RtuForm::showPortStatus);
    connect(&model_, &MainWindowModel::readAgainEnabledChanged, readAgain_,
            &QPushButton::setEnabled);
    connect(&model_, &MainWindowModel::closeReady, this,
            [this] { QTimer::singleShot(0, this, [this] { close(); }); });
    connect(&batchUi_, &WindowBatchUi::progressed, this, &RtuForm::showProgress);
    connect(&terminal_, &TerminalForm::keyTyped, &model_, &MainWindowModel::sendTypedKeys);
    connect(&terminal_, &TerminalForm::rtsOnClicked, &model_, [this] { model_.setRts(true); });
    connect(&terminal_, &TerminalForm::rtsOffClicked, &model_, [this] { model_.setRts(false); });
    connect(&terminal_, &TerminalForm::closeRequested, this, [this] { close(); });
}

// The controls go before the session they are bound to: nothing they report while being
// destroyed (a focus change) may reach a session that is gone.
RtuForm::~RtuForm() {
    for (ModuleWindow* window : moduleWindows_)
        delete window;
    delete compareWindow_;
    delete takeCentralWidget();
}

void RtuForm::buildMenus() {
    QMenuBar* bar = menuBar();
    ReplyWait& replyWait = model_.replyWait();
    portMenus_.build(bar, model_.ports(), replyWait);
    terminal_.setReplyWait(replyWait.statusText());
    connect(&replyWait, &ReplyWait::changed, this,
            [this, &replyWait] { terminal_.setReplyWait(replyWait.statusText()); });
    connect(&portMenus_, &PortMenuBar::devicesRequested, this, &RtuForm::chooseDevices);
    addMenu(bar, QString(), QStringLiteral("empty2"));
    QMenu* clock = addMenu(bar, QStringLiteral("Clock"), QStringLiteral("CLKDT"));
    clockAuto_ = addEntry(clock, QStringLiteral("Auto"), QStringLiteral("CLKAUTO"), true);
    clockManual_ = addEntry(clock, QStringLiteral("Manual"), QStringLiteral("CLKMAN"), true);
    addMenu(bar, QString(), QStringLiteral("empty1"));
    addMenu(bar, QString(), QStringLiteral("empty"));
    addModuleEntry(bar, QStringLiteral("Configure Sensors"), QStringLiteral("Sensors"),
                   Window::ConfigSensors);
    addModuleEntry(bar, QStringLiteral("Configure G4 Module"), QStringLiteral("G4"),
                   Window::ConfigG4);
    addModuleEntry(bar, QStringLiteral("Configure 4-20mA Module"), QStringLiteral("a4_20mA"),
                   Window::Config4_20mA);
    // What a visit leaves behind shares one menu, so that the bar stays as wide as before and
    // the terminal still fits beside the window on a laptop screen.
    QMenu* site = addMenu(bar, QStringLiteral("Site"), QStringLiteral("Site"));
    QAction* record = site->addAction(QStringLiteral("Work Record..."));
    record->setObjectName(QStringLiteral("WorkRecord"));
    connect(record, &QAction::triggered, this, &RtuForm::openWorkRecord);
    QAction* exportReport = site->addAction(QStringLiteral("Export Report..."));
    exportReport->setObjectName(QStringLiteral("ExportReport"));
    connect(exportReport, &QAction::triggered, &model_, [this] {
        model_.exportReport(compareWindow_ ? compareWindow_->model().lastComparison() : nullptr);
    });
    QAction* version = bar->addAction(QStringLiteral("Version"));
    version->setObjectName(QStringLiteral("Ver"));
    connect(version, &QAction::triggered, &model_, &MainWindowModel::showVersion);
}

// A window of its own beside the others; it reads the record as it stands when opened.
void RtuForm::openWorkRecord() {
    auto* window = new WorkRecordWindow(env_.workRecordFolder, env_.files, this);
    window->show();
}

void RtuForm::addModuleEntry(QMenuBar* bar, const QString& caption, const QString& name,
                             Window window) {
    QAction* entry = bar->addAction(caption);
    entry->setObjectName(name);
    connect(entry, &QAction::triggered, this, [this, window] { openModuleWindow(window); });
}

ModuleWindow*& RtuForm::moduleWindow(Window window) {
    return moduleWindows_.at(std::size_t(window) - std::size_t(Window::ConfigSensors));
}

// A module window takes this window's place and hides it; closing it brings this window
// back where it was, except while the program ends.
void RtuForm::openModuleWindow(Window window) {
    ModuleWindow*& open = moduleWindow(window);
    if (open)
        return;
    if (window == Window::ConfigSensors)
        open = new ConfigSensors(session_, this);
    else if (window == Window::ConfigG4)
        open = new ConfigG4(session_, this);
    else
        open = new Config4_20mA(session_, this);
    connect(open, &ModuleWindow::closed, this, [this, window] {
        moduleWindow(window) = nullptr;
        if (!closingModules_)
            show();
    });
    open->open(geometry());
    placer_.keepApart(*open);
    hide();
}

QWidget* RtuForm::buildButtons() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    auto* exit = button(QStringLiteral("EXIT"), QStringLiteral("Command9"));
    auto* program = button(QStringLiteral("Program"), QStringLiteral("Command5"));
    auto* read = button(QStringLiteral("Read"), QStringLiteral("Command8"));
    programAll_ = button(QStringLiteral("Program All"), QStringLiteral("Command1"));
    readAll_ = button(QStringLiteral("Read All"), QStringLiteral("Command2"));
    auto* save = button(QStringLiteral("Save"), QStringLiteral("Command3"));
    auto* load = button(QStringLiteral("Load"), QStringLiteral("Command4"));
    layout->addWidget(exit);
    layout->addWidget(buttonBox(QStringLiteral("Lcd"), program, read));
    layout->addWidget(buttonBox(QStringLiteral("Terminal\nUnit"), programAll_, readAll_));
    layout->addWidget(buttonBox(QStringLiteral("File"), save, load));
    layout->addStretch(1);

    connect(exit, &QPushButton::clicked, this, [this] { close(); });
    connect(program, &QPushButton::clicked, &model_, &MainWindowModel::program);
    connect(read, &QPushButton::clicked, &model_, &MainWindowModel::read);
    connect(programAll_, &QPushButton::clicked, &model_, &MainWindowModel::programAll);
    connect(readAll_, &QPushButton::clicked, &model_, &MainWindowModel::readAll);
    connect(save, &QPushButton::clicked, &model_, &MainWindowModel::save);
    connect(load, &QPushButton::clicked, &model_, &MainWindowModel::load);
    return column;
}

void RtuForm::load() {
    adjustSize();
    // Wide enough for the whole menu bar on one line.
    resize(std::max(width(), menuBar()->sizeHint().width()), height());
    // The pair of windows starts centred on the screen, both in view. The terminal's status
    // panels want their whole texts only once it is shown.
    terminal_.show();
    placer_.place();
    model_.startUp([this] {
        setEnabled(true);
        show();
        placer_.place();
    });
    placer_.place(); // its filled status panels may want it wider
}

void RtuForm::showPortStatus(const PortStatus& status) {
    terminal_.setPanels(status.panels);
    terminal_.showPortDevice(status.device);
    terminal_.showModemLines(status.modemLines);
    programAll_->setEnabled(status.portControlsEnabled);
    readAll_->setEnabled(status.portControlsEnabled);
    compare_->setEnabled(status.portControlsEnabled);
    portMenus_.setCharacteristicsEnabled(status.portControlsEnabled);
}

void RtuForm::showProgress(int done, int total, const QString& what) {
    statusBar()->showMessage(QStringLiteral("%1 \u2014 %2 of %3").arg(what).arg(done).arg(total));
}

void RtuForm::chooseDevices() {
    PortDevices current;
    for (PortId port = 0; port < PortCount; ++port)
        current[std::size_t(port)] = env_.library.device(port);
    const std::optional<PortDevices> chosen = env_.devices.chooseDevices(current);
    if (!chosen)
        return;
    for (PortId port = 0; port < PortCount; ++port)
        env_.library.setDevice(port, (*chosen)[std::size_t(port)]);
    emit devicesChosen(current, *chosen);
    // The open port moves to its new device at once.
    const PortId open = session_.link.CurrentPort;
    if (open != NoPort && (*chosen)[std::size_t(open)] != current[std::size_t(open)])
        model_.ports().SelectPort(open);
}

// The comparison's window stays open beside this one; its outcomes reach this status bar too,
// and values it takes into the program show in the module windows open now.
void RtuForm::compareWithUnit() {
    if (!compareWindow_) {
        compareWindow_ = new CompareWindow(session_, this);
        CompareModel& compare = compareWindow_->model();
        connect(&compare, &CompareModel::outcomeChanged, statusBar(),
                [this](const QString& text) { statusBar()->showMessage(text); });
        connect(&compare, &CompareModel::valuesTaken, this, [this] {
            for (ModuleWindow* window : moduleWindows_) {
                if (window)
                    window->showRecordAgain();
            }
        });
    }
    compareWindow_->show();
    compareWindow_->raise();
    compareWindow_->model().compare();
}

void RtuForm::closeEvent(QCloseEvent* event) {
    if (model_.hasShutDown()) {
        event->accept();
        return;
    }
    // A running exchange first stops at its line boundary; the close comes again then.
    if (!model_.requestClose()) {
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

void RtuForm::closeWithoutAsking() {
    model_.endWithoutAsking();
    close();
}

void RtuForm::shutDownIfRunning() {
    if (model_.hasShutDown())
        return;
    shutDown();
    hide();
}

void RtuForm::shutDown() {
    emit placesToRemember(placer_.places());
    // The module windows go first, in this order, without bringing this window back.
    closingModules_ = true;
    for (ModuleWindow* window : moduleWindows_) {
        if (window)
            window->close();
    }
    model_.shutDown();
    terminal_.unload();
    closeOtherWindows();
}

// Dialogs and message boxes still open go with the program.
void RtuForm::closeOtherWindows() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window != &terminal_ && window->isVisible())
            window->close();
    }
}

} // namespace rtu
