#include "Base/Date.h"

#include <cmath>

bool DateUseLocalTime = true;

namespace {
constexpr double kSecondsPerDay = 86400.0;
// 31 December 3000 23:59:59 UTC: the last moment the calendar covers.
constexpr double kLastSecond = 32535215999.0;
}  // namespace

double Date_FromSeconds(int64_t seconds)
{
    return (static_cast<double>(seconds) + 0.5) / kSecondsPerDay + DATE_DAY_OF_1970;
}

bool Date_Decode(double date, bool local, HostCalendar* out)
{
    // Truncated toward zero: the first second of 1970 starts just before day 25569.
    const double seconds = std::trunc((date - DATE_DAY_OF_1970) * kSecondsPerDay);
    if (!(seconds >= 0.0 && seconds <= kLastSecond)) return false;
    return HostCalendar_Break(static_cast<int64_t>(seconds), local, out);
}

bool Date_CurrentTime(HostCalendar* out)
{
    return HostCalendar_Break(HostCalendar_Now(), DateUseLocalTime, out);
}

bool IsLeapYear(int32_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int32_t Date_DaysInMonth(int32_t year, int32_t month)
{
    static const int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int64_t SecondsIntoYear(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second)
{
    if (year < 0) return 0;
    int64_t days = 0;
    for (int32_t m = 1; m < month && m <= 12; ++m) days += Date_DaysInMonth(year, m);
    return second + 60 * (minute + 60 * (hour + 24 * (day + days - 1)));
}

bool IsValidDate(int32_t day, int32_t month, int32_t year)
{
    if (year < 1970) return false;
    return month >= 1 && month <= 12 && day >= 1 && day <= Date_DaysInMonth(year, month);
}
