#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/Calendar.h"

namespace {

// Runs the test in a time zone with daylight saving, and puts TZ back after.
class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* tz = std::getenv("TZ"); tz != nullptr)
            saved_ = tz;
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (saved_)
            ::setenv("TZ", saved_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> saved_;
};

TEST_F(CalendarTest, AddingDaysKeepsTheWallClockAcrossDaylightSaving)
{
    // 30 March 2024, 12:00 CET; the clocks go forward that night.
    const fnd::Date noon = fnd::Calendar::date({2024, 3, 30, 12, 0, 0});
    EXPECT_DOUBLE_EQ(noon.secondsSince1970, 1711796400);
    const fnd::Date next = fnd::Calendar::dateByAddingDays(noon, 1);
    EXPECT_DOUBLE_EQ(next.timeIntervalSince(noon), 23 * 3600) << "the spring day is 23 hours long";
    const auto c = fnd::Calendar::components(next);
    EXPECT_EQ(c.year, 2024);
    EXPECT_EQ(c.month, 3);
    EXPECT_EQ(c.day, 31);
    EXPECT_EQ(c.hour, 12);
    EXPECT_EQ(c.weekday, 1) << "a Sunday";

    // Back across the autumn change, and across a month and a year.
    const fnd::Date october = fnd::Calendar::date({2024, 10, 26, 23, 30, 0});
    EXPECT_DOUBLE_EQ(fnd::Calendar::dateByAddingDays(october, 1).timeIntervalSince(october), 25 * 3600);
    const auto back = fnd::Calendar::components(fnd::Calendar::dateByAddingDays(noon, -90));
    EXPECT_EQ(back.year, 2023);
    EXPECT_EQ(back.month, 12);
    EXPECT_EQ(back.day, 31);
    EXPECT_EQ(back.hour, 12);

    const fnd::Date fractional{noon.secondsSince1970 + 0.25};
    EXPECT_DOUBLE_EQ(fnd::Calendar::dateByAddingDays(fractional, 2).secondsSince1970 - 0.25,
                     fnd::Calendar::dateByAddingDays(noon, 2).secondsSince1970);
}

TEST_F(CalendarTest, DaysStartAtLocalMidnight)
{
    const fnd::Date evening = fnd::Calendar::date({2024, 3, 31, 22, 15, 0});
    const fnd::Date midnight = fnd::Calendar::startOfDay(evening);
    EXPECT_DOUBLE_EQ(evening.timeIntervalSince(midnight), 21 * 3600 + 15 * 60) << "an hour less that day";
    const auto c = fnd::Calendar::components(midnight);
    EXPECT_EQ(c.day, 31);
    EXPECT_EQ(c.hour, 0);
    EXPECT_EQ(fnd::Calendar::components(fnd::Calendar::date({2024, 1, 32, 0, 0, 0})).month, 2) << "rolls over";
}

}  // namespace
