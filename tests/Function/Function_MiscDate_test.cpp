#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Code/ValueTestSupport.h"
#include "Function/MiscFunctionFixture.h"

namespace {
struct DateFunctions : MiscFunctions {
    // Dates made and read in UTC.
    void SetUp() override
    {
        MiscFunctions::SetUp();
        SetZone("UTC0");
        Num("date_set_timezone", {R(1)});
    }
    static double Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
    {
        return Num("date_create_datetime", {R(y), R(mo), R(d), R(h), R(mi), R(s)});
    }
    static double Get(const char* name, double date) { return Num(name, {R(date)}); }
};

constexpr double kSecond = 1.0 / 86400;

TEST_F(DateFunctions, MadeDatesReadBackTheirFields)
{
    EXPECT_DOUBLE_EQ(Make(2000, 1, 1), 36526.000005787035) << "the half second shows";
    EXPECT_DOUBLE_EQ(Num("date_create_date", {R(2000), R(1), R(1)}), 36526.000005787035);
    const struct {
        int y, mo, d, h, mi, s, weekday;
    } cases[] = {
        {1970, 1, 1, 0, 0, 0, 4},    {2000, 1, 1, 0, 0, 0, 6},      {2000, 2, 29, 12, 34, 56, 2},
        {2024, 12, 31, 23, 59, 59, 2}, {2100, 2, 28, 6, 7, 8, 0},   {3000, 12, 31, 23, 59, 59, 3},
    };
    for (const auto& c : cases) {
        const double date = Make(c.y, c.mo, c.d, c.h, c.mi, c.s);
        const std::string at = std::to_string(c.y) + "-" + std::to_string(c.mo) + "-" + std::to_string(c.d);
        EXPECT_EQ(Get("date_get_year", date), c.y) << at;
        EXPECT_EQ(Get("date_get_month", date), c.mo) << at;
        EXPECT_EQ(Get("date_get_day", date), c.d) << at;
        EXPECT_EQ(Get("date_get_hour", date), c.h) << at;
        EXPECT_EQ(Get("date_get_minute", date), c.mi) << at;
        EXPECT_EQ(Get("date_get_second", date), c.s) << at;
        EXPECT_EQ(Get("date_get_weekday", date), c.weekday) << at;
    }
    // The calendar carries fields out of their range.
    EXPECT_DOUBLE_EQ(Num("date_create_date", {R(2023), R(13), R(1)}), Num("date_create_date", {R(2024), R(1), R(1)}));
    EXPECT_DOUBLE_EQ(Num("date_create_date", {R(2023), R(3), R(0)}), Num("date_create_date", {R(2023), R(2), R(28)}));
    EXPECT_EQ(TakeError(), "");
}

TEST_F(DateFunctions, CountsWithinTheYearAndMonthLengths)
{
    const struct {
        const char* name;
        double date;
        double expected;
    } cases[] = {
        {"date_get_week", Make(2023, 1, 1), 0},
        {"date_get_week", Make(2023, 1, 8), 1},
        {"date_get_day_of_year", Make(2023, 1, 1), 1},
        {"date_get_day_of_year", Make(2024, 12, 31), 366},
        {"date_get_hour_of_year", Make(2023, 1, 1, 5), 5},
        {"date_get_minute_of_year", Make(2023, 1, 1, 1, 2), 62},
        {"date_get_second_of_year", Make(2023, 1, 2, 0, 0, 10), 86410},
        {"date_get_second_of_year", Make(2024, 3, 1), 60 * 86400},
        {"date_days_in_month", Make(2000, 2, 10), 29},
        {"date_days_in_month", Make(2024, 2, 10), 29},
        {"date_days_in_month", Make(2100, 2, 10), 28},
        {"date_days_in_month", Make(2023, 4, 10), 30},
        {"date_days_in_year", Make(2024, 6, 1), 366},
        {"date_days_in_year", Make(2100, 6, 1), 365},
        {"date_leap_year", Make(2000, 6, 1), 1},
        {"date_leap_year", Make(2100, 6, 1), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Get(c.name, c.date), c.expected) << c.name << " " << c.date;
}

TEST_F(DateFunctions, ValidationOfFields)
{
    const struct {
        const char* name;
        std::vector<double> args;
        double expected;
    } cases[] = {
        {"date_valid_date", {1969, 12, 31}, 0}, {"date_valid_date", {2023, 2, 29}, 0},
        {"date_valid_date", {2024, 2, 29}, 1},  {"date_valid_date", {2024, 4, 31}, 0},
        {"date_valid_date", {2024, 0, 1}, 0},   {"date_valid_date", {2024, 13, 1}, 0},
        {"date_valid_time", {-1, 0, 0}, 0},     {"date_valid_time", {23, 59, 59}, 1},
        {"date_valid_time", {24, 0, 0}, 0},     {"date_valid_time", {0, 60, 0}, 0},
        {"date_valid_datetime", {2024, 2, 29, 23, 59, 59}, 1},
        {"date_valid_datetime", {2024, 2, 29, 23, 59, 60}, 0},
        {"date_valid_datetime", {2023, 2, 29, 0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        std::vector<ScriptValue> args;
        for (double a : c.args) args.push_back(R(a));
        EXPECT_EQ(Num(c.name, args), c.expected) << c.name << " " << c.args[0] << " " << c.args[1];
    }
}

TEST_F(DateFunctions, IncrementsCarryAcrossMonthEndsAndLeapDays)
{
    const struct {
        const char* name;
        double from;
        int amount;
        double to;
    } cases[] = {
        {"date_inc_month", Make(2023, 1, 31), 1, Make(2023, 3, 3)},
        {"date_inc_month", Make(2024, 1, 31), 1, Make(2024, 3, 2)},
        {"date_inc_month", Make(2024, 3, 15), -14, Make(2023, 1, 15)},
        {"date_inc_year", Make(2024, 2, 29), 1, Make(2025, 3, 1)},
        {"date_inc_year", Make(2024, 2, 29), 4, Make(2028, 2, 29)},
        {"date_inc_day", Make(2024, 2, 28), 1, Make(2024, 2, 29)},
        {"date_inc_day", Make(2023, 2, 28), 1, Make(2023, 3, 1)},
        {"date_inc_week", Make(2023, 12, 28), 1, Make(2024, 1, 4)},
        {"date_inc_hour", Make(2024, 1, 1), -1, Make(2023, 12, 31, 23)},
        {"date_inc_minute", Make(2024, 1, 1, 23, 59), 1, Make(2024, 1, 2)},
        {"date_inc_second", Make(2024, 12, 31, 23, 59, 59), 1, Make(2025, 1, 1)},
        {"date_inc_day", 25000, 1, -1},  // before 1970: cannot be read
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Num(c.name, {R(c.from), R(c.amount)}), c.to) << c.name << " " << c.from << " " << c.amount;
}

TEST_F(DateFunctions, SpansAndComparisons)
{
    const double a = Make(2024, 5, 1, 6);
    const struct {
        const char* name;
        double other;
        double expected;
    } spans[] = {
        {"date_year_span", a + 365.25, 1}, {"date_month_span", a - 30.4375, 1}, {"date_week_span", a + 14, 2},
        {"date_day_span", a - 1.5, 1.5},   {"date_hour_span", a + 0.5, 12},    {"date_minute_span", a + 1, 1440},
        {"date_second_span", a - 1, 86400},
    };
    for (const auto& s : spans) EXPECT_NEAR(Num(s.name, {R(a), R(s.other)}), s.expected, 1e-9) << s.name;

    EXPECT_EQ(Num("date_compare_date", {R(45000.9), R(45000.1)}), 0);
    EXPECT_EQ(Num("date_compare_time", {R(45000.9), R(45000.1)}), 1);
    EXPECT_EQ(Num("date_compare_time", {R(45000.1), R(45001.9)}), -1);
    EXPECT_EQ(Num("date_compare_datetime", {R(45000.1), R(45000.1)}), 0);
    EXPECT_EQ(Num("date_compare_datetime", {R(45000.1), R(45000.2)}), -1);
    EXPECT_EQ(Num("date_date_of", {R(45000.75)}), 45000);
    EXPECT_DOUBLE_EQ(Num("date_time_of", {R(45000.75)}), 0.75);
}

TEST_F(DateFunctions, TheCurrentDateIsOneValueAndToday)
{
    const double now = Num("date_current_datetime");
    EXPECT_NEAR(Num("date_current_date"), now, 2 * kSecond);
    EXPECT_NEAR(Num("date_current_time"), now, 2 * kSecond);
    EXPECT_GT(now, Make(2024, 1, 1));
    EXPECT_EQ(Get("date_is_today", now), 1);
    EXPECT_EQ(Get("date_is_today", now - 1), 0);
    EXPECT_EQ(Get("date_is_today", now + 365), 0);
}

// Within a few seconds of the start of 1970 a date reads as that moment, not
// as some other year.
TEST_F(DateFunctions, DatesNextToTheStartOf1970ReadAs1970)
{
    for (double date : {25569.0, 25569.00001, 25568.99999, 25569.0000999}) {
        EXPECT_EQ(Get("date_get_year", date), 1970) << date;
        EXPECT_EQ(Get("date_get_month", date), 1) << date;
        EXPECT_EQ(Get("date_get_day", date), 1) << date;
        EXPECT_EQ(Get("date_get_hour", date), 0) << date;
    }
    EXPECT_EQ(Get("date_get_second", 25569.0000999), 8);
}

TEST_F(DateFunctions, DatesBefore1970CannotBeMadeOrRead)
{
    EXPECT_FATAL_ERROR(Make(1969, 12, 31, 23, 59, 59), "invalid date conversion - dates earlier than 1 Jan 1970 will be incorrect");
    EXPECT_FATAL_ERROR(Make(1850, 6, 1), "invalid date conversion - dates earlier than 1 Jan 1970 will be incorrect");
    EXPECT_FATAL_ERROR(Num("date_create_date", {R(1900), R(1), R(1)}), "dates earlier than 1 Jan 1970");
    ResetErrors();
    const double date1950 = 18264;  // 1 January 1950
    EXPECT_EQ(Get("date_get_year", date1950), -1);
    EXPECT_EQ(Get("date_get_weekday", date1950), -1);
    EXPECT_EQ(Get("date_get_day_of_year", date1950), 0);
    EXPECT_EQ(Get("date_days_in_year", date1950), 365);
    EXPECT_EQ(Get("date_is_today", date1950), 0);
    EXPECT_EQ(Str("date_date_string", {R(date1950)}), "invalid time");
    EXPECT_EQ(Get("date_get_year", Make(3000, 12, 31, 23, 59, 59) + 1), -1) << "beyond the year 3000";
    EXPECT_EQ(TakeError(), "");
}

// A time of day is the day fraction that the same time of any date has.
TEST_F(DateFunctions, ATimeOfDayIsTheFractionOfADate)
{
    const struct {
        int h, mi, s;
    } cases[] = {{0, 0, 0}, {12, 0, 0}, {23, 59, 59}, {6, 30, 15}};
    for (const auto& c : cases) {
        const double time = Num("date_create_time", {R(c.h), R(c.mi), R(c.s)});
        EXPECT_DOUBLE_EQ(time, (c.h * 3600 + c.mi * 60 + c.s + 0.5) / 86400) << c.h;
        const double date = Make(2021, 7, 9, c.h, c.mi, c.s);
        EXPECT_NEAR(Num("date_time_of", {R(date)}), time, 1e-9) << c.h;
    }
    EXPECT_EQ(TakeError(), "");
}

TEST_F(DateFunctions, TextOfADate)
{
    const double date = Make(2000, 1, 1, 13, 14, 15);
    EXPECT_NE(Str("date_datetime_string", {R(date)}).find("2000"), std::string::npos);
    EXPECT_NE(Str("date_date_string", {R(date)}), "invalid time");
    EXPECT_NE(Str("date_time_string", {R(date)}), "invalid time");
}

// Dates are made and read in the local zone until the game asks for UTC;
// the increments always work in UTC.
TEST_F(MiscFunctions, TheTimezoneSwitchChoosesLocalTimeOrUtc)
{
    SetZone("IST-5:30");
    EXPECT_EQ(Num("date_get_timezone"), 0);
    const double local = Num("date_create_datetime", {R(2000), R(1), R(1), R(0), R(0), R(0)});
    EXPECT_DOUBLE_EQ(local, 36526.000005787035 - 5.5 / 24);
    EXPECT_EQ(Num("date_get_hour", {R(local)}), 0);
    EXPECT_EQ(Num("date_get_day", {R(local)}), 1);
    // The same moment read in UTC.
    EXPECT_EQ(Num("date_set_timezone", {R(1)}), 0);
    EXPECT_EQ(Num("date_get_timezone"), 1);
    EXPECT_EQ(Num("date_get_hour", {R(local)}), 18);
    EXPECT_EQ(Num("date_get_minute", {R(local)}), 30);
    EXPECT_EQ(Num("date_get_year", {R(local)}), 1999);
    Num("date_set_timezone", {R(0)});
    EXPECT_EQ(Num("date_get_timezone"), 0);
    // 1 January 1970 01:00 here is still 1969 in UTC.
    EXPECT_FATAL_ERROR(Num("date_create_datetime", {R(1970), R(1), R(1), R(1), R(0), R(0)}),
                       "dates earlier than 1 Jan 1970");
    ResetErrors();

    // Summer time comes from the zone's rules.
    SetZone("EST5EDT,M3.2.0,M11.1.0");
    const double summer = Num("date_create_datetime", {R(2024), R(7), R(1), R(12), R(0), R(0)});
    const double winter = Num("date_create_datetime", {R(2024), R(1), R(1), R(12), R(0), R(0)});
    EXPECT_EQ(Num("date_get_hour", {R(summer)}), 12);
    EXPECT_EQ(Num("date_get_hour", {R(winter)}), 12);
    EXPECT_NEAR(summer - std::floor(summer), 16.0 / 24, 1e-4) << "12:00 EDT is 16:00 UTC";
    EXPECT_NEAR(winter - std::floor(winter), 17.0 / 24, 1e-4) << "12:00 EST is 17:00 UTC";
    // A day added in UTC across the change keeps the UTC time: 17:00 UTC is 13:00 in summer.
    const double moved = Num("date_inc_month", {R(winter), R(6)});
    EXPECT_EQ(Num("date_get_hour", {R(moved)}), 13);
    EXPECT_EQ(TakeError(), "");
}
}  // namespace
