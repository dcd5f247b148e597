#include "report.h"

#include <gtest/gtest.h>

namespace {

TEST(Report, LineEndsWithTheResultAndCrLf) {
    EXPECT_EQ("2026-12-08 9:05:07 OK\r\n", core::ReportLine("2026-12-08 9:05:07", 1));
    EXPECT_EQ("2026-12-08 21:05:07 ERROR\r\n", core::ReportLine("2026-12-08 21:05:07", 0));
}

TEST(Report, OnlyAChangeOfResultRaisesAnAlarm) {
    EXPECT_EQ(core::Alarm::None, core::AlarmFor(1, 1));
    EXPECT_EQ(core::Alarm::None, core::AlarmFor(0, 0));
    EXPECT_EQ(core::Alarm::Failed, core::AlarmFor(1, 0));
    EXPECT_EQ(core::Alarm::Recovered, core::AlarmFor(0, 1));
}

}  // namespace
