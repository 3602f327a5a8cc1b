#pragma once

#include <QScrollBar>
#include <QStatusBar>
#include <QString>

class QAction;
class QFont;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QWidget;

namespace rtu {

// A vertical scroll bar that works like a number control: its upper arrow and the Up key
// count up, its top end is the maximum, Tab reaches it. QScrollBar's upper arrow always
// steps its value down, so the bar runs on the negated count.
class CountingBar : public QScrollBar {
    Q_OBJECT
public:
    CountingBar(const QString& name, int min, int max, int pageStep);
    int count() const { return -value(); }
    // Shows a count; the operator's changes only are reported (countChanged).
    void showCount(int count);

signals:
    void countChanged(int count);
};

// A status bar whose message may be longer than the window is wide: the whole message is
// its tooltip, and a click on it hands the message on (outcomeClicked) to be shown whole.
class OutcomeBar : public QStatusBar {
    Q_OBJECT
public:
    OutcomeBar();

signals:
    void outcomeClicked(const QString& outcome);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Small factories shared by the windows: controls carry the program's own names as Qt
// objectNames ("Command1", "Label8_3"), so tests and the windows find them by name.

QFont fixedFont();

// The name of a control array member: "Check1" and 2 give "Check1_2".
QString indexed(const QString& name, int index);

QMenu* addMenu(QMenuBar* bar, const QString& caption, const QString& name);
QMenu* addSubmenu(QMenu* parent, const QString& caption, const QString& name);
QAction* addEntry(QMenu* menu, const QString& caption, const QString& name, bool checkable);

QPushButton* button(const QString& caption, const QString& name, QWidget* parent = nullptr);

// A sunken box holding two buttons beside its caption.
QFrame* buttonBox(const QString& caption, QPushButton* first, QPushButton* second);

// A sunken, centred number display in the fixed-pitch font, at least four digits wide.
QLabel* valueDisplay(const QString& name);

// Programs set text boxes too: a box already showing the text keeps its caret.
void showText(QLineEdit* box, const QString& text);
// A box edits a fixed-width record field: it keeps what the operator typed while that is
// what the field holds (the field pads it with spaces).
void showFieldText(QLineEdit* box, const QString& field);

} // namespace rtu
