#include "ui/UnitSettingsBox.h"

#include "ui/LcdTextBox.h"
#include "ui/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rtu {

namespace {

// The scroll bars are named after the counters: VScroll2 for the first.
constexpr int FirstScrollBar = 2;

std::size_t slot(UnitSettings::Counter counter) {
    return std::size_t(counter);
}

} // namespace

UnitSettingsBox::UnitSettingsBox(UnitSettingsModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    build();
    bind();
    showAll();
}

void UnitSettingsBox::build() {
    auto* grid = new QGridLayout(this);
    const auto caption = [grid](const QString& text, int row) {
        grid->addWidget(new QLabel(text), row, 0);
    };
    const auto rowCheck = [this, grid](UnitRow unitRow, int row, int rowSpan) {
        auto* check = new QCheckBox;
        check->setObjectName(indexed(QStringLiteral("Check1"), int(unitRow)));
        rowChecks_[std::size_t(unitRow)] = check;
        grid->addWidget(check, row, 2, rowSpan, 1, Qt::AlignCenter);
    };

    for (int i = 0; i < 2; ++i) {
        caption(i == 0 ? QStringLiteral("Time") : QStringLiteral("Date"), i);
        auto* box = new QLineEdit;
        box->setObjectName(indexed(QStringLiteral("Text2"), i));
        box->setFont(fixedFont());
        box->setMaximumWidth(QFontMetrics(fixedFont()).horizontalAdvance(QString(14, u'0')));
        clockBoxes_[std::size_t(i)] = box;
        grid->addWidget(box, i, 1, Qt::AlignLeft);
        rowCheck(UnitRow(i), i, 1);
    }

    caption(QStringLiteral("Time Between Polls  "), 2);
    auto* poll = new QHBoxLayout;
    for (const Counter counter : {Counter::PollHours, Counter::PollMinutes, Counter::PollSeconds}) {
        if (counter != Counter::PollHours)
            poll->addWidget(new QLabel(QStringLiteral(":")));
        addCounterColumn(poll, counter);
    }
    poll->addStretch(1);
    grid->addLayout(poll, 2, 1);
    rowCheck(UnitRow::Poll, 2, 1);

    caption(QStringLiteral("Seconds to Display Each Channel"), 3);
    caption(QStringLiteral("Number of Times to Repeat Display"), 4);
    int gridRow = 3;
    for (const Counter counter : {Counter::LcdSeconds, Counter::LcdRepeats}) {
        auto* timing = new QHBoxLayout;
        addCounterColumn(timing, counter);
        timing->addStretch(1);
        grid->addLayout(timing, gridRow++, 1);
    }
    rowCheck(UnitRow::LcdTiming, 3, 2);

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
        lcdBoxes_[std::size_t(i)] = box;
        lcdLayout->addWidget(box);
    }
    grid->addWidget(lcd, 5, 1);
    rowCheck(UnitRow::LcdText, 5, 1);

    caption(QStringLiteral("RTU Software Version"), 6);
    version_ = valueDisplay(QStringLiteral("Label2_2"));
    version_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    version_->setMinimumWidth(QFontMetrics(fixedFont()).horizontalAdvance(QString(12, u'W')));
    auto* version = new QHBoxLayout;
    version->addWidget(version_);
    version->addStretch(1);
    grid->addLayout(version, 6, 1);
    rowCheck(UnitRow::Version, 6, 1);

    auto* setAll = button(QStringLiteral("Set All"), QStringLiteral("Command6"));
    auto* clearAll = button(QStringLiteral("Clear All"), QStringLiteral("Command7"));
    connect(setAll, &QPushButton::clicked, this, [this] { model_.tickAllRows(true); });
    connect(clearAll, &QPushButton::clicked, this, [this] { model_.tickAllRows(false); });
    auto* checks = new QHBoxLayout;
    checks->addStretch(1);
    checks->addWidget(setAll);
    checks->addWidget(clearAll);
    grid->addLayout(checks, 7, 0, 1, 3);
}

// A counter's value display beside its scroll bar.
void UnitSettingsBox::addCounterColumn(QHBoxLayout* row, Counter counter) {
    const int index = int(counter);
    QLabel* display = valueDisplay(indexed(QStringLiteral("Label8"), index));
    auto* bar =
        new CountingBar(QStringLiteral("VScroll%1").arg(index + FirstScrollBar),
                        UnitSettings::counterMin(counter), UnitSettings::counterMax(counter), 5);
    bar->setFixedHeight(display->sizeHint().height() * 2);
    counterDisplays_[slot(counter)] = display;
    counterBars_[slot(counter)] = bar;
    row->addWidget(display);
    row->addWidget(bar);
}

