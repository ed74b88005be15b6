// The date built-ins. A date is made from calendar fields in the chosen zone
// and read back in it; the increments work in UTC whatever the zone. Dates
// before 1970 cannot be made or read: making one is a fatal error, reading
// one gives each reader's neutral value.
#include <cmath>
#include <cstdint>

#include "Base/Date.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_ValueConvert.h"
#include "Function/Function_MiscRoutines.h"

namespace {
constexpr int32_t kSecondsPerDay = 86400;

void Real(ScriptValue* result, double value)
{
    ScriptValue_SetReal(result, value);
}

// A calendar field plus an amount, kept within what a field can hold.
int32_t FieldSum(int64_t field, int64_t amount)
{
    const int64_t sum = field + amount;
    return static_cast<int32_t>(sum < INT32_MIN ? INT32_MIN : sum > INT32_MAX ? INT32_MAX : sum);
}

// The date of fields in the chosen zone; -1 after the fatal error when the
// moment is before 1970 (in that zone) or beyond the calendar.
double Create(const HostCalendar& fields)
{
    int64_t seconds = 0;
    if (!HostCalendar_Make(fields, DateUseLocalTime, &seconds) || seconds < 0) {
        FatalRuntimeError("invalid date conversion - dates earlier than 1 Jan 1970 will be incorrect");
        return -1;
    }
    return Date_FromSeconds(seconds);
}

HostCalendar Fields(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second)
{
    return HostCalendar{second, minute, hour, day, FieldSum(month, -1), FieldSum(year, -1900), 0, 0};
}

bool Decode(ScriptValue* args, HostCalendar* out)
{
    return Date_Decode(Arg_Real(args, 0), DateUseLocalTime, out);
}

// A field of the date read in the chosen zone, failed when it cannot be read.
void GetField(ScriptValue* result, ScriptValue* args, int32_t (*read)(const HostCalendar&), int32_t failed)
{
    HostCalendar fields;
    Real(result, Decode(args, &fields) ? read(fields) : failed);
}

int32_t Year(const HostCalendar& f) { return f.year + 1900; }
int64_t SecondsIntoYearOf(const HostCalendar& f, int32_t dayOffset)
{
    return SecondsIntoYear(Year(f), f.month + 1, f.day + dayOffset, f.hour, f.minute, f.second);
}

// The date with one UTC field moved by the amount; the calendar carries the
// overflow (31 January plus a month is 3 March). -1 when the date cannot be read.
template <int32_t HostCalendar::*Field, int32_t Scale>
void Increment(ScriptValue* result, ScriptValue* args)
{
    const int32_t amount = Arg_Int32(args, 1);
    HostCalendar fields;
    int64_t seconds = 0;
    if (!Date_Decode(Arg_Real(args, 0), false, &fields)) return Real(result, -1);
    fields.*Field = FieldSum(fields.*Field, static_cast<int64_t>(amount) * Scale);
    Real(result, HostCalendar_Make(fields, false, &seconds) ? Date_FromSeconds(seconds) : -1);
}

void Span(ScriptValue* result, ScriptValue* args, double scale)
{
    Real(result, std::fabs(Arg_Real(args, 0) - Arg_Real(args, 1)) * scale);
}

double DayPart(double date) { return DoubleToInt32(date); }
double TimePart(double date) { return date - std::trunc(date); }

void Compare(ScriptValue* result, double a, double b)
{
    Real(result, a == b ? 0 : a > b ? 1 : -1);
}

void Format(ScriptValue* result, ScriptValue* args, const char* format)
{
    HostCalendar fields;
    char text[1024];
    if (!Decode(args, &fields)) {
        ScriptValue_SetString(result, "invalid time");
        return;
    }
    HostCalendar_Format(fields, format, text, sizeof text);
    ScriptValue_SetString(result, text);
}

bool ValidTime(int32_t hour, int32_t minute, int32_t second)
{
    return static_cast<uint32_t>(hour) <= 23 && static_cast<uint32_t>(minute) <= 59 &&
           static_cast<uint32_t>(second) <= 59;
}
}  // namespace

