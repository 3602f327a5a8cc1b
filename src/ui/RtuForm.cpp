#include "ui/RtuForm.h"

#include "app/FileActions.h"
#include "app/ReadOutcome.h"
#include "app/WindowPlacement.h"
#include "config/UserNotifier.h"
#include "serial/SerialLibrary.h"
#include "ui/LcdTextBox.h"
#include "ui/ModuleWindows.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QVBoxLayout>

#include <algorithm>

namespace rtu {

namespace {

const QString FileDialogTitle = QStringLiteral("File Open");
const QString FilePattern = QStringLiteral("*.txt");

} // namespace

RtuForm::RtuForm(const Environment& environment, QWidget* parent)
    : QMainWindow(parent), env_(environment),
      batchUi_(*this, terminal_, terminal_.rtsLed(),
               [this](Window window) -> QWidget* { return moduleWindow(window); }),
      session_(env_.library, terminal_.screen(), batchUi_, env_.notifier), replyWait_(env_.library),
      ports_(env_.library, session_.link, terminal_.screen(), portMenus_),
      lifecycle_(session_, ports_, batchUi_, env_.notifier, env_.directory) {
    setObjectName(QStringLiteral("RtuForm"));
    setWindowTitle(QStringLiteral("Setup For Model 7350 Terminal Unit."));
    buildMenus();
    ports_.setMissingDeviceAdvice(QStringLiteral("choose the adapter under Port Devices..."));

    auto* frame = new QGroupBox(QStringLiteral("LCD"));
    frame->setObjectName(QStringLiteral("RtuFrm"));
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(buildPanel(), 1);
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
    connect(readAgain_, &QPushButton::clicked, this, &RtuForm::readUnansweredAgain);
    connect(&session_.unanswered, &UnansweredReads::changed, this, &RtuForm::refreshReadAgain);
    refreshReadAgain();

    bindPanel();
    showPanel();

    statusTimer_.setInterval(StatusTickMs);
    connect(&statusTimer_, &QTimer::timeout, this, &RtuForm::refreshPortStatus);
    connect(&session_.exchange, &Exchange::runningChanged, &batchUi_,
            &WindowBatchUi::setExchangeRunning);
    connect(&batchUi_, &WindowBatchUi::progressed, this, &RtuForm::showProgress);
    connect(&batchUi_, &WindowBatchUi::batchEnded, this, [this] {
        if (closePending_)
            QTimer::singleShot(0, this, [this] { close(); });
    });
    connect(&terminal_, &TerminalForm::keyTyped, this, &RtuForm::sendTypedKeys);
    connect(&terminal_, &TerminalForm::rtsOnClicked, this, [this] { setRts(true); });
    connect(&terminal_, &TerminalForm::rtsOffClicked, this, [this] { setRts(false); });
    connect(&terminal_, &TerminalForm::closeRequested, this, [this] { close(); });
}

// The controls go before the session they are bound to: nothing they report while being
// destroyed (a focus change) may reach a session that is gone.
RtuForm::~RtuForm() {
    for (ModuleWindow* window : moduleWindows_)
        delete window;
    delete takeCentralWidget();
}

void RtuForm::buildMenus() {
    QMenuBar* bar = menuBar();
    portMenus_.build(bar, ports_, replyWait_);
    terminal_.setReplyWait(replyWait_.statusText());
    connect(&replyWait_, &ReplyWait::changed, this,
            [this] { terminal_.setReplyWait(replyWait_.statusText()); });
    connect(&portMenus_, &PortMenuBar::devicesRequested, this, &RtuForm::chooseDevices);
    addMenu(bar, QString(), QStringLiteral("empty2"));
    QMenu* clock = addMenu(bar, QStringLiteral("Clock"), QStringLiteral("CLKDT"));
    clockAuto_ = addEntry(clock, QStringLiteral("Auto"), QStringLiteral("CLKAUTO"), true);
    clockManual_ = addEntry(clock, QStringLiteral("Manual"), QStringLiteral("CLKMAN"), true);
    connect(clockAuto_, &QAction::triggered, this, [this] {
        session_.panel.setClockAuto(true);
        showClockMode(); // also undoes the click's own toggle of an entry already checked
    });
    connect(clockManual_, &QAction::triggered, this, [this] {
        session_.panel.setClockAuto(false);
        showClockMode();
    });
    addMenu(bar, QString(), QStringLiteral("empty1"));
    addMenu(bar, QString(), QStringLiteral("empty"));
    addModuleEntry(bar, QStringLiteral("Configure Sensors"), QStringLiteral("Sensors"),
                   Window::ConfigSensors);
    addModuleEntry(bar, QStringLiteral("Configure G4 Module"), QStringLiteral("G4"),
                   Window::ConfigG4);
    addModuleEntry(bar, QStringLiteral("Configure 4-20mA Module"), QStringLiteral("a4_20mA"),
                   Window::Config4_20mA);
    QAction* version = bar->addAction(QStringLiteral("Version"));
    version->setObjectName(QStringLiteral("Ver"));
    connect(version, &QAction::triggered, this, [this] {
        env_.notifier.showMessage(QStringLiteral("Software Version 1.06"), QStringLiteral("Korvat"),
                                  MessageIcon::Information);
    });
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
    hide();
}

QWidget* RtuForm::buildPanel() {
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    const auto caption = [grid](const QString& text, int row) {
        grid->addWidget(new QLabel(text), row, 0);
    };
    const auto rowCheck = [this, grid](int index, int row, int rowSpan) {
        auto* check = new QCheckBox;
        check->setObjectName(indexed(QStringLiteral("Check1"), index));
        check1_[std::size_t(index)] = check;
        grid->addWidget(check, row, 2, rowSpan, 1, Qt::AlignCenter);
    };

    for (int i = 0; i < 2; ++i) {
        caption(i == 0 ? QStringLiteral("Time") : QStringLiteral("Date"), i);
        auto* box = new QLineEdit;
        box->setObjectName(indexed(QStringLiteral("Text2"), i));
        box->setFont(fixedFont());
        box->setMaximumWidth(QFontMetrics(fixedFont()).horizontalAdvance(QString(14, u'0')));
        text2_[std::size_t(i)] = box;
        grid->addWidget(box, i, 1, Qt::AlignLeft);
        rowCheck(i, i, 1);
    }

    caption(QStringLiteral("Time Between Polls  "), 2);
    auto* poll = new QHBoxLayout;
    for (int n = 2; n <= 4; ++n) {
        if (n > 2)
            poll->addWidget(new QLabel(QStringLiteral(":")));
        addScrollColumn(poll, n);
    }
    poll->addStretch(1);
    grid->addLayout(poll, 2, 1);
    rowCheck(2, 2, 1);

    caption(QStringLiteral("Seconds to Display Each Channel"), 3);
    caption(QStringLiteral("Number of Times to Repeat Display"), 4);
    for (int n = 5; n <= 6; ++n) {
        auto* timing = new QHBoxLayout;
        addScrollColumn(timing, n);
        timing->addStretch(1);
        grid->addLayout(timing, n - 2, 1);
    }
    rowCheck(3, 3, 2);

    caption(QStringLiteral("LCD Display "), 5);
    auto* lcd = new QFrame;
    lcd->setObjectName(QStringLiteral("LcdPanel"));
    lcd->setFrameStyle(QFrame::Panel | QFrame::Raised);
    lcd->setStyleSheet(QStringLiteral("QFrame#LcdPanel { background: #a0a0a0; }"));
    auto* lcdLayout = new QVBoxLayout(lcd);
    for (int i = 0; i < 2; ++i) {
        auto* box = new LcdTextBox;
        box->setObjectName(indexed(QStringLiteral("Text1"), i));
        box->setFont(fixedFont());
        box->setMinimumWidth(QFontMetrics(fixedFont()).horizontalAdvance(QString(22, u'W')));
        text1_[std::size_t(i)] = box;
        lcdLayout->addWidget(box);
    }
    grid->addWidget(lcd, 5, 1);
    rowCheck(4, 5, 1);

    caption(QStringLiteral("RTU Software Version"), 6);
    label2_ = valueDisplay(QStringLiteral("Label2_2"));
    label2_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label2_->setMinimumWidth(QFontMetrics(fixedFont()).horizontalAdvance(QString(12, u'W')));
    auto* version = new QHBoxLayout;
    version->addWidget(label2_);
    version->addStretch(1);
    grid->addLayout(version, 6, 1);
    rowCheck(5, 6, 1);

    auto* setAll = button(QStringLiteral("Set All"), QStringLiteral("Command6"));
    auto* clearAll = button(QStringLiteral("Clear All"), QStringLiteral("Command7"));
    connect(setAll, &QPushButton::clicked, this, [this] { session_.panel.setAllChecks(1); });
    connect(clearAll, &QPushButton::clicked, this, [this] { session_.panel.setAllChecks(0); });
    auto* checks = new QHBoxLayout;
    checks->addStretch(1);
    checks->addWidget(setAll);
    checks->addWidget(clearAll);
    grid->addLayout(checks, 7, 0, 1, 3);
    return panel;
}

// A value display driven by scroll bar VScroll<n>, whose upper arrow counts up.
void RtuForm::addScrollColumn(QHBoxLayout* row, int n) {
    const int slot = n - UnitSettingsPanel::FirstScroll;
    QLabel* display = valueDisplay(indexed(QStringLiteral("Label8"), slot));
    auto* bar =
        new CountingBar(QStringLiteral("VScroll%1").arg(n), UnitSettingsPanel::vscrollMin(n),
                        UnitSettingsPanel::vscrollMax(n), 5);
    bar->setFixedHeight(display->sizeHint().height() * 2);
    label8_[std::size_t(slot)] = display;
    vscroll_[std::size_t(slot)] = bar;
    row->addWidget(display);
    row->addWidget(bar);
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
    connect(program, &QPushButton::clicked, this, &RtuForm::programButton);
    connect(read, &QPushButton::clicked, this, &RtuForm::readButton);
    connect(programAll_, &QPushButton::clicked, this, &RtuForm::programAll);
    connect(readAll_, &QPushButton::clicked, this, [this] { readAll(); });
    connect(save, &QPushButton::clicked, this, &RtuForm::saveConfiguration);
    connect(load, &QPushButton::clicked, this, &RtuForm::loadConfiguration);
    return column;
}

void RtuForm::bindPanel() {
    UnitSettingsPanel& panel = session_.panel;
    for (int i = 0; i < 2; ++i) {
        connect(text2_[std::size_t(i)], &QLineEdit::textEdited, this,
                [&panel, i](const QString& text) { panel.setText2(i, text); });
        LcdTextBox* box = text1_[std::size_t(i)];
        connect(box, &QLineEdit::textEdited, this,
                [&panel, i](const QString& text) { panel.setText1(i, text); });
        connect(box, &LcdTextBox::characterRefused, this, [this] { env_.notifier.beep(); });
        // Entering either box selects the whole first line.
        connect(box, &LcdTextBox::focusEntered, this,
                [this] { text1_[0]->setSelection(0, int(text1_[0]->text().size())); });
    }
    for (int n = UnitSettingsPanel::FirstScroll; n <= UnitSettingsPanel::LastScroll; ++n)
        connect(vscroll_[std::size_t(n - UnitSettingsPanel::FirstScroll)],
                &CountingBar::countChanged, this,
                [&panel, n](int count) { panel.setVScroll(n, count); });
    for (int i = 0; i < UnitSettingsPanel::CheckCount; ++i)
        connect(check1_[std::size_t(i)], &QCheckBox::toggled, this,
                [&panel, i](bool ticked) { panel.setCheck1(i, ticked ? 1 : 0); });

    connect(&panel, &UnitSettingsPanel::text2Changed, this,
            [this](int i) { showText(text2_.at(std::size_t(i)), session_.panel.text2(i)); });
    connect(&panel, &UnitSettingsPanel::text1Changed, this, &RtuForm::showLcdText);
    connect(&panel, &UnitSettingsPanel::vscrollChanged, this, [this](int n) {
        vscroll_.at(std::size_t(n - UnitSettingsPanel::FirstScroll))
            ->showCount(session_.panel.vscroll(n));
    });
    connect(&panel, &UnitSettingsPanel::label8Changed, this,
            [this](int i) { label8_.at(std::size_t(i))->setText(session_.panel.label8(i)); });
    connect(&panel, &UnitSettingsPanel::label2Changed, this, &RtuForm::showVersion);
    connect(&panel, &UnitSettingsPanel::check1Changed, this, [this](int i) {
        check1_.at(std::size_t(i))->setChecked(session_.panel.check1(i) == 1);
    });
    connect(&panel, &UnitSettingsPanel::clockModeChanged, this, &RtuForm::showClockMode);
}

void RtuForm::showPanel() {
    const UnitSettingsPanel& panel = session_.panel;
    for (int i = 0; i < 2; ++i) {
        showText(text2_[std::size_t(i)], panel.text2(i));
        showLcdText(i);
    }
    for (int n = UnitSettingsPanel::FirstScroll; n <= UnitSettingsPanel::LastScroll; ++n) {
        const int slot = n - UnitSettingsPanel::FirstScroll;
        vscroll_[std::size_t(slot)]->showCount(panel.vscroll(n));
        label8_[std::size_t(slot)]->setText(panel.label8(slot));
    }
    showVersion();
    for (int i = 0; i < UnitSettingsPanel::CheckCount; ++i)
        check1_[std::size_t(i)]->setChecked(panel.check1(i) == 1);
    showClockMode();
}

// The version as received ends in its line end, which would make the box two lines tall.
void RtuForm::showVersion() {
    QString version = session_.panel.label2(UnitSettingsPanel::VersionLabel);
    version.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    label2_->setText(version);
}

void RtuForm::showLcdText(int index) {
    text1_.at(std::size_t(index))->showText(session_.panel.text1(index));
}

void RtuForm::showClockMode() {
    clockAuto_->setChecked(session_.panel.clockAuto());
    clockManual_->setChecked(!session_.panel.clockAuto());
}

void RtuForm::load() {
    adjustSize();
    // Wide enough for the whole menu bar on one line.
    resize(std::max(width(), menuBar()->sizeHint().width()), height());
    // The pair of windows starts centred on the screen. The terminal's status panels take
    // their full width only once it is shown.
    terminal_.show();
    placeTerminal();
    move(mainPlace(size(), terminal_.size(), screen()->availableGeometry()));
    placeTerminal();
    lifecycle_.startUp([this] {
        setEnabled(true);
        show();
        placeTerminal(); // the window frame is known once shown
    });
    refreshPortStatus();
    placeTerminal(); // its filled status panels may have widened it
    statusTimer_.start();
}

void RtuForm::placeTerminal() {
    terminal_.resize(std::max(terminal_.width(), terminal_.minimumSizeHint().width()), height());
    terminal_.move(terminalPlace(frameGeometry(), terminal_.frameGeometry().size(),
                                 screen()->availableGeometry())
                       .topLeft());
}

void RtuForm::refreshPortStatus() {
    if (!batchUi_.busy())
        ports_.reopenLostPort();
    const PortStatus status = ports_.RefreshPortStatus(QTime::currentTime());
    terminal_.setPanels(status.panels);
    terminal_.showPortDevice(status.device);
    programAll_->setEnabled(status.portControlsEnabled);
    readAll_->setEnabled(status.portControlsEnabled);
    refreshReadAgain();
    portMenus_.setCharacteristicsEnabled(status.portControlsEnabled);
}

void RtuForm::showProgress(int done, int total, const QString& what) {
    statusBar()->showMessage(QStringLiteral("%1 \u2014 %2 of %3").arg(what).arg(done).arg(total));
}

// The unit receives what the operator types as 8-bit characters; one it cannot receive
// goes out as '?'.
void RtuForm::sendTypedKeys(const QString& text) {
    for (const QChar c : text)
        env_.library.PutByte(session_.link.CurrentPort, c.unicode() <= 0xFF ? c.unicode() : '?');
}

void RtuForm::setRts(bool raised) {
    const PortId port = session_.link.CurrentPort;
    if (raised)
        env_.library.RtsOn(port);
    else
        env_.library.RtsOff(port);
    terminal_.rtsLed().setColour(raised ? BatchUi::RtsLedRed : BatchUi::RtsLedWhite);
}

// A program action that covers fields the last read left unanswered asks first.
bool RtuForm::confirmProgram(const QString& action, const QStringList& readLines) {
    if (session_.unanswered.confirmProgram(action, readLines, env_.notifier))
        return true;
    statusBar()->showMessage(cancelledOutcome(action));
    return false;
}

void RtuForm::finishProgram(const QString& action, bool completed, int linesSent,
                            const QString& wholeUnitDone) {
    statusBar()->showMessage(completed ? programOutcome(action, linesSent)
                                       : stoppedOutcome(action, wholeUnitDone));
}

void RtuForm::programButton() {
    const QString action = QStringLiteral("Program");
    if (!confirmProgram(action, session_.commands.unitSettingsReadLines(0)))
        return;
    const int lines = session_.commands.unitProgramLineCount(0);
    finishProgram(action, session_.commands.programButton(), lines);
}

void RtuForm::programAll() {
    const QString action = QStringLiteral("Program All");
    if (confirmProgram(action, session_.commands.wholeUnitReadLines()))
        finishProgram(action, session_.commands.programAll(), UnitCommands::WholeUnitLineCount,
                      QStringLiteral("programmed"));
}

QString RtuForm::readAll() {
    // The button is disabled without a port; a request from elsewhere is refused the same.
    if (session_.link.CurrentPort == NoPort) {
        const QString refused = QStringLiteral("Read All needs an open port");
        statusBar()->showMessage(refused);
        return refused;
    }
    ReadReport report;
    const bool completed = session_.commands.readAll(&report);
    return finishRead(QStringLiteral("Read All"), completed, report, QStringLiteral("read"));
}

void RtuForm::readButton() {
    ReadReport report;
    const bool completed = session_.commands.readButton(&report);
    finishRead(QStringLiteral("Read"), completed, report);
}

void RtuForm::readUnansweredAgain() {
    ReadReport report;
    const bool completed = session_.commands.readListed(session_.unanswered.toReadAgain(), &report);
    finishRead(QStringLiteral("Read Unanswered Again"), completed, report);
}

void RtuForm::refreshReadAgain() {
    readAgain_->setEnabled(readAll_->isEnabled() && !session_.unanswered.toReadAgain().isEmpty());
}

// Every read, whole or cut short, tells what stays unanswered; the outcome replaces the
// status.
QString RtuForm::finishRead(const QString& action, bool completed, const ReadReport& report,
                            const QString& wholeUnitDone) {
    session_.unanswered.noteRead(report);
    if (!completed)
        return reportStoppedRead(stoppedOutcome(action, wholeUnitDone));
    const QString outcome = readOutcome(action, report);
    statusBar()->showMessage(outcome);
    return outcome;
}

// Why an action stopped. After a lost port a whole-unit action, whose lines run in one fixed
// order, also says how far it got ("read", "programmed") and what to do.
QString RtuForm::stoppedOutcome(const QString& action, const QString& wholeUnitDone) const {
    const Exchange& exchange = session_.exchange;
    if (!wholeUnitDone.isEmpty() && exchange.portLost())
        return lostPortOutcome(action, wholeUnitDone, exchange.completedLines());
    if (!wholeUnitDone.isEmpty() && exchange.stopRequested())
        return closingOutcome(action, wholeUnitDone, exchange.completedLines());
    return QStringLiteral("%1 stopped: %2").arg(action, exchange.lastError());
}

// A read cut short (the port went away, a reply that does not fit a control) leaves the
// fields read so far; the operator is told which action stopped and why. One the program's
// closing stopped needs no box that would hold the closing up.
QString RtuForm::reportStoppedRead(const QString& text) {
    statusBar()->showMessage(text);
    if (!session_.exchange.stopRequested())
        env_.notifier.showMessage(text, QString(), MessageIcon::Critical);
    return text;
}

void RtuForm::saveConfiguration() {
    const QString path = env_.files.chooseFile(FileChooser::Purpose::Save, FileDialogTitle,
                                               FilePattern, FilePattern);
    statusBar()->clearMessage();
    if (!path.isEmpty())
        statusBar()->showMessage(saveConfigurationTo(session_, path));
}

void RtuForm::loadConfiguration() {
    const QString path = env_.files.chooseFile(FileChooser::Purpose::Load, FileDialogTitle,
                                               FilePattern, FilePattern);
    statusBar()->clearMessage();
    if (!path.isEmpty())
        statusBar()->showMessage(loadConfigurationFrom(session_, path));
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
    emit devicesChosen(*chosen);
    // The open port moves to its new device at once.
    const PortId open = session_.link.CurrentPort;
    if (open != NoPort && (*chosen)[std::size_t(open)] != current[std::size_t(open)])
        ports_.SelectPort(open);
}

void RtuForm::closeEvent(QCloseEvent* event) {
    if (lifecycle_.hasShutDown()) {
        event->accept();
        return;
    }
    if (batchUi_.busy()) {
        // Closing the port and unloading the windows under a running exchange would cut it
        // off mid-line: it stops at its line boundary, the wait of the line going out cut
        // short (an ending session or a service stop will not wait minutes at a slow line
        // speed), and the program ends then.
        closePending_ = true;
        statusBar()->showMessage(QStringLiteral("Closing when the exchange ends..."));
        session_.exchange.requestStop();
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

void RtuForm::shutDownIfRunning() {
    if (lifecycle_.hasShutDown())
        return;
    shutDown();
    hide();
}

void RtuForm::shutDown() {
    statusTimer_.stop();
    // The module windows go first, in this order, without bringing this window back.
    closingModules_ = true;
    for (ModuleWindow* window : moduleWindows_) {
        if (window)
            window->close();
    }
    // The port is closed whatever happened to the files; the operator learns which of them
    // did not reach the disk (the next start would otherwise use old settings unnoticed).
    const QStringList problems = lifecycle_.shutDown();
    if (!problems.isEmpty())
        env_.notifier.showMessage(QStringLiteral("Some files could not be written at exit:\n") +
                                      problems.join(QLatin1Char('\n')),
                                  QString(), MessageIcon::Critical);
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
