#pragma once

#include <QString>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabBar;
class QVBoxLayout;

namespace rtu {

class CountingBar;
class ModuleEditor;

// What the three module windows share: the tab strip (TabStrip1), the outer frame around
// the settings, the "Program"/"Read" scope boxes, the buttons and a status line. A module
// window takes the main window's place when it opens; when the operator closes it (EXIT or
// the close box) it reports closed() so the main window can show itself again. It cannot
// be closed while one of its exchanges runs. Controls mirror the editor: refresh() sets
// them from it, and only the operator's edits reach it (the controls are wired to the
// signals of the operator's actions: clicked, textEdited, countChanged).
class ModuleWindow : public QWidget {
    Q_OBJECT
public:
    // Takes `place` (the main window's geometry) and starts on the first tab.
    void open(const QRect& place);
    // The records changed elsewhere (values taken from the unit): the selected one is shown
    // again.
    void showRecordAgain();

signals:
    void closed();

protected:
    struct Captions {
        QString title;      // "Sensors"
        QString objectName; // "ConfigSensors"
        QString frame;      // "SENSORS"
        QString programAll; // "Program All" / "Progrem All"
        QString readAll;    // "  Read All" / "Read All"
        QString exitButton; // "Command3" / "Command4"
    };
    // The window owns the editor, which must be made before the window.
    ModuleWindow(ModuleEditor& editor, const Captions& captions, QWidget* parent);

    // The frame the subclass fills with its settings.
    QVBoxLayout* settingsArea() const { return settings_; }
    // Mirrors the editor into the controls; subclasses add their own.
    virtual void showEditor();
    void closeEvent(QCloseEvent* event) override;

    // Control factories for the settings.
    // A bar whose upper arrow counts up, large step 10.
    static CountingBar* scrollBar(const QString& name, int min, int max);
    // Option buttons named `names` (ids 0, 1, ...), laid out in `box`.
    static QButtonGroup* options(const QStringList& captions, const QStringList& names,
                                 QWidget* box);
    static void showOption(QButtonGroup* group, int option);

    static void showCaption(QLabel* label, const QString& caption);

private:
    void refresh();

    ModuleEditor& editor_;
    QTabBar* tabs_;
    QVBoxLayout* settings_;
    QCheckBox* programAll_;
    QCheckBox* readAll_;
    QLabel* status_;
};

} // namespace rtu