// date_current_datetime, date_current_date and date_current_time alike: now, whole.
QS_MISC_ROUTINE(F_DateCurrent) { Real(result, Date_FromSeconds(HostCalendar_Now())); }

// A year before 1900 counts as 1900.
QS_MISC_ROUTINE(F_DateCreateDateTime)
{
    const int32_t year = Arg_Int32(args, 0);
    Real(result, Create(Fields(year < 1900 ? 1900 : year, Arg_Int32(args, 1), Arg_Int32(args, 2), Arg_Int32(args, 3),
                               Arg_Int32(args, 4), Arg_Int32(args, 5))));
}

QS_MISC_ROUTINE(F_DateCreateDate)
{
    Real(result, Create(Fields(Arg_Int32(args, 0), Arg_Int32(args, 1), Arg_Int32(args, 2), 0, 0, 0)));
}

// A time of day is the fraction of a date: the given time on day 0, with the
// half second every made date carries, whatever the zone.
QS_MISC_ROUTINE(F_DateCreateTime)
{
    const double seconds = static_cast<double>(Arg_Int32(args, 0)) * 3600.0 +
                           static_cast<double>(Arg_Int32(args, 1)) * 60.0 + static_cast<double>(Arg_Int32(args, 2));
    Real(result, (seconds + 0.5) / kSecondsPerDay);
}

QS_MISC_ROUTINE(F_DateValidDateTime)
{
    const bool valid = IsValidDate(Arg_Int32(args, 2), Arg_Int32(args, 1), Arg_Int32(args, 0)) &&
                       ValidTime(Arg_Int32(args, 3), Arg_Int32(args, 4), Arg_Int32(args, 5));
    Real(result, valid ? 1 : 0);
}

QS_MISC_ROUTINE(F_DateValidDate)
{
    Real(result, IsValidDate(Arg_Int32(args, 2), Arg_Int32(args, 1), Arg_Int32(args, 0)) ? 1 : 0);
}

QS_MISC_ROUTINE(F_DateValidTime)
{
    Real(result, ValidTime(Arg_Int32(args, 0), Arg_Int32(args, 1), Arg_Int32(args, 2)) ? 1 : 0);
}

QS_MISC_ROUTINE(F_DateIncYear) { Increment<&HostCalendar::year, 1>(result, args); }
QS_MISC_ROUTINE(F_DateIncMonth) { Increment<&HostCalendar::month, 1>(result, args); }
QS_MISC_ROUTINE(F_DateIncWeek) { Increment<&HostCalendar::day, 7>(result, args); }
QS_MISC_ROUTINE(F_DateIncDay) { Increment<&HostCalendar::day, 1>(result, args); }
QS_MISC_ROUTINE(F_DateIncHour) { Increment<&HostCalendar::hour, 1>(result, args); }
QS_MISC_ROUTINE(F_DateIncMinute) { Increment<&HostCalendar::minute, 1>(result, args); }
QS_MISC_ROUTINE(F_DateIncSecond) { Increment<&HostCalendar::second, 1>(result, args); }

QS_MISC_ROUTINE(F_DateGetYear) { GetField(result, args, Year, -1); }
QS_MISC_ROUTINE(F_DateGetMonth) { GetField(result, args, [](const HostCalendar& f) { return f.month + 1; }, -1); }
QS_MISC_ROUTINE(F_DateGetWeek) { GetField(result, args, [](const HostCalendar& f) { return f.yearDay / 7; }, -1); }
QS_MISC_ROUTINE(F_DateGetDay) { GetField(result, args, [](const HostCalendar& f) { return f.day; }, -1); }
QS_MISC_ROUTINE(F_DateGetHour) { GetField(result, args, [](const HostCalendar& f) { return f.hour; }, -1); }
QS_MISC_ROUTINE(F_DateGetMinute) { GetField(result, args, [](const HostCalendar& f) { return f.minute; }, -1); }
QS_MISC_ROUTINE(F_DateGetSecond) { GetField(result, args, [](const HostCalendar& f) { return f.second; }, -1); }
QS_MISC_ROUTINE(F_DateGetWeekday) { GetField(result, args, [](const HostCalendar& f) { return f.weekday; }, -1); }

