#include "CliProcess.h"
#include "cli/CliConsole.h"
#include "cli/LogTerminalScreen.h"

#include "app/Session.h"
#include "config/ConfigurationFile.h"
#include "serial/FakeSerialLibrary.h"
#include "support/RecordingNotifier.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

namespace rtu {
namespace {

TEST(LogTerminalScreen, LogsEverythingInsertedByteForByteAndKeepsTrimmingOnScreen) {
    QBuffer log;
    log.open(QIODevice::WriteOnly);
    LogTerminalScreen screen(&log);
    screen.appendLine(QStringLiteral("GPP"));
    const QString received = QStringLiteral("PP00060\r\n") + QChar(0) + QChar(0xFF);
    screen.insertAtEnd(received);
    EXPECT_EQ(screen.text(), QStringLiteral("GPP\r\n") + received);

    // The receiver trims a long screen; the log keeps the whole traffic.
    screen.setText(QStringLiteral("tail"));
    screen.removeLastCharacter();
    screen.insertAtEnd(QStringLiteral("!"));
    EXPECT_EQ(screen.text(), "tai!");
    EXPECT_EQ(log.data(), QByteArray("GPP\r\nPP00060\r\n\0\xFF!", 17));
}

TEST(LogTerminalScreen, WorksWithoutALog) {
    LogTerminalScreen screen;
    screen.insertAtEnd(QString(100000, QLatin1Char('x')));
    EXPECT_EQ(screen.length(), 100000);
}

TEST(ProgressBatchUi, ReportsEachLineCountingFromOneUnlessQuiet) {
    QString text;
    QTextStream stream(&text);
    ProgressBatchUi loud(stream, false);
    loud.progress(0, 39, QStringLiteral("Reading unit settings"));
    loud.progress(6, 39, QStringLiteral("Reading tank 01"));
    EXPECT_EQ(text, "line 1 of 39: Reading unit settings\nline 7 of 39: Reading tank 01\n");

    text.clear();
    ProgressBatchUi quiet(stream, true);
    quiet.progress(6, 39, QStringLiteral("Reading tank 01"));
    EXPECT_TRUE(text.isEmpty());
}

TEST(StreamNotifier, PrintsMessagesAsOneLineAndLeavesBatchErrorsToTheTool) {
    QString text;
    QTextStream stream(&text);
    StreamNotifier notifier(stream);
    notifier.showMessage(QStringLiteral("Error!"), QString(), MessageIcon::Critical);
    notifier.beep();
    notifier.showMessage(QStringLiteral("Please use this format for Time 17:08:23 "),
                         QStringLiteral("Hi"), MessageIcon::Information);
    EXPECT_EQ(text, "rtu7350-cli: Hi: Please use this format for Time 17:08:23\n");
}

// A whole-unit read through the session, with the log screen, the progress printer and
// the notifier wired in as the tool wires them, on a scripted port.
using CliConsole = test::QtApplicationTest;

TEST_F(CliConsole, WholeUnitReadReportsProgressForEachOfThe39Lines) {
    QString text;
    QTextStream stream(&text);
    QBuffer log;
    log.open(QIODevice::WriteOnly);
    LogTerminalScreen screen(&log);
    ProgressBatchUi ui(stream, false);
    StreamNotifier notifier(stream);
    FakeSerialLibrary library;
    Session session(library, screen, ui, notifier);
    library.onDelay = [&] { session.receiver.PollReceiver(); };
    library.answer(QStringLiteral("GPP"), "PP00900\r\n");
    library.InitializePort(0, 0, 0, 0, 9, 0, 2048, 1024, 0);
    session.link.CurrentPort = 0;

    ReadReport report;
    session.commands.readAll(&report);
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 35); // one for the five unit-settings reads, one per module
    EXPECT_EQ(lines.first(), "line 1 of 39: Reading unit settings");
    EXPECT_EQ(lines[1], "line 6 of 39: Reading tank 00");
    EXPECT_EQ(lines.last(), "line 39 of 39: Reading 4-20mA module 8");
    EXPECT_TRUE(log.data().contains("GPP\r\nPP00900\r\nGLCD\r\n"));
    EXPECT_EQ(report.answered, QStringList{"GPP"});
}

// The shipped example is written exactly as the program writes files, so a round trip
// through a unit reproduces it byte for byte (the clock lines apart).
TEST(ExampleSite, IsInTheProgramsOwnFileFormAndNotTheDefaults) {
    QFile file(test::examplePath(QStringLiteral("site.txt")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();

    RecordingNotifier notifier;
    UnitSettingsPanel panel(notifier);
    RecordTables tables;
    SetAllDefaults(tables);
    const RecordTables defaults = tables;
    const LoadResult loaded = LoadConfiguration(content, panel, tables);
    ASSERT_TRUE(loaded.ok) << qPrintable(loaded.reason);
    EXPECT_NE(tables, defaults);

    const QByteArray written = WriteConfiguration(panel, tables);
    EXPECT_EQ(written.count("\r\n"), 39);
    const auto afterClock = [](const QByteArray& text) {
        return text.mid(text.indexOf("\r\n", text.indexOf("\r\n") + 2) + 2);
    };
    EXPECT_EQ(afterClock(written), afterClock(content));
}

} // namespace
} // namespace rtu
