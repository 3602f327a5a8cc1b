#include "app/MainWindowModel.h"

#include "app/WorkRecordFile.h"

#include "serial/TerminalScreen.h"
#include "support/Application.h"
#include "support/FakeSerialLibrary.h"
#include "support/Files.h"
#include "support/RecordingBatchUi.h"
#include "support/RecordingMenus.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

// The main window's actions without the window, on a scripted library: COM1 opens, and each
// settle delay runs the receiver tick and then the test's step for the line sent last.
class MainWindowModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        library.onDelay = [this] {
            model.session().receiver.PollReceiver();
            if (onLine)
                onLine(int(library.sentLines().size()));
        };
        QObject::connect(&model, &MainWindowModel::outcomeChanged,
                         [this](const QString& text) { outcomes << text; });
        QObject::connect(&model, &MainWindowModel::portStatusChanged,
                         [this](const PortStatus& status) { portStatus = status; });
        QObject::connect(&model, &MainWindowModel::readAgainEnabledChanged,
                         [this](bool enabled) { readAgainEnabled = enabled; });
        model.startUp({});
    }

    bool applicationReady = (test::ensureApplication(), true);
    QTemporaryDir dir;
    FakeSerialLibrary library;
    TextTerminalScreen screen;
    RecordingBatchUi ui;
    RecordingMenus menus;
    RecordingNotifier notifier;
    test::ScriptedFiles files;
    MainWindowModel model{
        {library, screen, ui, menus, notifier, files, dir.path(), dir.filePath("record")}};
    std::function<void(int)> onLine;
    QStringList outcomes;
    PortStatus portStatus;
    bool readAgainEnabled = false;
};

TEST_F(MainWindowModelTest, ProgramSendsTheTickedRowsTypedKeysGoOutAndTheVersionIsTheBuilds) {
    EXPECT_TRUE(portStatus.portControlsEnabled);
    UnitSettingsModel& settings = model.session().settings;
    settings.setCounter(UnitSettings::Counter::PollHours, 7);
    settings.setRowTicked(UnitRow::Poll, true);
    model.program();
    EXPECT_EQ(library.sentLines(), QStringList{"SPP25260"});
    EXPECT_EQ(outcomes.last(), "Program finished: 1 line sent");
    settings.tickAllRows(false);
    model.program();
    EXPECT_EQ(outcomes.last(), "Program: no row ticked, nothing sent");

    // A character beyond one byte goes out as '?'.
    model.sendTypedKeys(QStringLiteral("A\r\b\u00e9\u20ac"));
    EXPECT_TRUE(library.sentBytes().endsWith("\r\nA\r\b\xe9?"));

    QCoreApplication::setApplicationVersion(QStringLiteral("2.7.1"));
    model.showVersion();
    EXPECT_EQ(notifier.messages,
              (std::vector<RecordingNotifier::Message>{
                  {"Software Version 2.7.1", "Korvat", MessageIcon::Information}}));
}

TEST_F(MainWindowModelTest, SaveAndLoadGoThroughTheFileDialogAndCancellingOnlyClearsTheStatus) {
    const QString site = dir.filePath("site.txt");
    files.answer = site;
    model.save();
    model.load();
    EXPECT_EQ(files.requests,
              (QStringList{"Save|File Open|*.txt|*.txt", "Load|File Open|*.txt|*.txt"}));
    const QString shown = QDir::toNativeSeparators(site);
    EXPECT_EQ(outcomes,
              (QStringList{"", "Saved " + shown, "", "Loaded " + shown + ": 39 of 39 records"}));
    files.answer = dir.filePath("report.html");
    model.exportReport();
    EXPECT_TRUE(test::readFile(files.answer).contains("TANK 16"));
    EXPECT_EQ(outcomes.last(), "Report written to " + QDir::toNativeSeparators(files.answer));

    files.answer.clear();
    outcomes.clear();
    model.load();
    model.save();
    model.exportReport();
    EXPECT_EQ(outcomes, QStringList(3, QString()));
    EXPECT_TRUE(notifier.messages.empty() && notifier.questions.empty());
}

