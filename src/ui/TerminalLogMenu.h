#pragma once

#include <QMenu>

namespace rtu {

class FileChooser;
struct TerminalLogView;
class TerminalLog;
class UserNotifier;

// The terminal log's view options ("Mark Sent Lines", "Timestamps", "Hex View"), which follow
// the log's view both ways, and "Save Log...". Offered from the log's context menu and from
// the "LOG" button. Also shows a hex line left open once the line has gone quiet.
class TerminalLogMenu : public QMenu {
    Q_OBJECT
public:
    TerminalLogMenu(TerminalLog& log, QWidget* parent);

    // Where "Save Log..." asks for its file and tells a failure; without them it does nothing.
    void useDialogs(FileChooser& files, UserNotifier& notifier);

private:
    void addOption(const QString& caption, const QString& name, bool TerminalLogView::*option);

    TerminalLog& log_;
    FileChooser* files_ = nullptr;
    UserNotifier* notifier_ = nullptr;
};

} // namespace rtu
