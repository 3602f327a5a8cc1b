#include "app/EditsOnClose.h"

#include "app/FileActions.h"
#include "support/Files.h"
#include "support/SessionRig.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace rtu {
namespace {

class EditsOnCloseTest : public ::testing::Test, protected test::SessionRig<> {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    void editLcd(const QString& text) { session.settings.setLcdLine(0, text); }

    QTemporaryDir dir;
};

// Edits count since the last Save or whole Load; what a read or a load brings keeps the state
// it found, and an edit undone is none.
TEST_F(EditsOnCloseTest, EditsCountSinceTheyWereLastKeptAndReadsKeepTheStateTheyFind) {
    const UnsavedEdits& edits = session.edits;
    openCom1();
    library.answer("GPP", "PP03725\r\n");
    session.settings.setRowTicked(UnitRow::Poll, true);
    const QString before = session.settings.values().lcdLines[0];
    for (const bool edited : {false, true}) {
        if (edited)
            editLcd("EDITED");
        session.commands.readButton();
        EXPECT_EQ(edits.any(), edited);
    }
    editLcd(before);
    EXPECT_FALSE(edits.any()) << "undone";
    EXPECT_EQ(saveConfigurationTo(session, path("site.txt")), "Saved " + path("site.txt"));
    EXPECT_FALSE(edits.any());
    ASSERT_TRUE(test::writeFile(path("tank.txt"), "SU03\"WATER 1   \"L1IT0F1.6700E\r\n"));
    editLcd("EDITED");
    loadConfigurationFrom(session, path("tank.txt"));
    EXPECT_TRUE(edits.any()) << "a partial load leaves the edit unsaved";
    loadConfigurationFrom(session, path("site.txt"));
    EXPECT_FALSE(edits.any());
}

// A closing operator is asked; edits no one was asked about go to the recovery file, which
// the next start offers and removes.
TEST_F(EditsOnCloseTest, AClosingOperatorIsAskedAndEditsNoOneWasAskedAboutAreOfferedNextTime) {
    const QString recovery = path("data/recovered.txt");
    EditsOnClose closing(session, notifier, recovery);
    EXPECT_TRUE(closing.confirmClose({}) && notifier.questions.empty()) << "nothing to lose";
    editLcd("RECOVER ME");
    int saves = 0;
    for (const SaveChoice choice : {SaveChoice::Cancel, SaveChoice::Save}) {
        notifier.saveChoice = choice;
        EXPECT_FALSE(closing.confirmClose([&] { ++saves; })) << "cancelled, or not saved";
    }
    EXPECT_EQ(saves, 1);
    closing.endWithoutAsking();
    EXPECT_TRUE(closing.confirmClose({}));
    EXPECT_EQ(closing.keepUnsaved(), "");

    Session next{library, screen, listener, notifier};
    EditsOnClose starting(next, notifier, recovery);
    EXPECT_TRUE(starting.offerRecovered().startsWith("Loaded "));
    EXPECT_TRUE(QRegularExpression("^Unsaved edits from \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d were "
                                   "recovered: load them\\?$")
                    .match(notifier.questions.back().text)
                    .hasMatch());
    EXPECT_EQ(next.settings.values().lcdLines[0].trimmed(), "RECOVER ME");
    EXPECT_TRUE(next.edits.any() && !QFile::exists(recovery));
    EXPECT_EQ(starting.offerRecovered(), "");
}

} // namespace
} // namespace rtu
