#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/foundation/DateFormatter.h"

namespace {

using fnd::Date;
using fnd::DateFormatter;

// Dates are local time: these tests choose the zone.
class DateFormatterTest : public ::testing::Test {
protected:
    void TearDown() override { useZone(saved_.empty() ? nullptr : saved_.c_str()); }

    void useZone(const char* zone)
    {
        if (zone != nullptr)
            ::setenv("TZ", zone, 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::string saved_ = std::getenv("TZ") != nullptr ? std::getenv("TZ") : "";
};

constexpr double evening = 1700000000.25;  // 2023-11-14 22:13:20.25 UTC
constexpr double morning = 1699949000;     // 2023-11-14 08:03:20 UTC
constexpr double midnight = 1699920000;    // 2023-11-14 00:00:00 UTC

TEST_F(DateFormatterTest, FormatsThePatternsInEnglish)
{
    useZone("UTC0");
    const struct {
        const char* pattern;
        double date;
        const char* expected;
    } cases[] = {
        {"HH:mm:ss", evening, "22:13:20"},
        {"MMM d, yyyy", evening, "Nov 14, 2023"},
        {"MMM d, yyyy-HH:mm a", evening, "Nov 14, 2023-22:13 PM"},
        {"yyyy MM dd-HH:mm a", evening, "2023 11 14-22:13 PM"},
        {"yyyy MM dd-HH:mm a", morning, "2023 11 14-08:03 AM"},
        {"EEE, d MMMM yy h:mm:ss.SSS a", evening, "Tue, 14 November 23 10:13:20.250 PM"},
        {"EEEE h:mm a", morning, "Tuesday 8:03 AM"},
        {"hh a", midnight, "12 AM"},
        {"d/M/y", morning, "14/11/2023"},
        {"'at' HH 'o''clock'", evening, "at 22 o'clock"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateFormatter(c.pattern).stringFromDate(Date{c.date}), c.expected) << c.pattern;
}

TEST_F(DateFormatterTest, UsesTheLocalTimeZoneWithDaylightSaving)
{
    useZone("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(DateFormatter("MMM d, yyyy-HH:mm a").stringFromDate(Date{evening}), "Nov 14, 2023-17:13 PM");
    EXPECT_EQ(DateFormatter("HH:mm").stringFromDate(Date{1689000000}), "10:40");  // July: EDT
    EXPECT_EQ(DateFormatter("MMM d, yyyy").stringFromDate(Date{midnight}), "Nov 13, 2023");
}

TEST_F(DateFormatterTest, ParsesWhatItFormats)
{
    useZone("EST5EDT,M3.2.0,M11.1.0");
    const struct {
        const char* pattern;
        double resolution;
    } cases[] = {
        {"MMM d, yyyy-HH:mm a", 60},        {"yyyy MM dd-HH:mm a", 60},
        {"EEE, d MMMM yyyy h:mm:ss a", 1}, {"yyyy-MM-dd HH:mm:ss.SSS", 0.001},
        {"MMM d, yyyy", 0},
    };
    for (const auto& c : cases) {
        for (const double when : {evening, morning, midnight, 1689000000.5}) {
            const DateFormatter formatter(c.pattern);
            const auto parsed = formatter.dateFromString(formatter.stringFromDate(Date{when}));
            ASSERT_TRUE(parsed) << c.pattern << " " << when;
            if (c.resolution > 0)
                EXPECT_NEAR(parsed->secondsSince1970, std::floor(when / c.resolution) * c.resolution, 1e-6)
                    << c.pattern;
            else
                EXPECT_EQ(formatter.stringFromDate(*parsed), formatter.stringFromDate(Date{when}));
        }
    }
}

TEST_F(DateFormatterTest, ParsingAcceptsCaseAndFullMonthNamesAndRejectsWhatIsNotADate)
{
    useZone("UTC0");
    const DateFormatter day("MMM d, yyyy");
    EXPECT_EQ(day.dateFromString("nov 14, 2023")->secondsSince1970, midnight);
    EXPECT_EQ(day.dateFromString("November 14, 2023")->secondsSince1970, midnight);
    EXPECT_EQ(DateFormatter("h:mm a").dateFromString("12:30 am")->secondsSince1970, 30 * 60);
    EXPECT_EQ(DateFormatter("h:mm a").dateFromString("12:30 PM")->secondsSince1970, 12.5 * 3600);
    for (const char* bad : {"", "Nov 14 2023", "Feb 30, 2023", "Nov 14, 2023 ", "Noc 14, 2023", "Nov 0, 2023",
                            "Nov 14, "})
        EXPECT_FALSE(day.dateFromString(bad)) << bad;
    EXPECT_FALSE(DateFormatter("HH:mm:ss").dateFromString("24:00:00"));
    EXPECT_FALSE(DateFormatter("HH:mm:ss").dateFromString("12:60:00"));
}

}  // namespace
