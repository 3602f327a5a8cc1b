#include "app/ReadOutcome.h"

#include "protocol/UnitCommands.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

TEST(ReadOutcome, NamesWhatWentUnansweredAndSuggestsCausesWhenMostDid) {
    ReadReport report;
    report.answered = QStringList(36, QStringLiteral("GU00"));
    report.unanswered = {"GPP", "GU05", "GG43"};
    EXPECT_EQ(readOutcome("Read All", report).toStdString(),
              "Read All finished: 36 of 39 lines answered; no reply: poll period, tank 05, "
              "G4 module 3");

    report.answered = {"GV"};
    report.unanswered = QStringList(30, QStringLiteral("G420C8"));
    const QString most = readOutcome("Read All", report);
    EXPECT_TRUE(most.contains("no reply: 4-20mA module 8, 4-20mA module 8")) << most.toStdString();
    EXPECT_TRUE(most.contains(", 24 more (no unit on this port")) << most.toStdString();

    report.unanswered.clear();
    EXPECT_EQ(readOutcome("Read", report).toStdString(), "Read finished: 1 of 1 lines answered");
}

} // namespace
} // namespace rtu
