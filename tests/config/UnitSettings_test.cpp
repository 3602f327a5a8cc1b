#include "config/UnitSettings.h"

#include "config/RuntimeError.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rtu {
namespace {

TEST(UnitSettings, ClockTextsOutOfRangeAreReplacedWithABeepAndTooLongOnesEmptied) {
    using enum ClockBox;
    using enum ClockNotice;
    // Box, typed, kept, notice.
    const std::tuple<ClockBox, const char*, const char*, ClockNotice> cases[] = {
        {Time, "23:59:59", "23:59:59", None},     {Time, "00.00-00", "00.00-00", None},
        {Time, "25", "12:00:00", Beep},           {Time, "25:00:00", "12:00:00", Beep},
        {Time, "10:60:00", "12:00:00", Beep},     {Time, "10:00:60", "12:00:00", Beep},
        {Time, "-1:00:00", "12:00:00", Beep},     {Date, "02-31-2099", "02-31-2099", None},
        {Date, "00/00/0000", "00/00/0000", None}, {Date, "13-01-2000", "01-01-2000", Beep},
        {Date, "12-32-2000", "01-01-2000", Beep}, {Date, "12-31-2100", "01-01-2000", Beep},
        {Time, "17:08:231", "", FormatMessage},   {Date, "12/31/20001", "", FormatMessage},
    };
    for (const auto& [box, typed, kept, notice] : cases) {
        const ClockEntry entry = checkClockText(box, QString::fromLatin1(typed));
        EXPECT_EQ(entry.text.toStdString(), kept) << typed;
        EXPECT_EQ(entry.notice, notice) << typed;
    }
    EXPECT_EQ(clockFormatMessage(Date), "Please use this format for Date 12/05/2000 ");
}

// The pieces are checked by position, so a partly typed time passes, and so does a date in
// the form its message shows.
TEST(UnitSettings, EveryStepOfTypingAValidClockTextPasses) {
    for (const auto& [box, text] :
         {std::pair{ClockBox::Time, "17:08:23"}, {ClockBox::Date, "12/05/2000"}}) {
        for (qsizetype n = 0; n <= qsizetype(std::strlen(text)); ++n)
            EXPECT_EQ(checkClockText(box, QString::fromLatin1(text, n)).notice, ClockNotice::None);
    }
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
    EXPECT_THROW(settings.setCounter(PollHours, -1), RuntimeError);
    UnitSettings expected;
    expected.lcdSeconds = {9, "09"};
    EXPECT_EQ(settings, expected) << "a refused value changes nothing";
}

} // namespace
} // namespace rtu
