#include "ui/ModuleWindows.h"

#include "ui/Widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rtu {

namespace {

QLabel* caption(const QString& text, const QString& name = QString()) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

QLineEdit* textBox(const QString& name, int maxLength = 32767) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->setFont(fixedFont());
    box->setMaxLength(maxLength);
    box->setMaximumWidth(QFontMetrics(fixedFont()).horizontalAdvance(QString(14, u'0')));
    return box;
}

QFrame* plainFrame(const QString& name) {
    auto* frame = new QFrame;
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return frame;
}

// A number display beside its scroll bar.
QHBoxLayout* numberWithBar(QLabel* display, CountingBar* bar) {
    auto* row = new QHBoxLayout;
    row->addWidget(display);
    row->addWidget(bar);
    row->addStretch(1);
    return row;
}

QStringList indexedNames(const QString& name, int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << indexed(name, i);
    return names;
}

} // namespace

// ---- ConfigSensors -----------------------------------------------------------------------

ConfigSensors::ConfigSensors(Session& session, QWidget* parent)
    : ConfigSensors(new SensorEditor(session), parent) {}

ConfigSensors::ConfigSensors(SensorEditor* editor, QWidget* parent)
    : ModuleWindow(*editor,
                   {QStringLiteral("Sensors"), QStringLiteral("ConfigSensors"),
                    QStringLiteral("SENSORS"), QStringLiteral("Program All"),
                    QStringLiteral("  Read All"), QStringLiteral("Command3")},
                   parent),
      editor_(*editor), label_(textBox(QStringLiteral("Text1"))),
      floats_(valueDisplay(QStringLiteral("Label2_1"))),
      floatsBar_(scrollBar(QStringLiteral("VScroll1"), 0, SensorEditor::MaxFloats)),
      tempSensors_(valueDisplay(QStringLiteral("Label2_3"))),
      tempSensorsBar_(scrollBar(QStringLiteral("VScroll3"), 0, SensorEditor::MaxTempSensors)),
      levelFrame_(new QGroupBox(QStringLiteral("Level"))),
      temperatureFrame_(new QGroupBox(QStringLiteral("Temperature"))),
      volumeFrame_(new QGroupBox(QStringLiteral("Volume"))),
      factorCaption_(caption(QString(), QStringLiteral("Label5"))),
      factor_(textBox(QStringLiteral("Text2"))) {
    levelFrame_->setObjectName(QStringLiteral("Frame2"));
    temperatureFrame_->setObjectName(QStringLiteral("Frame3"));
    volumeFrame_->setObjectName(QStringLiteral("Frame4"));

    auto* counts = new QGridLayout;
    counts->addWidget(caption(QStringLiteral("Unit Label")), 0, 0);
    counts->addWidget(label_, 0, 1);
    counts->addWidget(caption(QStringLiteral("Number of Floats")), 1, 0);
    counts->addLayout(numberWithBar(floats_, floatsBar_), 1, 1);
    counts->addWidget(caption(QStringLiteral("Number of Temperature Sensors")), 2, 0);
    counts->addLayout(numberWithBar(tempSensors_, tempSensorsBar_), 2, 1);

    auto* levelBox = new QWidget;
    level_ = options({QStringLiteral("Inches"), QStringLiteral("Centimeters")},
                     indexedNames(QStringLiteral("Option1"), 2), levelBox);
    auto* levelLayout = new QVBoxLayout(levelFrame_);
    levelLayout->addWidget(caption(QStringLiteral("Unit of Measure for Level")));
    levelLayout->addWidget(levelBox);

    auto* temperatureBox = new QWidget;
    temperature_ = options({QStringLiteral("Fahrenheit"), QStringLiteral("Centigrade")},
                           indexedNames(QStringLiteral("Option2"), 2), temperatureBox);
    auto* temperatureLayout = new QVBoxLayout(temperatureFrame_);
    temperatureLayout->addWidget(caption(QStringLiteral("Unit of Measure for Temperature")));
    temperatureLayout->addWidget(temperatureBox);

    auto* volumeBox = new QWidget;
    volume_ =
        options({QStringLiteral("English"), QStringLiteral("Metric"), QStringLiteral("% Volume")},
                indexedNames(QStringLiteral("Option3"), 3), volumeBox);
    auto* volumeLayout = new QVBoxLayout(volumeFrame_);
    volumeLayout->addWidget(volumeBox);
    auto* factorRow = new QHBoxLayout;
    factorRow->addWidget(factorCaption_);
    factorRow->addWidget(factor_);
    volumeLayout->addLayout(factorRow);

    auto* frames = new QHBoxLayout;
    frames->addWidget(levelFrame_);
    frames->addWidget(temperatureFrame_);
    frames->addWidget(volumeFrame_);
    settingsArea()->addLayout(counts);
    settingsArea()->addLayout(frames);
    settingsArea()->addStretch(1);

    connect(label_, &QLineEdit::textEdited, &editor_, &SensorEditor::editLabel);
    connect(factor_, &QLineEdit::textEdited, &editor_, &SensorEditor::editFactor);
    connect(floatsBar_, &CountingBar::countChanged, &editor_, &SensorEditor::setFloats);
    connect(tempSensorsBar_, &CountingBar::countChanged, &editor_, &SensorEditor::setTempSensors);
    connect(level_, &QButtonGroup::idClicked, &editor_, &SensorEditor::chooseLevelUnit);
    connect(temperature_, &QButtonGroup::idClicked, &editor_, &SensorEditor::chooseTemperatureUnit);
    connect(volume_, &QButtonGroup::idClicked, &editor_, &SensorEditor::chooseVolumeUnit);
}