// 1 January is day 1 of the year; the hour, minute and second counts start at 0.
QS_MISC_ROUTINE(F_DateGetDayOfYear)
{
    GetField(result, args, [](const HostCalendar& f) { return static_cast<int32_t>(SecondsIntoYearOf(f, 1) / kSecondsPerDay); }, 0);
}
QS_MISC_ROUTINE(F_DateGetHourOfYear)
{
    GetField(result, args, [](const HostCalendar& f) { return static_cast<int32_t>(SecondsIntoYearOf(f, 0) / 3600); }, 0);
}
QS_MISC_ROUTINE(F_DateGetMinuteOfYear)
{
    GetField(result, args, [](const HostCalendar& f) { return static_cast<int32_t>(SecondsIntoYearOf(f, 0) / 60); }, 0);
}
QS_MISC_ROUTINE(F_DateGetSecondOfYear)
{
    GetField(result, args, [](const HostCalendar& f) { return static_cast<int32_t>(SecondsIntoYearOf(f, 0)); }, 0);
}

QS_MISC_ROUTINE(F_DateDaysInMonth)
{
    GetField(result, args, [](const HostCalendar& f) { return Date_DaysInMonth(Year(f), f.month + 1); }, 0);
}
QS_MISC_ROUTINE(F_DateDaysInYear)
{
    GetField(result, args, [](const HostCalendar& f) { return IsLeapYear(Year(f)) ? 366 : 365; }, 365);
}
QS_MISC_ROUTINE(F_DateLeapYear)
{
    GetField(result, args, [](const HostCalendar& f) { return IsLeapYear(Year(f)) ? 1 : 0; }, 0);
}

QS_MISC_ROUTINE(F_DateIsToday)
{
    HostCalendar date, now;
    const bool today = Decode(args, &date) && Date_CurrentTime(&now) && date.year == now.year &&
                       date.month == now.month && date.yearDay == now.yearDay;
    Real(result, today ? 1 : 0);
}

QS_MISC_ROUTINE(F_DateYearSpan) { Span(result, args, 0.0027378507871321013); }
QS_MISC_ROUTINE(F_DateMonthSpan) { Span(result, args, 0.03285420944558522); }
QS_MISC_ROUTINE(F_DateWeekSpan) { Span(result, args, 0.14285714285714285); }
QS_MISC_ROUTINE(F_DateDaySpan) { Span(result, args, 1); }
QS_MISC_ROUTINE(F_DateHourSpan) { Span(result, args, 24); }
QS_MISC_ROUTINE(F_DateMinuteSpan) { Span(result, args, 1440); }
QS_MISC_ROUTINE(F_DateSecondSpan) { Span(result, args, kSecondsPerDay); }

QS_MISC_ROUTINE(F_DateCompareDateTime) { Compare(result, Arg_Real(args, 0), Arg_Real(args, 1)); }
QS_MISC_ROUTINE(F_DateCompareDate) { Compare(result, DayPart(Arg_Real(args, 0)), DayPart(Arg_Real(args, 1))); }
QS_MISC_ROUTINE(F_DateCompareTime) { Compare(result, TimePart(Arg_Real(args, 0)), TimePart(Arg_Real(args, 1))); }
QS_MISC_ROUTINE(F_DateDateOf) { Real(result, DayPart(Arg_Real(args, 0))); }
QS_MISC_ROUTINE(F_DateTimeOf) { Real(result, TimePart(Arg_Real(args, 0))); }

QS_MISC_ROUTINE(F_DateDateTimeString) { Format(result, args, "%c"); }
QS_MISC_ROUTINE(F_DateDateString) { Format(result, args, "%x"); }
QS_MISC_ROUTINE(F_DateTimeString) { Format(result, args, "%X"); }

// 0 is the local zone; anything else is UTC.
QS_MISC_ROUTINE(F_DateSetTimezone)
{
    DateUseLocalTime = Arg_Int32(args, 0) == 0;
    Real(result, 0);
}

QS_MISC_ROUTINE(F_DateGetTimezone) { Real(result, DateUseLocalTime ? 0 : 1); }
