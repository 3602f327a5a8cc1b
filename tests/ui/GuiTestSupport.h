#pragma once

// A fixture that runs the desktop program's windows in-process: each test in its own
// working directory, COM1 and COM3 on pseudo-terminals whose far end the test plays, COM2
// on a simulated unit, COM4 and COM5 on devices that do not exist. Message boxes and the
// file and device dialogs go through recording seams, so nothing ever blocks.

#include "app/RtuForm.h"
#include "serial/QtSerialLibrary.h"
#include "sim/PtyUnitServer.h"
#include "sim/SimulatedUnit.h"
#include "support/Pty.h"
#include "support/RecordingNotifier.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace rtu::test {

// The application object for the whole test program. It goes before the program exits:
// left to the exit handlers it would outlive parts of Qt its destructor still uses.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[8] = "test_ui";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const applicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

// Runs the event loop until `condition` holds; false when `timeoutMs` passed first.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs = 5000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

class ScriptedFiles : public FileChooser {
public:
    struct Request {
        Purpose purpose;
        QString title;
        QString pattern;
        QString proposedName;
    };
    QString chooseFile(Purpose purpose, const QString& title, const QString& pattern,
                       const QString& proposedName) override {
        requests.push_back({purpose, title, pattern, proposedName});
        return answer;
    }
    QString answer; // empty: the operator cancels
    std::vector<Request> requests;
};

class ScriptedDevices : public DeviceChooser {
public:
    std::optional<PortDevices> chooseDevices(const PortDevices& current) override {
        shown = current;
        return answer;
    }
    std::optional<PortDevices> answer;
    PortDevices shown;
};

// A test that needs the application object before any member of its fixture is built.
class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() { EXPECT_NE(QApplication::instance(), nullptr); }
};

class GuiTest : public ApplicationTest {
protected:
    static constexpr PortId RawPort = 0;     // COM1: the test plays the far end
    static constexpr PortId UnitPort = 1;    // COM2: the simulated unit
    static constexpr PortId SecondRaw = 2;   // COM3
    static constexpr PortId MissingPort = 3; // COM4: no such device

    void SetUp() override {
        ASSERT_TRUE(workDir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(workDir.path());
        ASSERT_TRUE(com1.isOpen());
        ASSERT_TRUE(com3.isOpen());
        library.setDevice(RawPort, com1.slavePath());
        library.setDevice(SecondRaw, com3.slavePath());
        library.setDevice(MissingPort, workDir.filePath(QStringLiteral("no-such-tty4")));
        library.setDevice(4, workDir.filePath(QStringLiteral("no-such-tty5")));
        // Long enough for the simulated unit's replies, short enough for quick tests.
        library.setDelayUnitOverride(8.0);
        startUnit({});
    }

    void TearDown() override {
        form.reset();
        QDir::setCurrent(previousDir);
    }

    // A fresh simulated unit behind COM2, answering fast.
    void startUnit(ServerOptions options) {
        options.baud = 115200;
        options.turnaroundMs = 1;
        server.reset();
        unit = std::make_unique<SimulatedUnit>();
        server = std::make_unique<PtyUnitServer>(*unit, options);
        ASSERT_EQ(server->start(), QString());
        library.setDevice(UnitPort, server->slavePath());
    }

    // Starts the program in the working directory, as at every launch.
    RtuForm& startProgram() {
        form = std::make_unique<RtuForm>(
            RtuForm::Environment{library, notifier, files, devices, workDir.path()});
        form->load();
        return *form;
    }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(workDir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray readFile(const QString& name) const {
        QFile file(workDir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList directoryListing() const {
        return QDir(workDir.path()).entryList(QDir::Files, QDir::Name);
    }

    // A control of the main window, or else of the terminal window, by its object name.
    template <typename T> T* control(const QString& name) const {
        T* found = form->findChild<T*>(name);
        if (!found)
            found = form->terminal().findChild<T*>(name);
        EXPECT_NE(found, nullptr) << "no control " << name.toStdString();
        return found;
    }
    // The terminal window's own controls: its button names repeat the main window's.
    template <typename T> T* terminalControl(const QString& name) const {
        T* found = form->terminal().findChild<T*>(name);
        EXPECT_NE(found, nullptr) << "no terminal control " << name.toStdString();
        return found;
    }
    void clickTerminal(const QString& buttonName) const {
        if (QWidget* button = terminalControl<QWidget>(buttonName))
            QTest::mouseClick(button, Qt::LeftButton);
    }
    QAction* action(const QString& name) const { return control<QAction>(name); }
    bool checked(const QString& name) const {
        QAction* entry = action(name);
        return entry && entry->isChecked();
    }
    // The checked entries among those whose object name starts with `prefix`.
    QStringList checkedEntries(const QString& prefix) const {
        QStringList names;
        for (QAction* entry : form->findChildren<QAction*>()) {
            if (entry->objectName().startsWith(prefix) && entry->isChecked())
                names << entry->objectName();
        }
        names.sort();
        return names;
    }
    void click(const QString& buttonName) const {
        QWidget* button = control<QWidget>(buttonName);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
    }
    QString screenText() const { return form->terminal().screen().text(); }

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
