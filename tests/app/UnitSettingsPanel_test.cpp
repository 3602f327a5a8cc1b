#include "app/UnitSettingsPanel.h"

#include "config/RuntimeError.h"
#include "support/RecordingNotifier.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace rtu {
namespace {

const RecordingNotifier::Message TimeFormatMessage{
    QStringLiteral("Please use this format for Time 17:08:23 "), QStringLiteral("Hi"),
    MessageIcon::Information};
const RecordingNotifier::Message DateFormatMessage{
    QStringLiteral("Please use this format for Date 12-05-2000 "), QStringLiteral("Hi"),
    MessageIcon::Information};

class UnitSettingsPanelTest : public ::testing::Test {
protected:
    // Sets the text as typing does: one more character per change.
    void typeTimeKeyByKey(const QString& text) {
        for (qsizetype n = 1; n <= text.size(); ++n)
            panel.setText2(0, text.left(n));
    }

    RecordingNotifier notifier;
    UnitSettingsPanel panel{notifier};
};

TEST_F(UnitSettingsPanelTest, StartsWithTheDesignValues) {
    EXPECT_EQ(panel.text2(0), u"12:00:00");
    EXPECT_EQ(panel.text2(1), u"12/31/2000");
    EXPECT_EQ(panel.text1(0), u"Company");
    EXPECT_EQ(panel.text1(1), u"Lease Name");
    const int values[] = {0, 1, 0, 3, 5};
    const char16_t* captions[] = {u"00", u"01", u"00", u"03", u"05"};
    for (int n = UnitSettingsPanel::FirstScroll; n <= UnitSettingsPanel::LastScroll; ++n) {
        EXPECT_EQ(panel.vscroll(n), values[n - 2]) << n;
        EXPECT_EQ(panel.label8(n - 2), captions[n - 2]) << n;
    }
    for (int i = 0; i < UnitSettingsPanel::CheckCount; ++i)
        EXPECT_EQ(panel.check1(i), 0);
    EXPECT_TRUE(panel.clockAuto());
    EXPECT_EQ(panel.label2(2), u"");
}

TEST_F(UnitSettingsPanelTest, TimeBoxRejectsANinthCharacterWithAMessage) {
    std::vector<QString> seen;
    QObject::connect(&panel, &UnitSettingsPanel::text2Changed,
                     [&](int index) { seen.push_back(panel.text2(index)); });
    panel.setText2(0, QStringLiteral("17:08:231"));
    EXPECT_EQ(panel.text2(0), u"");
    EXPECT_EQ(notifier.messages, std::vector{TimeFormatMessage});
    EXPECT_EQ(notifier.beeps, 0);
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("17:08:231"), QString()}));
}

