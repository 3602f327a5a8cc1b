#include "app/UnitSettingsModel.h"

#include "support/RecordingNotifier.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

using enum UnitSettings::Counter;

class UnitSettingsModelTest : public ::testing::Test {
protected:
    UnitSettingsModelTest() {
        const auto record = [this](const char* what) {
            return [this, what](auto index) {
                events << QStringLiteral("%1 %2").arg(what).arg(int(index));
            };
        };
        QObject::connect(&model, &UnitSettingsModel::clockTextChanged, record("clock"));
        QObject::connect(&model, &UnitSettingsModel::lcdLineChanged, record("lcd"));
        QObject::connect(&model, &UnitSettingsModel::counterChanged, record("counter"));
        QObject::connect(&model, &UnitSettingsModel::counterShownChanged, record("shown"));
        QObject::connect(&model, &UnitSettingsModel::rowTickedChanged, record("row"));
        QObject::connect(&model, &UnitSettingsModel::clockModeChanged,
                         [this] { events << "mode"; });
    }

    RecordingNotifier notifier;
    UnitSettingsModel model{notifier};
    QStringList events;
};

// The window mirrors the model through its signals: each real change signals once.
TEST_F(UnitSettingsModelTest, EachRealChangeSignalsOnceAndTheClockBoxesTellTheOperator) {
    model.setClockText(ClockBox::Time, "12:00:00");
    model.setLcdLine(0, "Company");
    model.setCounter(LcdSeconds, 9);
    model.setCounter(LcdSeconds, 9);
    model.setClockText(ClockBox::Time, "25:00:00");    // replaced, with a beep
    model.setClockText(ClockBox::Date, "12/31/20001"); // emptied, with the format
    model.setRowTicked(UnitRow::LcdTiming, true);
    model.tickAllRows(true); // "Set All" goes in row order
    model.setClockFromPc(false);
    EXPECT_EQ(events, (QStringList{"shown 3", "counter 3", "clock 0", "clock 1", "row 3", "row 0",
                                   "row 1", "row 2", "row 4", "row 5", "mode"}));
    EXPECT_EQ(model.values().time + '|' + model.values().date, "12:00:00|");
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_EQ(notifier.messages, (std::vector<RecordingNotifier::Message>{
                                     {"Please use this format for Date 12/05/2000 ", "Hi",
                                      MessageIcon::Information}}));
}

// A read or a load stores in place; what changed is signalled when published, and a clock
// text a reply brought out of range beeps.
TEST_F(UnitSettingsModelTest, ValuesStoredInPlaceAreSignalledWhenPublished) {
    UnitSettings& stored = model.storedValues();
    stored.pollMinutes.shown = "??";
    stored.lcdLines[1] = "WEST";
    stored.time = "17:08:23";
    model.replyStored({ClockNotice::None, ClockNotice::Beep});
    EXPECT_EQ(events, (QStringList{"clock 0", "lcd 1", "shown 1"}));
    EXPECT_EQ(notifier.beeps, 1);
    model.publish();
    EXPECT_EQ(events.size(), 3) << "nothing new";
}

} // namespace
} // namespace rtu
