#pragma once

// A fixture that runs the desktop program's windows in-process: each test in its own
// working directory, COM1 and COM3 on pseudo-terminals whose far end the test plays, COM2
// on a simulated unit, COM4 and COM5 on devices that do not exist. Message boxes and the
// file and device dialogs go through recording seams, so nothing ever blocks.

#include "serial/QtSerialLibrary.h"
#include "sim/PtyUnitServer.h"
#include "sim/SimulatedUnit.h"
#include "support/Application.h"
#include "support/Files.h"
#include "support/Pty.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedFiles.h"
#include "ui/RtuForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace rtu::test {

// The application object for the whole test program. It goes before the program exits:
// left to the exit handlers it would outlive parts of Qt its destructor still uses.
struct ApplicationEnvironment : ::testing::Environment {
    void SetUp() override { app = std::make_unique<QApplication>(argc, argv); }
    void TearDown() override { app.reset(); }

    int argc = 1;
    char name[8] = "test_ui";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};

inline ::testing::Environment* const applicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

struct ScriptedDevices : DeviceChooser {
    std::optional<PortDevices> chooseDevices(const PortDevices& current) override {
        shown = current;
        return answer;
    }
    std::optional<PortDevices> answer;
    PortDevices shown;
};

class GuiTest : public ::testing::Test {
protected:
    static constexpr PortId UnitPort = 1; // COM2: the simulated unit

    // Files are read and written relative to the working directory, the test's own.
    void SetUp() override {
        ASSERT_TRUE(workDir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(workDir.path());
        // The recovery file and the programs' work record go to the test's folder.
        qputenv("XDG_DATA_HOME", workDir.path().toLocal8Bit());
        ASSERT_TRUE(com1.isOpen() && com3.isOpen());
        library.setDevice(0, com1.slavePath());
        library.setDevice(2, com3.slavePath());
        library.setDevice(3, workDir.filePath(QStringLiteral("no-such-tty4")));
        library.setDevice(4, workDir.filePath(QStringLiteral("no-such-tty5")));
        // Long enough for the simulated unit's replies, short enough for quick tests.
        library.setDelayUnitOverride(8.0);
        startUnit({});
    }

    void TearDown() override {
        form.reset();
        QDir::setCurrent(previousDir);
    }

    // A fresh simulated unit behind COM2, answering fast, always under the same name: a unit
    // started again is the adapter plugged back in.
    void startUnit(ServerOptions options) {
        options.baud = 115200;
        options.turnaroundMs = 1;
        options.linkPath = workDir.filePath(QStringLiteral("unit"));
        server.reset();
        unit = std::make_unique<SimulatedUnit>();
        server = std::make_unique<PtyUnitServer>(*unit, options);
        ASSERT_EQ(server->start(), QString());
        library.setDevice(UnitPort, options.linkPath);
    }

    // Starts the program in the working directory, as at every launch.
    RtuForm& startProgram() {
        form = std::make_unique<RtuForm>(
            RtuForm::Environment{library, notifier, files, devices, workDir.path()});
        form->load();
        return *form;
    }

    // A control by its object name: of the main window, else of the terminal window. The
    // terminal's buttons repeat the main window's names: pass the terminal to reach them.
    template <typename T> T* control(const QString& name, QObject* window = nullptr) const {
        T* found = (window ? window : form.get())->findChild<T*>(name);
        if (!found && !window)
            found = form->terminal().findChild<T*>(name);
        EXPECT_NE(found, nullptr) << "no control " << name.toStdString();
        return found;
    }
    void click(const QString& buttonName, QObject* window = nullptr) const {
        if (auto* button = control<QWidget>(buttonName, window))
            QTest::mouseClick(button, Qt::LeftButton);
    }
    QAction* action(const QString& name) const { return control<QAction>(name); }
    // The checked entries among those whose object name starts as `pattern` says ("A|B").
    QStringList checkedEntries(const QString& pattern) const {
        QStringList names;
        for (QAction* entry :
             form->findChildren<QAction*>(QRegularExpression("^(" + pattern + ")")))
            if (entry->isChecked())
                names << entry->objectName();
        names.sort();
        return names;
    }
    QString screenText() const { return form->terminal().screen().text(); }
    // Whether "Program All", "Read All" and the "Port Characteristics" menu are enabled.
    QList<bool> portControlsEnabled() const {
        return {control<QWidget>("Command1")->isEnabled(),
                control<QWidget>("Command2")->isEnabled(),
                control<QMenu>("PortCharacteristics")->menuAction()->isEnabled()};
    }

    QTemporaryDir workDir;
    QString previousDir;
    Pty com1;
    Pty com3;
    QtSerialLibrary library;
    RecordingNotifier notifier;
    ScriptedFiles files;
    ScriptedDevices devices;
    std::unique_ptr<SimulatedUnit> unit;
    std::unique_ptr<PtyUnitServer> server;
    std::unique_ptr<RtuForm> form;
};

} // namespace rtu::test