void ConfigSensors::showEditor() {
    ModuleWindow::showEditor();
    showText(label_, editor_.labelBox());
    showCaption(floats_, editor_.floatsDisplay());
    floatsBar_->showCount(editor_.floatsBar());
    showCaption(tempSensors_, editor_.tempSensorsDisplay());
    tempSensorsBar_->showCount(editor_.tempSensorsBar());
    showOption(level_, editor_.levelOption());
    showOption(temperature_, editor_.temperatureOption());
    showOption(volume_, editor_.volumeOption());
    showCaption(factorCaption_, editor_.factorCaption());
    showText(factor_, editor_.factorBox());
    levelFrame_->setVisible(editor_.levelAndVolumeShown());
    volumeFrame_->setVisible(editor_.levelAndVolumeShown());
    temperatureFrame_->setVisible(editor_.temperatureShown());
}

// ---- OutputModuleWindow ------------------------------------------------------------------

OutputModuleWindow::OutputModuleWindow(OutputModuleEditor& editor, const Captions& captions,
                                       QWidget* parent)
    : ModuleWindow(editor, captions, parent), editor_(editor),
      unit_(valueDisplay(QStringLiteral("Label2"))),
      unitBar_(scrollBar(QStringLiteral("VScroll1"), 0, OutputModuleEditor::UnitBarMax)),
      disable_(button(QStringLiteral("Disable"), QStringLiteral("Command3"))),
      disableAll_(new QCheckBox(QStringLiteral("Disable All"))), sourceBox_(new QWidget),
      source_(options({QStringLiteral("Level"), QStringLiteral("Temperature")},
                      {QStringLiteral("Option1"), QStringLiteral("Option2")}, sourceBox_)),
      channelCaption_(caption(QString(), QStringLiteral("Label1_2"))),
      channel_(valueDisplay(QStringLiteral("Label4"))),
      channelBar_(scrollBar(QStringLiteral("VScroll3"), editor.channelBarMin(),
                            OutputModuleEditor::ChannelBarMax)) {
    disableAll_->setObjectName(QStringLiteral("Check3"));
    connect(unitBar_, &CountingBar::countChanged, &editor_,
            [this](int value) { editor_.setUnit(value, unitBar_->isSliderDown()); });
    connect(channelBar_, &CountingBar::countChanged, &editor_, &OutputModuleEditor::setChannel);
    connect(source_, &QButtonGroup::idClicked, &editor_, [this](int option) {
        if (option == 0)
            editor_.chooseLevel();
        else
            editor_.chooseTemperature();
    });
    connect(disable_, &QPushButton::clicked, &editor_, &OutputModuleEditor::disable);
    connect(disableAll_, &QCheckBox::clicked, &editor_, &OutputModuleEditor::setDisableAll);
}

