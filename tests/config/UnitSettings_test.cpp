#include "config/UnitSettings.h"

#include "config/RuntimeError.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// The pieces are checked by position, so a partly typed time passes ("17:08"), and so does a
// date in the form its message shows.
TEST(UnitSettings, ClockTextsOutOfRangeAreReplacedWithABeepAndTooLongOnesEmptied) {
    using enum ClockBox;
    using enum ClockNotice;
    // Box, typed, kept, notice.
    const std::tuple<ClockBox, const char*, const char*, ClockNotice> cases[] = {
        {Time, "23:59:59", "23:59:59", None},     {Time, "00.00-00", "00.00-00", None},
        {Time, "17:08", "17:08", None},           {Date, "12/05/", "12/05/", None},
        {Time, "25", "12:00:00", Beep},           {Time, "25:00:00", "12:00:00", Beep},
        {Time, "10:60:00", "12:00:00", Beep},     {Time, "10:00:60", "12:00:00", Beep},
        {Time, "-1:00:00", "12:00:00", Beep},     {Date, "02-31-2099", "02-31-2099", None},
        {Date, "00/00/0000", "00/00/0000", None}, {Date, "13-01-2000", "01-01-2000", Beep},
        {Date, "12-32-2000", "01-01-2000", Beep}, {Date, "12-31-2100", "01-01-2000", Beep},
    };
    for (const auto& [box, typed, kept, notice] : cases)
        EXPECT_EQ(checkClockText(box, typed), (ClockEntry{kept, notice})) << typed;
    for (const auto& [box, tooLong] : {std::pair{Time, "17:08:231"}, {Date, "12/31/20001"}})
        EXPECT_EQ(checkClockText(box, tooLong), (ClockEntry{QString(), FormatMessage}));
    EXPECT_EQ(clockFormatMessage(Date), "Please use this format for Date 12/05/2000 ");
}

TEST(UnitSettings, ACounterTakesOnlyValuesInItsRangeAndAChangeReformatsItsDisplay) {
    using enum UnitSettings::Counter;
    UnitSettings settings;
    settings.lcdSeconds.shown = "3"; // as a file line left it
    settings.setCounter(LcdSeconds, 3);
    EXPECT_EQ(settings.lcdSeconds.shown, "3") << "no change, no new caption";
    settings.setCounter(LcdSeconds, 9);
    EXPECT_EQ(settings.lcdSeconds, (CounterSetting{9, "09"}));
    EXPECT_THROW(settings.setCounter(PollMinutes, 60), RuntimeError);
    EXPECT_EQ(settings.pollMinutes, (CounterSetting{1, "01"})) << "a refused value changes nothing";
}

} // namespace
} // namespace rtu