TEST_F(UnitSettingsPanelTest, TimeBoxReplacesOutOfRangeTimesWithABeep) {
    panel.setText2(0, QStringLiteral("25:00:00"));
    EXPECT_EQ(panel.text2(0), u"12:00:00");
    EXPECT_EQ(notifier.beeps, 1);

    panel.setText2(0, QStringLiteral("10:60:00"));
    panel.setText2(0, QStringLiteral("10:00:60"));
    panel.setText2(0, QStringLiteral("-1:00:00"));
    EXPECT_EQ(panel.text2(0), u"12:00:00");
    EXPECT_EQ(notifier.beeps, 4);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(UnitSettingsPanelTest, TimeBoxTypedKeyByKeyIsReplacedAtTheSecondDigit) {
    panel.setText2(0, QStringLiteral("2"));
    EXPECT_EQ(panel.text2(0), u"2");
    EXPECT_EQ(notifier.beeps, 0);
    panel.setText2(0, QStringLiteral("25"));
    EXPECT_EQ(panel.text2(0), u"12:00:00");
    EXPECT_EQ(notifier.beeps, 1);
}

TEST_F(UnitSettingsPanelTest, TimeBoxAcceptsEveryStepOfTypingAValidTime) {
    panel.setText2(0, QString());
    typeTimeKeyByKey(QStringLiteral("17:08:23"));
    EXPECT_EQ(panel.text2(0), u"17:08:23");
    panel.setText2(0, QStringLiteral("23:59:59"));
    EXPECT_EQ(panel.text2(0), u"23:59:59");
    panel.setText2(0, QStringLiteral("00.00-00")); // separators are not checked
    EXPECT_EQ(panel.text2(0), u"00.00-00");
    EXPECT_EQ(notifier.beeps, 0);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(UnitSettingsPanelTest, DateBoxChecksMonthDayAndYear) {
    panel.setText2(1, QStringLiteral("02-31-2099"));
    EXPECT_EQ(panel.text2(1), u"02-31-2099");
    panel.setText2(1, QStringLiteral("00/00/0000"));
    EXPECT_EQ(panel.text2(1), u"00/00/0000");
    EXPECT_EQ(notifier.beeps, 0);

    panel.setText2(1, QStringLiteral("13-01-2000"));
    EXPECT_EQ(panel.text2(1), u"01-01-2000");
    EXPECT_EQ(notifier.beeps, 1);
    panel.setText2(1, QStringLiteral("12-32-2000"));
    panel.setText2(1, QStringLiteral("12-31-2100"));
    EXPECT_EQ(panel.text2(1), u"01-01-2000");
    EXPECT_EQ(notifier.beeps, 3);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(UnitSettingsPanelTest, DateBoxRejectsAnEleventhCharacterWithAMessage) {
    panel.setText2(1, QStringLiteral("12/31/20001"));
    EXPECT_EQ(panel.text2(1), u"");
    EXPECT_EQ(notifier.messages, std::vector{DateFormatMessage});
    EXPECT_EQ(panel.text2(0), u"12:00:00");
}

TEST_F(UnitSettingsPanelTest, ChangeSignalsFireOnlyOnRealChanges) {
    int text2Changes = 0;
    int text1Changes = 0;
    QObject::connect(&panel, &UnitSettingsPanel::text2Changed, [&] { ++text2Changes; });
    QObject::connect(&panel, &UnitSettingsPanel::text1Changed, [&] { ++text1Changes; });
    panel.setText2(0, QStringLiteral("12:00:00"));
    panel.setText1(0, QStringLiteral("Company"));
    EXPECT_EQ(text2Changes, 0);
    EXPECT_EQ(text1Changes, 0);
    panel.setText2(0, QStringLiteral("25:00:00")); // changed, then replaced
    EXPECT_EQ(text2Changes, 2);
    const QString longText(25, u'x'); // loads and reads set the text directly
    panel.setText1(1, longText);
    EXPECT_EQ(panel.text1(1), longText);
    EXPECT_EQ(text1Changes, 1);
}

TEST_F(UnitSettingsPanelTest, ScrollChangeShowsTheValueInItsDisplay) {
    std::vector<int> scrolls;
    std::vector<int> labels;
    QObject::connect(&panel, &UnitSettingsPanel::vscrollChanged,
                     [&](int n) { scrolls.push_back(n); });
    QObject::connect(&panel, &UnitSettingsPanel::label8Changed,
                     [&](int i) { labels.push_back(i); });
    panel.setVScroll(5, 9);
    EXPECT_EQ(panel.vscroll(5), 9);
    EXPECT_EQ(panel.label8(3), u"09");
    panel.setVScroll(6, 99);
    EXPECT_EQ(panel.label8(4), u"99");
    panel.setVScroll(6, 99); // the same value: no reaction
    EXPECT_EQ(scrolls, (std::vector{5, 6}));
    EXPECT_EQ(labels, (std::vector{3, 4}));
}

TEST_F(UnitSettingsPanelTest, ScrollRefusesValuesOutsideItsRange) {
    const int maxima[] = {9, 59, 59, 99, 99};
    for (int n = UnitSettingsPanel::FirstScroll; n <= UnitSettingsPanel::LastScroll; ++n) {
        EXPECT_EQ(UnitSettingsPanel::vscrollMin(n), 0);
        EXPECT_EQ(UnitSettingsPanel::vscrollMax(n), maxima[n - 2]);
        const int before = panel.vscroll(n);
        EXPECT_THROW(panel.setVScroll(n, maxima[n - 2] + 1), RuntimeError) << n;
        EXPECT_THROW(panel.setVScroll(n, -1), RuntimeError) << n;
        EXPECT_EQ(panel.vscroll(n), before);
    }
    panel.setVScroll(2, 9);
    EXPECT_EQ(panel.label8(0), u"09");
}

TEST_F(UnitSettingsPanelTest, CaptionsMayHoldAnyText) {
    int changes = 0;
    QObject::connect(&panel, &UnitSettingsPanel::label8Changed, [&] { ++changes; });
    panel.setLabel8(1, QStringLiteral("??"));
    panel.setLabel8(1, QStringLiteral("??"));
    EXPECT_EQ(panel.label8(1), u"??");
    EXPECT_EQ(panel.vscroll(3), 1);
    EXPECT_EQ(changes, 1);
    panel.setLabel2(2, QStringLiteral("V1.06\r\n"));
    EXPECT_EQ(panel.label2(2), u"V1.06\r\n");
}

TEST_F(UnitSettingsPanelTest, SetAllAndClearAllWorkInIndexOrder) {
    std::vector<int> order;
    QObject::connect(&panel, &UnitSettingsPanel::check1Changed, [&](int i) { order.push_back(i); });
    panel.setAllChecks(1);
    for (int i = 0; i < UnitSettingsPanel::CheckCount; ++i)
        EXPECT_EQ(panel.check1(i), 1);
    panel.setCheck1(3, 0);
    panel.setAllChecks(0);
    for (int i = 0; i < UnitSettingsPanel::CheckCount; ++i)
        EXPECT_EQ(panel.check1(i), 0);
    EXPECT_EQ(order, (std::vector{0, 1, 2, 3, 4, 5, 3, 0, 1, 2, 4, 5}));
    EXPECT_THROW(panel.setCheck1(0, 2), RuntimeError);
}

TEST_F(UnitSettingsPanelTest, IndexesOutsideTheControlArraysThrow) {
    EXPECT_THROW(panel.setText2(-1, QString()), std::out_of_range);
    EXPECT_THROW(panel.text1(2), std::out_of_range);
    EXPECT_THROW(panel.setVScroll(7, 0), std::out_of_range);
    EXPECT_THROW(panel.label8(5), std::out_of_range);
    EXPECT_THROW(panel.label2(0), std::out_of_range);
    EXPECT_THROW(panel.check1(6), std::out_of_range);
}

} // namespace
} // namespace rtu