// The unit answers only the clock line of "Read All": "Read Unanswered Again" reads the 38
// others, and "Program All" sends the placeholders only when the operator says so.
TEST_F(MainWindowModelTest, ReadUnansweredAgainReadsTheSilentLinesProgramAllAsksBeforeSending) {
    library.answer("GRTCT", "RTC 12/31/00 12:00:00\r\n");
    model.readAll();
    EXPECT_TRUE(readAgainEnabled);
    library.clearCalls();
    EXPECT_TRUE(model.readUnansweredAgain().startsWith(
        "Read Unanswered Again finished: 0 of 38 lines answered"));
    EXPECT_EQ(library.sentLines(), model.session().commands.wholeUnitReadLines().mid(1));

    library.clearCalls();
    notifier.answer = false;
    model.programAll();
    ASSERT_EQ(notifier.questions.size(), 1u);
    EXPECT_TRUE(notifier.questions[0].text.contains("LCD text, tank 00")) << "the whole unit";
    EXPECT_TRUE(library.sentLines().isEmpty());
    EXPECT_EQ(outcomes.last(), "Program All cancelled: nothing sent");
    notifier.answer = true;
    model.session().settings.setCounter(UnitSettings::Counter::PollHours, 7);
    model.programAll();
    EXPECT_EQ(library.sentLines().size(), 39);
    EXPECT_EQ(outcomes.last(), "Program All finished: 39 lines sent");
    EXPECT_FALSE(model.session().edits.any()) << "the unit holds the edit";
}

// A close asked for during a read must not tear the session down under it, nor wait for the
// whole read: the read stops at its line, and says so without a box.
TEST_F(MainWindowModelTest, ReadAllStopsAtItsLineForAClose) {
    bool closeReady = false;
    QObject::connect(&model, &MainWindowModel::closeReady, [&] { closeReady = true; });
    onLine = [this](int sent) {
        if (sent == 13) {
            EXPECT_FALSE(model.requestClose());
        }
    };
    EXPECT_EQ(model.readAll(), "Read All stopped, the program is closing: unit settings and "
                               "tanks 00-06 were read; the rest still hold the values from "
                               "before.");
    EXPECT_TRUE(outcomes.contains("Closing when the exchange ends..."));
    EXPECT_TRUE(closeReady && notifier.messages.empty() && model.requestClose());
}

TEST_F(MainWindowModelTest, ReadAllEndsOrderlyWhenThePortIsLost) {
    library.loseOnLine = 13;
    const QString outcome = model.readAll();
    EXPECT_TRUE(outcome.startsWith("Read All stopped, the serial port was lost: unit settings "
                                   "and tanks 00-0"))
        << qPrintable(outcome);
    EXPECT_EQ(notifier.messages,
              (std::vector<RecordingNotifier::Message>{{outcome, "", MessageIcon::Critical}}));
    model.refreshPortStatus();
    EXPECT_FALSE(portStatus.portControlsEnabled || readAgainEnabled);
    EXPECT_EQ(model.readAll(), "Read All needs an open port");
}

// A program action after a read names the field it changed with the unit's value before;
// a record that cannot be written is said once and the actions go on.
TEST_F(MainWindowModelTest, TheWorkRecordNamesEachChangeAndAFailureToWriteItOnce) {
    library.answer("GPP", "PP00900\r\n");
    UnitSettingsModel& settings = model.session().settings;
    settings.setRowTicked(UnitRow::Poll, true);
    model.read();
    settings.setCounter(UnitSettings::Counter::PollHours, 7);
    model.program();
    const QList<QJsonObject> record = WorkRecordFile(dir.filePath("record")).readAll();
    ASSERT_EQ(record.size(), 2);
    EXPECT_EQ(record[1]["action"].toString(), "Program");
    EXPECT_EQ(QJsonDocument(record[1]["changes"].toArray()).toJson(QJsonDocument::Compact),
              R"([{"after":"26100","before":"900","field":"time between polls in seconds",)"
              R"("record":"SPP"}])");

    ASSERT_TRUE(QFile(dir.filePath("file")).open(QIODevice::WriteOnly));
    model.session().record.setFolder(dir.filePath("file/record"), {});
    model.program();
    model.program();
    EXPECT_EQ(library.sentLines(), (QStringList{"GPP", "SPP26100", "SPP26100", "SPP26100"}));
    EXPECT_EQ(outcomes.mid(outcomes.size() - 2),
              (QStringList{"Program finished: 1 line sent; Work record not written: cannot make "
                           "the folder " +
                               dir.filePath("file/record"),
                           "Program finished: 1 line sent"}));
}

} // namespace
} // namespace rtu