void OutputModuleWindow::showEditor() {
    ModuleWindow::showEditor();
    showCaption(unit_, editor_.unitDisplay());
    unitBar_->showCount(editor_.unitBar());
    disableAll_->setChecked(editor_.disableAll());
    showOption(source_, editor_.levelSource() ? 0 : editor_.temperatureSource() ? 1 : -1);
    showCaption(channelCaption_, editor_.channelCaption());
    showCaption(channel_, editor_.channelDisplay());
    channelBar_->showCount(editor_.channelBar());
}

// ---- Config4_20mA ------------------------------------------------------------------------

Config4_20mA::Config4_20mA(Session& session, QWidget* parent)
    : Config4_20mA(new Loop420Editor(session), parent) {}

Config4_20mA::Config4_20mA(Loop420Editor* editor, QWidget* parent)
    : OutputModuleWindow(*editor,
                         {QStringLiteral("4-20mA Modules"), QStringLiteral("Config4_20mA"),
                          QStringLiteral("4-20mA  MODULES"), QStringLiteral("Progrem All"),
                          QStringLiteral("Read All"), QStringLiteral("Command4")},
                         parent),
      loopEditor_(*editor), sourceFrame_(plainFrame(QStringLiteral("Frame3"))),
      valuesFrame_(plainFrame(QStringLiteral("Frame5"))),
      value4mA_(textBox(QStringLiteral("Text1"), 8)),
      value20mA_(textBox(QStringLiteral("Text2"), 8)),
      engineeringUnits_{caption(QString(), QStringLiteral("Label1_7")),
                        caption(QString(), QStringLiteral("Label1_5"))} {
    QFrame* unitFrame = plainFrame(QStringLiteral("Frame4"));
    auto* unitLayout = new QGridLayout(unitFrame);
    unitLayout->addWidget(caption(QStringLiteral("Monitor Unit #"), QStringLiteral("Label1_0")), 0,
                          0);
    unitLayout->addLayout(numberWithBar(unit_, unitBar_), 0, 1);
    unitLayout->addWidget(disable_, 1, 0);
    unitLayout->addWidget(disableAll_, 1, 1);

    auto* sourceLayout = new QGridLayout(sourceFrame_);
    sourceLayout->addWidget(sourceBox_, 0, 0, 2, 1);
    sourceLayout->addWidget(caption(QStringLiteral("Monitor"), QStringLiteral("Label1_1")), 0, 1);
    sourceLayout->addWidget(channelCaption_, 1, 1);
    sourceLayout->addLayout(numberWithBar(channel_, channelBar_), 0, 2, 2, 1);

    auto* valuesLayout = new QGridLayout(valuesFrame_);
    valuesLayout->addWidget(
        caption(QStringLiteral(" 4 miliamps equals"), QStringLiteral("Label1_3")), 0, 0);
    valuesLayout->addWidget(value4mA_, 0, 1);
    valuesLayout->addWidget(engineeringUnits_[0], 0, 2);
    valuesLayout->addWidget(
        caption(QStringLiteral("20 miliamps equals"), QStringLiteral("Label1_4")), 1, 0);
    valuesLayout->addWidget(value20mA_, 1, 1);
    valuesLayout->addWidget(engineeringUnits_[1], 1, 2);

    settingsArea()->addWidget(unitFrame);
    settingsArea()->addWidget(sourceFrame_);
    settingsArea()->addWidget(valuesFrame_);
    settingsArea()->addStretch(1);

    connect(value4mA_, &QLineEdit::textEdited, &loopEditor_, &Loop420Editor::editValue4mA);
    connect(value20mA_, &QLineEdit::textEdited, &loopEditor_, &Loop420Editor::editValue20mA);
}

void Config4_20mA::showEditor() {
    OutputModuleWindow::showEditor();
    showFieldText(value4mA_, loopEditor_.record().Value4mA);
    showFieldText(value20mA_, loopEditor_.record().Value20mA);
    for (QLabel* label : engineeringUnits_)
        showCaption(label, loopEditor_.engineeringUnit());
    sourceFrame_->setVisible(loopEditor_.settingsShown());
    valuesFrame_->setVisible(loopEditor_.settingsShown());
}

// ---- ConfigG4 ----------------------------------------------------------------------------

ConfigG4::ConfigG4(Session& session, QWidget* parent) : ConfigG4(new G4Editor(session), parent) {}

