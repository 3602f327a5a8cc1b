#include "app/FileActions.h"

#include "config/ConfigurationFile.h"
#include "support/Files.h"
#include "support/SessionRig.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

class FileActionsTest : public ::testing::Test, protected test::SessionRig<> {
protected:
    QTemporaryDir dir;
};

// A read without an LCD text reply leaves its placeholder in the boxes: "Save" asks before
// writing it, and once loaded from a file it is still unread, so "Program" asks too.
TEST_F(FileActionsTest, APlaceholderIsNeitherSavedNorProgrammedUnasked) {
    const QString site = dir.filePath("site.txt");
    session.settings.setLcdLine(1, QString(20, u'?'));
    session.unanswered.noteRead({{"GPP"}, {"GRTCT", "GLCDT", "GU02", "GV"}});
    notifier.answer = false;
    EXPECT_EQ(saveConfigurationTo(session, site), "Save cancelled: nothing written");
    EXPECT_EQ(notifier.questions,
              (std::vector<RecordingNotifier::Message>{
                  {"Not read from the unit: LCD text, tank 02; save them anyway?", "Save"}}));
    EXPECT_FALSE(QFile::exists(site));

    notifier.answer = true;
    EXPECT_EQ(saveConfigurationTo(session, site), "Saved " + site);
    // A failed save says so; a path below a plain file cannot be created.
    EXPECT_TRUE(saveConfigurationTo(session, site + "/x.txt")
                    .startsWith("The configuration was not saved to " + site + "/x.txt"));
    EXPECT_EQ(notifier.messages.at(0).icon, MessageIcon::Critical);

    Session next{library, screen, listener, notifier};
    EXPECT_EQ(loadConfigurationFrom(next, site), "Loaded " + site + ": 39 of 39 records");
    const QStringList lcd = next.commands.unitSettingsReadLines(1);
    notifier.answer = false;
    EXPECT_FALSE(next.unanswered.confirmProgram("Program", lcd, notifier));
    // Either line holding the placeholder keeps the text unread.
    next.settings.setLcdLine(0, "SOUTH");
    EXPECT_EQ(next.unanswered.notRead(lcd), QStringList{"GLCDT"});
    next.settings.setLcdLine(1, "LEASE 7");
    EXPECT_EQ(next.unanswered.notRead(lcd), QStringList{});
}

// Edits count since the last Save or whole Load. A read or a partial load keeps the state it
// found: a kept configuration stays kept, edits stay unsaved.
TEST_F(FileActionsTest, EditsCountSinceTheLastSaveOrWholeLoadAndReadsKeepTheStateTheyFind) {
    const QString site = dir.filePath("site.txt"), part = dir.filePath("part.txt");
    ASSERT_TRUE(test::writeFile(part, "SPP120\r\n"));
    saveConfigurationTo(session, site);
    openCom1();
    library.answer("GPP", "PP03725\r\n");
    session.settings.setRowTicked(UnitRow::Poll, true);
    for (const bool edited : {false, true}) {
        if (edited)
            session.settings.setLcdLine(0, "EDITED");
        session.commands.readButton();
        loadConfigurationFrom(session, part);
        EXPECT_EQ(session.edits.any(), edited);
    }
    loadConfigurationFrom(session, site);
    EXPECT_FALSE(session.edits.any()) << "loaded whole";
    session.settings.setLcdLine(0, "EDITED");
    saveConfigurationTo(session, site);
    EXPECT_FALSE(session.edits.any()) << "saved";
}

// An empty, binary or unrelated file names no record: an error that changes nothing, and
// never "the lines before it were applied". A load that stops or takes lines the program
// never writes so says so.
TEST_F(FileActionsTest, ALoadThatNamesNoRecordIsAnErrorOthersNameTheLinesTheyStoppedAtOrTook) {
    const QByteArray before = WriteConfiguration(session.settings.values(), session.tables);
    const QString file = dir.filePath("other.txt");
    for (const QByteArray& content :
         {QByteArray(), QByteArray::fromHex("7f454c46020100fffe0d0a89504e47"),
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
        EXPECT_EQ(WriteConfiguration(session.settings.values(), session.tables), before);
    }

    ASSERT_TRUE(test::writeFile(file, "SPP060\r\nSPP120\r\nSU00\"BROKEN\r\n"));
    EXPECT_EQ(loadConfigurationFrom(session, file),
              "Load stopped at " + file +
                  ", line 3: no closing double quote; 1 of 39 records applied before it; not as "
                  "the program writes them: line 2: SPP named a second time (first on line 1)");
    // A line that loads, but not as the program writes it, is applied and named too.
    ASSERT_TRUE(test::writeFile(file, "SPP1e400\r\n"));
    EXPECT_EQ(loadConfigurationFrom(session, file),
              "Loaded " + file +
                  ": 1 of 39 records; the others keep their values; not as the program writes "
                  "them: line 1: number with an exponent: 1e400");
}

} // namespace
} // namespace rtu
