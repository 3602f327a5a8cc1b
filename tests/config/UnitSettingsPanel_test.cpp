#include "config/UnitSettingsPanel.h"

#include "config/RuntimeError.h"
#include "support/RecordingNotifier.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rtu {
namespace {

constexpr int TimeBox = 0;
constexpr int DateBox = 1;

class UnitSettingsPanelTest : public ::testing::Test {
protected:
    RecordingNotifier notifier;
    UnitSettingsPanel panel{notifier};
};

TEST(UnitSettingsPanel, ClockBoxesReplaceOutOfRangeTextsWithABeep) {
    // Box, typed, shown, beeps.
    const std::tuple<int, const char*, const char*, int> cases[] = {
        {TimeBox, "23:59:59", "23:59:59", 0},     {TimeBox, "00.00-00", "00.00-00", 0},
        {TimeBox, "25", "12:00:00", 1},           {TimeBox, "25:00:00", "12:00:00", 1},
        {TimeBox, "10:60:00", "12:00:00", 1},     {TimeBox, "10:00:60", "12:00:00", 1},
        {TimeBox, "-1:00:00", "12:00:00", 1},     {DateBox, "02-31-2099", "02-31-2099", 0},
        {DateBox, "00/00/0000", "00/00/0000", 0}, {DateBox, "13-01-2000", "01-01-2000", 1},
        {DateBox, "12-32-2000", "01-01-2000", 1}, {DateBox, "12-31-2100", "01-01-2000", 1},
    };
    for (const auto& [box, typed, shown, beeps] : cases) {
        SCOPED_TRACE(typed);
        RecordingNotifier notifier;
        UnitSettingsPanel panel(notifier);
        panel.setText2(box, QString::fromLatin1(typed));
        EXPECT_EQ(panel.text2(box).toStdString(), shown);
        EXPECT_EQ(notifier.beeps, beeps);
        EXPECT_TRUE(notifier.messages.empty());
    }
}

// The pieces are checked by position, so a partly typed time passes, and so does a date in
// the form its message shows.
TEST_F(UnitSettingsPanelTest, EveryStepOfTypingAValidTimePassesAndATooLongTextIsEmptied) {
    for (const auto& [box, text] : {std::pair{TimeBox, "17:08:23"}, {DateBox, "12/05/2000"}}) {
        for (qsizetype n = 0; n <= qsizetype(std::strlen(text)); ++n)
            panel.setText2(box, QString::fromLatin1(text, n));
        EXPECT_EQ(panel.text2(box), text);
    }
    EXPECT_EQ(notifier.beeps, 0);

    // A too long text is emptied, with a message.
    std::vector<QString> seen;
    QObject::connect(&panel, &UnitSettingsPanel::text2Changed,
                     [&](int index) { seen.push_back(panel.text2(index)); });
    panel.setText2(TimeBox, "17:08:231");
    panel.setText2(DateBox, "12/31/20001");
    EXPECT_EQ(seen, (std::vector<QString>{"17:08:231", "", "12/31/20001", ""}));
    EXPECT_EQ(
        notifier.messages,
        (std::vector<RecordingNotifier::Message>{
            {"Please use this format for Time 17:08:23 ", "Hi", MessageIcon::Information},
            {"Please use this format for Date 12/05/2000 ", "Hi", MessageIcon::Information}}));
    EXPECT_EQ(notifier.beeps, 0);
}

// The window mirrors the panel through its signals: each real change signals once, in order.
TEST_F(UnitSettingsPanelTest, ChangesSignalOnlyWhenAValueChangesAndOutOfRangeValuesAreRefused) {
    QStringList events;
    const auto record = [&events](const char* what) {
        return [&events, what](int i) { events << QStringLiteral("%1 %2").arg(what).arg(i); };
    };
    QObject::connect(&panel, &UnitSettingsPanel::text2Changed, record("text2"));
    QObject::connect(&panel, &UnitSettingsPanel::text1Changed, record("text1"));
    QObject::connect(&panel, &UnitSettingsPanel::vscrollChanged, record("vscroll"));
    QObject::connect(&panel, &UnitSettingsPanel::label8Changed, record("label8"));
    QObject::connect(&panel, &UnitSettingsPanel::check1Changed, record("check1"));
    panel.setText2(TimeBox, "12:00:00");
    panel.setText1(0, "Company");
    panel.setVScroll(5, 9);
    panel.setVScroll(5, 9);
    panel.setText2(TimeBox, "25:00:00"); // changed, then replaced
    const QString longText(25, u'x');    // loads and reads set the text as it comes
    panel.setText1(1, longText);
    panel.setCheck1(3, 1);
    panel.setAllChecks(1); // "Set All" goes in index order
    EXPECT_EQ(events,
              (QStringList{"label8 3", "vscroll 5", "text2 0", "text2 0", "text1 1", "check1 3",
                           "check1 0", "check1 1", "check1 2", "check1 4", "check1 5"}));
    EXPECT_EQ(panel.label8(3), u"09");
    EXPECT_EQ(panel.text1(1), longText);

    // Values outside the control ranges are refused. (Where they come in, from a file line or a
    // reply, ConfigurationFile and UnitCommands hold each bar to its range.)
    EXPECT_THROW(panel.setVScroll(UnitSettingsPanel::PollMinutesScroll, 60), RuntimeError);
    EXPECT_THROW(panel.setCheck1(0, 2), RuntimeError);
    EXPECT_EQ(panel.check1(0), 1) << "as Set All left it";
}

} // namespace
} // namespace rtu