ConfigG4::ConfigG4(G4Editor* editor, QWidget* parent)
    : OutputModuleWindow(*editor,
                         {QStringLiteral("G4 Modules"), QStringLiteral("ConfigG4"),
                          QStringLiteral("G4 MODULES"), QStringLiteral("Progrem All"),
                          QStringLiteral("Read All"), QStringLiteral("Command4")},
                         parent),
      g4Editor_(*editor), onFrame_(plainFrame(QStringLiteral("Frame4"))),
      offFrame_(plainFrame(QStringLiteral("Frame5"))),
      onValue_(textBox(QStringLiteral("Text1"), 8)), offValue_(textBox(QStringLiteral("Text2"), 8)),
      whenCaptions_{caption(QString(), QStringLiteral("Label1_4")),
                    caption(QString(), QStringLiteral("Label1_6"))},
      engineeringUnits_{caption(QString(), QStringLiteral("Label7")),
                        caption(QString(), QStringLiteral("Label8"))} {
    auto* monitor = new QGridLayout;
    monitor->addWidget(caption(QStringLiteral("Monitor Unit#"), QStringLiteral("Label1_0")), 0, 0);
    monitor->addLayout(numberWithBar(unit_, unitBar_), 0, 1);
    monitor->addWidget(disable_, 0, 2);
    monitor->addWidget(disableAll_, 0, 3);
    monitor->addWidget(caption(QStringLiteral("Monitor"), QStringLiteral("Label1_1")), 1, 0);
    monitor->addWidget(sourceBox_, 1, 1);
    monitor->addWidget(channelCaption_, 1, 2);
    monitor->addLayout(numberWithBar(channel_, channelBar_), 1, 3);

    const auto buildGroup = [this](QFrame* frame, const QString& heading,
                                   const QString& headingName, QLabel* when,
                                   const QStringList& optionNames, QLineEdit* value, QLabel* unit) {
        auto* layout = new QGridLayout(frame);
        layout->addWidget(caption(heading, headingName), 0, 0, 1, 3);
        layout->addWidget(when, 1, 0);
        auto* tests = new QWidget;
        QButtonGroup* group = options(
            {QStringLiteral(">"), QStringLiteral("="), QStringLiteral("<")}, optionNames, tests);
        layout->addWidget(tests, 1, 1);
        layout->addWidget(value, 1, 2);
        layout->addWidget(unit, 1, 3);
        return group;
    };
    onTest_ = buildGroup(
        onFrame_, QStringLiteral("Turn G4 Module ON When"), QStringLiteral("Label1_3"),
        whenCaptions_[0],
        {QStringLiteral("Option3"), QStringLiteral("Option4"), QStringLiteral("Option5")}, onValue_,
        engineeringUnits_[0]);
    offTest_ = buildGroup(
        offFrame_, QStringLiteral("Turn G4 Module OFF When"), QStringLiteral("Label1_5"),
        whenCaptions_[1],
        {QStringLiteral("Option6"), QStringLiteral("Option7"), QStringLiteral("Option8")},
        offValue_, engineeringUnits_[1]);

    settingsArea()->addLayout(monitor);
    settingsArea()->addWidget(onFrame_);
    settingsArea()->addWidget(offFrame_);
    settingsArea()->addStretch(1);

    connect(onTest_, &QButtonGroup::idClicked, &g4Editor_, &G4Editor::chooseOnTest);
    connect(offTest_, &QButtonGroup::idClicked, &g4Editor_, &G4Editor::chooseOffTest);
    connect(onValue_, &QLineEdit::textEdited, &g4Editor_, &G4Editor::editOnValue);
    connect(offValue_, &QLineEdit::textEdited, &g4Editor_, &G4Editor::editOffValue);
}

void ConfigG4::showEditor() {
    OutputModuleWindow::showEditor();
    showOption(onTest_, g4Editor_.onTestOption());
    showOption(offTest_, g4Editor_.offTestOption());
    showFieldText(onValue_, g4Editor_.record().OnValue);
    showFieldText(offValue_, g4Editor_.record().OffValue);
    for (QLabel* label : whenCaptions_)
        showCaption(label, g4Editor_.whenCaption());
    for (QLabel* label : engineeringUnits_)
        showCaption(label, g4Editor_.engineeringUnit());
    onFrame_->setVisible(g4Editor_.settingsShown());
    offFrame_->setVisible(g4Editor_.settingsShown());
}

} // namespace rtu
