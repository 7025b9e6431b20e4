// The day count: known dates, and the local date of a moment.
#include "platform/DayCount.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(DayCount, CountsDaysFromThe30thOfDecember1899) {
    struct Case {
        int y, m, d;
        std::int64_t days;
    };
    const Case cases[] = {
        {1899, 12, 30, 0},    {1899, 12, 29, -1},    {1900, 1, 1, 2},
        {1900, 3, 1, 61},     {1970, 1, 1, 25569},   {2000, 1, 1, 36526},
        {2000, 2, 29, 36585}, {2026, 12, 10, 46366}, {2100, 3, 1, 73110},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::DayCountOf(c.y, c.m, c.d), c.days) << c.y << "-" << c.m << "-" << c.d;
}

TEST(DayCount, UsesTheLocalDateOfAMoment) {
    const char* old = std::getenv("TZ");
    std::string saved = old ? old : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(platform::LocalDayCount(0), 25569);
    EXPECT_EQ(platform::LocalDayCount(86399), 25569);
    EXPECT_EQ(platform::LocalDayCount(86400), 25570);
    ::setenv("TZ", "EST5", 1);
    ::tzset();
    EXPECT_EQ(platform::LocalDayCount(0), 25568); // still 31 December 1969 there
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(DayCount, TheSystemClockAnswersTodayAfterTheYear2020) {
    std::int64_t today = platform::SystemDayClock()();
    EXPECT_GT(today, platform::DayCountOf(2020, 1, 1));
    EXPECT_EQ(today, platform::LocalDayCount(std::time(nullptr)));
}