void UnitSettingsBox::bind() {
    for (int i = 0; i < 2; ++i) {
        connect(clockBoxes_[std::size_t(i)], &QLineEdit::textEdited, this,
                [this, i](const QString& text) { model_.setClockText(ClockBox(i), text); });
        LcdTextBox* box = lcdBoxes_[std::size_t(i)];
        connect(box, &QLineEdit::textEdited, this,
                [this, i](const QString& text) { model_.setLcdLine(i, text); });
        connect(box, &LcdTextBox::characterRefused, &model_, &UnitSettingsModel::refuseCharacter);
        // Entering either box selects the whole first line.
        connect(box, &LcdTextBox::focusEntered, this,
                [this] { lcdBoxes_[0]->setSelection(0, int(lcdBoxes_[0]->text().size())); });
    }
    for (const Counter counter : UnitSettings::Counters)
        connect(counterBars_[slot(counter)], &CountingBar::countChanged, this,
                [this, counter](int count) { model_.setCounter(counter, count); });
    for (int row = 0; row < UnitRows::Count; ++row)
        connect(rowChecks_[std::size_t(row)], &QCheckBox::toggled, this,
                [this, row](bool ticked) { model_.setRowTicked(UnitRow(row), ticked); });

    connect(&model_, &UnitSettingsModel::clockTextChanged, this, &UnitSettingsBox::showClockText);
    connect(&model_, &UnitSettingsModel::lcdLineChanged, this, &UnitSettingsBox::showLcdLine);
    connect(&model_, &UnitSettingsModel::counterChanged, this, &UnitSettingsBox::showCounter);
    connect(&model_, &UnitSettingsModel::counterShownChanged, this,
            &UnitSettingsBox::showCounterCaption);
    connect(&model_, &UnitSettingsModel::versionChanged, this, &UnitSettingsBox::showVersion);
    connect(&model_, &UnitSettingsModel::rowTickedChanged, this, &UnitSettingsBox::showRow);
    connect(&model_, &UnitSettingsModel::clockModeChanged, this, &UnitSettingsBox::showClockMode);
}

void UnitSettingsBox::bindClockMenu(QAction* autoEntry, QAction* manualEntry) {
    clockAuto_ = autoEntry;
    clockManual_ = manualEntry;
    connect(autoEntry, &QAction::triggered, this, [this] {
        model_.setClockFromPc(true);
        showClockMode(); // also undoes the click's own toggle of an entry already checked
    });
    connect(manualEntry, &QAction::triggered, this, [this] {
        model_.setClockFromPc(false);
        showClockMode();
    });
    showClockMode();
}

void UnitSettingsBox::showAll() {
    for (int i = 0; i < 2; ++i) {
        showClockText(ClockBox(i));
        showLcdLine(i);
    }
    for (const Counter counter : UnitSettings::Counters) {
        showCounter(counter);
        showCounterCaption(counter);
    }
    showVersion();
    for (int row = 0; row < UnitRows::Count; ++row)
        showRow(UnitRow(row));
}

void UnitSettingsBox::showClockText(ClockBox box) {
    showText(clockBoxes_.at(std::size_t(box)), clockText(model_.values(), box));
}

void UnitSettingsBox::showLcdLine(int index) {
    lcdBoxes_.at(std::size_t(index))->showText(model_.values().lcdLines.at(std::size_t(index)));
}

void UnitSettingsBox::showCounter(Counter counter) {
    counterBars_.at(slot(counter))->showCount(model_.values().counter(counter).value);
}

void UnitSettingsBox::showCounterCaption(Counter counter) {
    counterDisplays_.at(slot(counter))->setText(model_.values().counter(counter).shown);
}

// The version as received ends in its line end, which would make the box two lines tall.
void UnitSettingsBox::showVersion() {
    QString version = model_.values().version;
    version.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    version_->setText(version);
}

void UnitSettingsBox::showRow(UnitRow row) {
    rowChecks_.at(std::size_t(row))->setChecked(model_.rows()[row]);
}

void UnitSettingsBox::showClockMode() {
    if (!clockAuto_)
        return;
    clockAuto_->setChecked(model_.values().clockFromPc);
    clockManual_->setChecked(!model_.values().clockFromPc);
}

} // namespace rtu
