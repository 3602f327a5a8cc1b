#include "ui/TerminalLogMenu.h"

#include "app/TerminalLog.h"

#include <QTimer>

namespace rtu {

namespace {

// How long the line must stay quiet before an open hex line is shown.
constexpr int HexIdleMs = 200;

} // namespace

TerminalLogMenu::TerminalLogMenu(TerminalLog& log, QWidget* parent)
    : QMenu(QStringLiteral("LOG"), parent), log_(log) {
    setObjectName(QStringLiteral("LogMenu"));
    addOption(QStringLiteral("Mark Sent Lines"), QStringLiteral("MarkSentLines"),
              &TerminalLogView::markSent);
    addOption(QStringLiteral("Timestamps"), QStringLiteral("Timestamps"),
              &TerminalLogView::timestamps);
    addOption(QStringLiteral("Hex View"), QStringLiteral("HexView"), &TerminalLogView::hex);
    addSeparator();
    QAction* save = addAction(QStringLiteral("Save Log..."));
    save->setObjectName(QStringLiteral("SaveLog"));
    connect(save, &QAction::triggered, this, [this] {
        if (files_ && notifier_)
            log_.saveLog(*files_, *notifier_);
    });

    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, &log_, &TerminalLog::showIdleHexLine);
    idle->start(HexIdleMs);
}

void TerminalLogMenu::useDialogs(FileChooser& files, UserNotifier& notifier) {
    files_ = &files;
    notifier_ = &notifier;
}

void TerminalLogMenu::addOption(const QString& caption, const QString& name,
                                bool TerminalLogView::*option) {
    QAction* action = addAction(caption);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setChecked(log_.view().*option);
    connect(action, &QAction::toggled, &log_, [this, option](bool on) {
        TerminalLogView view = log_.view();
        view.*option = on;
        log_.setView(view);
    });
    connect(&log_, &TerminalLog::viewChanged, action,
            [this, action, option] { action->setChecked(log_.view().*option); });
}

} // namespace rtu
