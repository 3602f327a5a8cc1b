#include "app/FileActions.h"

#include "app/Session.h"
#include "config/ConfigurationFile.h"
#include "serial/TerminalScreen.h"
#include "support/Application.h"
#include "support/FakeSerialLibrary.h"
#include "support/Files.h"
#include "support/RecordingBatchUi.h"
#include "support/RecordingNotifier.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

class FileActionsTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return QDir::toNativeSeparators(dir.filePath(name)); }
    QByteArray configuration() const { return WriteConfiguration(session.panel, session.tables); }

    bool applicationReady = (test::ensureApplication(), true);
    QTemporaryDir dir;
    FakeSerialLibrary library;
    TextTerminalScreen screen;
    RecordingNotifier notifier;
    RecordingBatchUi ui{&library.calls()};
    Session session{library, screen, ui, notifier};
    const QString placeholder{UnitSettingsPanel::LcdTextMaxLength, u'?'};
};

TEST_F(FileActionsTest, SaveCoveringUnreadFieldsAsksFirstAndCancelWritesNothing) {
    const QString site = path("site.txt");
    EXPECT_EQ(saveConfigurationTo(session, site), "Saved " + site);
    EXPECT_TRUE(notifier.questions.empty()) << "nothing unread, nothing to ask";

    // A read without an LCD text reply leaves its placeholder in the boxes.
    session.panel.setText1(0, placeholder);
    session.panel.setText1(1, placeholder);
    session.unanswered.noteRead({{"GPP"}, {"GRTCT", "GLCDT", "GU02", "GV"}});
    notifier.answer = false;
    EXPECT_EQ(saveConfigurationTo(session, path("after-read.txt")),
              "Save cancelled: nothing written");
    EXPECT_EQ(notifier.questions,
              (std::vector<RecordingNotifier::Message>{
                  {"Not read from the unit: LCD text, tank 02; save them anyway?", "Save"}}));
    EXPECT_FALSE(QFile::exists(path("after-read.txt")));

    // Saved all the same, the placeholder is still unread when loaded again.
    notifier.answer = true;
    EXPECT_EQ(saveConfigurationTo(session, path("after-read.txt")),
              "Saved " + path("after-read.txt"));
    Session next{library, screen, ui, notifier};
    EXPECT_EQ(loadConfigurationFrom(next, path("after-read.txt")),
              "Loaded " + path("after-read.txt") + ": 39 of 39 records");
    EXPECT_EQ(next.unanswered.notRead(next.commands.wholeUnitReadLines()), QStringList{"GLCDT"});

    // A failed save says so; a path below a plain file cannot be created.
    EXPECT_TRUE(saveConfigurationTo(session, path("site.txt/x.txt"))
                    .startsWith("The configuration was not saved to " + path("site.txt/x.txt")));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
}

// Either line holding the placeholder keeps the LCD text unread until a real text replaces it.
TEST_F(FileActionsTest, ALoadedPlaceholderIsNotReadSoProgramAsks) {
    ASSERT_TRUE(test::writeFile(path("lcd.txt"), "SLCDT1\"NORTH\"T2\"" + placeholder.toLatin1() +
                                                     "\"\r\nSPP060\r\n"));
    EXPECT_EQ(loadConfigurationFrom(session, path("lcd.txt")),
              "Loaded " + path("lcd.txt") + ": 2 of 39 records; the others keep their values");
    const QStringList lcd = session.commands.unitSettingsReadLines(1);
    notifier.answer = false;
    EXPECT_FALSE(session.unanswered.confirmProgram("Program All", lcd, notifier));
    EXPECT_EQ(notifier.questions.back().text,
              "Not read from the unit: LCD text; program them anyway?");
    session.panel.setText1(0, "SOUTH");
    EXPECT_EQ(session.unanswered.notRead(lcd), QStringList{"GLCDT"});
    session.panel.setText1(1, "LEASE 7");
    EXPECT_EQ(session.unanswered.notRead(lcd), QStringList{});
}

// An empty, binary or unrelated file names no record: an error that changes nothing, and
// never "the lines before it were applied".
TEST_F(FileActionsTest, ALoadThatNamesNoRecordOrCannotBeReadIsAnErrorThatChangesNothing) {
    const QByteArray before = configuration();
    const QString file = path("other.txt");
    for (const QByteArray& content :
         {QByteArray(),
          QByteArray("\x7f"
                     "ELF\x02\x01\0\xff\xfe\r\n\x89PNG",
                     15),
          QByteArray("Dear operator,\r\nSU16\"X\"L1IT1F2E\r\nS420MC1\r\n"),
          QByteArray(MaxConfigurationFileSize + 1, 'S')}) {
        notifier.messages.clear();
        ASSERT_TRUE(test::writeFile(file, content));
        const QString reason = content.size() > MaxConfigurationFileSize
                                   ? "larger than 1 MB: not a configuration file"
                                   : "no line names a record of the unit";
        EXPECT_EQ(loadConfigurationFrom(session, file),
                  "Load of " + file + ": 0 of 39 records, nothing changed: " + reason);
        EXPECT_EQ(notifier.messages, (std::vector<RecordingNotifier::Message>{
                                         {"   File ERROR\n" + file + ": " + reason, ""}}));
        EXPECT_EQ(configuration(), before);
    }

    ASSERT_TRUE(test::writeFile(file, "SPP060\r\nSPP120\r\nSU00\"BROKEN\r\n"));
    EXPECT_EQ(loadConfigurationFrom(session, file),
              "Load stopped at " + file +
                  ", line 3: no closing double quote; 1 of 39 records applied before it");
}

} // namespace
} // namespace rtu
