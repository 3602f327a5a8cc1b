#pragma once

#include "app/PortSelection.h"
#include "app/TerminalLog.h"
#include "ui/CommScreenTerminal.h"
#include "ui/ElidedLabel.h"

#include <QPlainTextEdit>
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QStatusBar;

namespace rtu {

class ModemLineLeds;
class TerminalLogMenu;

// The log and typing area: every key typed is reported (for the serial line) before the
// box inserts it as usual.
class CommScreenEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

signals:
    void keyTyped(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The box's own entries, then the actions added to it.
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// The RTS indicator, and those of the modem lines: a filled circle in a colour given as
// 0xBBGGRR (255 red, 16777215 white).
class RtsLed : public QWidget {
    Q_OBJECT
public:
    explicit RtsLed(QWidget* parent = nullptr);
    int colour() const { return colour_; }
    void setColour(int colour);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int colour_;
};

// The terminal window: the traffic log (CommScreen) that is also a hand terminal, the RTS
// buttons and indicator, the modem lines, "CLR SCREEN" and the status bar with the time and
// port settings.
// Closing it asks the program to end; it goes away only when the program unloads it.
class TerminalForm : public QWidget {
    Q_OBJECT
public:
    explicit TerminalForm(QWidget* parent = nullptr);

    // The log as the writers see it, with the view chosen under "LOG".
    TerminalScreen& screen() { return log_; }
    TerminalLog& log() { return log_; }
    // Where "Save Log..." asks for its file and tells a failure.
    void useDialogs(FileChooser& files, UserNotifier& notifier);
    RtsLed& rtsLed() { return *rtsLed_; }
    void setPanels(const std::array<QString, PortStatus::PanelCount>& panels);
    QString panelText(int panel) const; // 1..7
    // The reply wait, in its own panel after the seven.
    void setReplyWait(const QString& text);
    void showModemLines(const ModemLineIndicators& lines);
    // The least size of the window with a log of no lines, and the height of a log line.
    QSize leastSize() const;
    int logLineHeight() const;

    // The caption names the device behind the open port ("COM1: /dev/ttyUSB0"), if any.
    void showPortDevice(const QString& device);

    // Closes the window for good (the program's shutdown).
    void unload();

signals:
    void keyTyped(const QString& text);
    void rtsOnClicked();
    void rtsOffClicked();
    // The operator closed the window: the program should end.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void clearScreen();

    CommScreenEdit* commScreen_;
    CommScreenTerminal screen_;
    TerminalLog log_{screen_};
    TerminalLogMenu* logMenu_;
    RtsLed* rtsLed_;
    ModemLineLeds* modemLines_;
    QStatusBar* statusBar_;
    std::array<ElidedLabel*, PortStatus::PanelCount> panels_{};
    ElidedLabel* replyWait_;
    bool unloading_ = false;
};

} // namespace rtu
