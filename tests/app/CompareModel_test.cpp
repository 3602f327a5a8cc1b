#include "app/CompareModel.h"

#include "support/SessionRig.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// What the model adds to UnitDifferences: the port check, the question before a program
// action, which rows' records are taken, and the outcomes. A unit that answers only tank 07,
// with a label of its own, which it keeps when programmed.
TEST(CompareModelTest, AsksBeforeProgrammingUnreadFieldsAndSaysWhatEachActionLeft) {
    test::SessionRig<> rig;
    CompareModel model(rig.session);
    EXPECT_EQ(model.compare(), "Compare With Unit needs an open port");

    rig.openCom1();
    rig.library.answer("GU07", "SU07\"WEST      \"L2CT1C0.5000M\r\n");
    rig.session.tables.SensorRecords.at(7).Label = "EAST";
    EXPECT_TRUE(
        model.compare().startsWith("Compare With Unit: 1 record differs; no whole reply: "));

    // Tank 07 of the program was never read from the unit: its settings are asked about.
    rig.session.unanswered.noteRead({{}, {"GU07"}});
    rig.notifier.answer = false;
    rig.library.clearCalls();
    EXPECT_EQ(model.programDifferences(), "Program Differences cancelled: nothing sent");
    EXPECT_TRUE(rig.library.sentLines().isEmpty());
    rig.notifier.answer = true;
    EXPECT_EQ(model.programDifferences(),
              "Program Differences: 1 line sent; 1 record still differs");

    EXPECT_EQ(model.takeUnitValues({}), "Take Unit's Values: no record chosen");
    EXPECT_EQ(model.takeUnitValues({0, 1}),
              "Take Unit's Values: the unit's values taken for 1 record");
    EXPECT_EQ(rig.session.tables.SensorRecords.at(7).Label.text(), "WEST      ");
    EXPECT_EQ(model.programDifferences(), "Program Differences: no record differs, nothing sent");
}

} // namespace
} // namespace rtu
