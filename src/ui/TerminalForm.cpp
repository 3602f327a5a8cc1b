#include "ui/TerminalForm.h"

#include "app/BatchWindows.h"
#include "ui/ModemLineLeds.h"
#include "ui/TerminalLogMenu.h"
#include "ui/Widgets.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace rtu {

namespace {

// A 0xBBGGRR colour as the indicator paints it.
QColor fromBgr(int colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

} // namespace

void CommScreenEdit::keyPressEvent(QKeyEvent* event) {
    if (!event->text().isEmpty())
        emit keyTyped(event->text());
    QPlainTextEdit::keyPressEvent(event);
}

void CommScreenEdit::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    menu->addSeparator();
    menu->addActions(actions());
    menu->exec(event->globalPos());
}

RtsLed::RtsLed(QWidget* parent) : QWidget(parent), colour_(RtsLedWhite) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void RtsLed::setColour(int colour) {
    if (colour_ == colour)
        return;
    colour_ = colour;
    update();
}

QSize RtsLed::sizeHint() const {
    return {22, 22};
}

void RtsLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fromBgr(colour_));
    painter.drawEllipse(rect().adjusted(2, 2, -2, -2));
}

TerminalForm::TerminalForm(QWidget* parent)
    : QWidget(parent, Qt::Window), commScreen_(new CommScreenEdit(this)), screen_(*commScreen_),
      rtsLed_(new RtsLed(this)), modemLines_(new ModemLineLeds(this)),
      statusBar_(new QStatusBar(this)), replyWait_(new ElidedLabel(this)) {
    setObjectName(QStringLiteral("TerminalForm"));
    showPortDevice(QString());

    commScreen_->setObjectName(QStringLiteral("CommScreen"));
    commScreen_->setFont(fixedFont());
    commScreen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    commScreen_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    connect(commScreen_, &CommScreenEdit::keyTyped, this, &TerminalForm::keyTyped);
    connect(commScreen_, &CommScreenEdit::keyTyped, &log_, &TerminalLog::noteTyped);
    logMenu_ = new TerminalLogMenu(log_, this);
    commScreen_->addActions(logMenu_->actions());
    auto* logButton = new QToolButton(this);
    logButton->setObjectName(QStringLiteral("LogButton"));
    logButton->setText(logMenu_->title());
    logButton->setMenu(logMenu_);
    logButton->setPopupMode(QToolButton::InstantPopup);

    rtsLed_->setObjectName(QStringLiteral("RTS_LED"));
    auto* rtsOn = button(QStringLiteral("RTS ON"), QStringLiteral("Command8"), this);
    auto* rtsOff = button(QStringLiteral("RTS OFF"), QStringLiteral("Command9"), this);
    auto* clear = button(QStringLiteral("CLR SCREEN"), QStringLiteral("Command5"), this);
    connect(rtsOn, &QPushButton::clicked, this, &TerminalForm::rtsOnClicked);
    connect(rtsOff, &QPushButton::clicked, this, &TerminalForm::rtsOffClicked);
    connect(clear, &QPushButton::clicked, this, &TerminalForm::clearScreen);

    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        // Narrow screens shorten the panels' texts rather than push the buttons away.
        auto* panel = new ElidedLabel(statusBar_);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setPreferredWidth(
            QFontMetrics(panel->font()).horizontalAdvance(QStringLiteral("19.2K Baud__")));
        statusBar_->addWidget(panel, 1);
        panels_[i] = panel;
    }
    replyWait_->setObjectName(QStringLiteral("ReplyWaitPanel"));
    replyWait_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The panels share the width by their stretch; the reply wait's text is the longest.
    statusBar_->addPermanentWidget(replyWait_, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(rtsOn);
    buttons->addWidget(rtsOff);
    buttons->addStretch(1);
    buttons->addWidget(logButton);
    buttons->addWidget(clear);
    // A row of their own keeps the window narrow enough to stand beside the main window on
    // a laptop screen.
    auto* lines = new QHBoxLayout;
    lines->addWidget(rtsLed_);
    lines->addWidget(new QLabel(QStringLiteral("RTS"), this));
    lines->addWidget(modemLines_);
    lines->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(commScreen_, 1);
    layout->addLayout(buttons);
    layout->addLayout(lines);
    layout->addWidget(statusBar_);
    resize(560, 420);
}

void TerminalForm::setPanels(const std::array<QString, PortStatus::PanelCount>& panels) {
    for (std::size_t i = 0; i < panels.size(); ++i)
        panels_[i]->setWholeText(panels[i]);
}

QString TerminalForm::panelText(int panel) const {
    return panel >= 1 && panel <= PortStatus::PanelCount ? panels_[std::size_t(panel - 1)]->text()
                                                         : QString();
}

void TerminalForm::setReplyWait(const QString& text) {
    replyWait_->setWholeText(text);
}

void TerminalForm::showModemLines(const ModemLineIndicators& lines) {
    modemLines_->showLines(lines);
}

QSize TerminalForm::leastSize() const {
    const int emptyLog =
        2 * (commScreen_->frameWidth() + int(std::ceil(commScreen_->document()->documentMargin())));
    const QSize least = minimumSizeHint();
    return {least.width(), least.height() - commScreen_->minimumSizeHint().height() + emptyLog};
}

int TerminalForm::logLineHeight() const {
    return commScreen_->fontMetrics().lineSpacing();
}

void TerminalForm::showPortDevice(const QString& device) {
    const QString caption = QStringLiteral("Terminal");
    setWindowTitle(device.isEmpty() ? caption : caption + QStringLiteral(" \u2014 ") + device);
}

void TerminalForm::useDialogs(FileChooser& files, UserNotifier& notifier) {
    logMenu_->useDialogs(files, notifier);
}

void TerminalForm::clearScreen() {
    screen_.setText(QString());
    screen_.moveCaretToEnd();
    commScreen_->setFocus();
}

void TerminalForm::unload() {
    unloading_ = true;
    close();
}

void TerminalForm::closeEvent(QCloseEvent* event) {
    // The program decides: it ends at once (unloading this window, which this close then
    // completes) or, while an exchange runs, when the exchange is over.
    if (!unloading_)
        emit closeRequested();
    event->setAccepted(unloading_);
}

} // namespace rtu
