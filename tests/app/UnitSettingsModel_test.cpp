#include "app/UnitSettingsModel.h"

#include "support/RecordingNotifier.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// The window mirrors the model through its signals: each real change signals once, whether
// the operator made it or a read or a load stored it in place and published it.
TEST(UnitSettingsModel, EachRealChangeSignalsOnceAndTheClockBoxesTellTheOperator) {
    RecordingNotifier notifier;
    UnitSettingsModel model(notifier);
    QStringList events;
    const auto record = [&events](const char* what) {
        return [&events, what](auto index) { events << what + QString::number(int(index)); };
    };
    QObject::connect(&model, &UnitSettingsModel::clockTextChanged, record("clock"));
    QObject::connect(&model, &UnitSettingsModel::lcdLineChanged, record("lcd"));
    QObject::connect(&model, &UnitSettingsModel::counterChanged, record("counter"));
    QObject::connect(&model, &UnitSettingsModel::counterShownChanged, record("shown"));
    QObject::connect(&model, &UnitSettingsModel::rowTickedChanged, record("row"));
    QObject::connect(&model, &UnitSettingsModel::clockModeChanged, [&events] { events << "mode"; });
    model.setClockText(ClockBox::Time, "12:00:00");
    model.setLcdLine(0, "Company");
    model.setCounter(UnitSettings::Counter::LcdSeconds, 9);
    model.setCounter(UnitSettings::Counter::LcdSeconds, 9);
    model.setClockText(ClockBox::Time, "25:00:00");    // put back, with a beep
    model.setClockText(ClockBox::Date, "12/31/20001"); // emptied, with the format
    model.setRowTicked(UnitRow::LcdTiming, true);
    model.tickAllRows(true); // "Set All" goes in row order
    model.setClockFromPc(false);
    model.storedValues().lcdLines[1] = "WEST";
    model.storedValues().pollMinutes.shown = "??";
    model.replyStored({ClockNotice::Beep}); // a clock reply out of range
    model.publish();
    EXPECT_EQ(events, QString("shown3 counter3 clock0 clock1 row3 row0 row1 row2 row4 row5 mode "
                              "lcd1 shown1")
                          .split(' '));
    EXPECT_EQ(model.values().time + '|' + model.values().date, "12:00:00|");
    EXPECT_EQ(notifier.beeps, 2);
    EXPECT_EQ(notifier.messages, (std::vector<RecordingNotifier::Message>{
                                     {"Please use this format for Date 12/05/2000 ", "Hi",
                                      MessageIcon::Information}}));
}

} // namespace
} // namespace rtu
