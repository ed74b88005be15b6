#pragma once
// The C library's calendar: seconds since 1 January 1970 UTC broken down into
// calendar fields (in the local zone, TZ, or in UTC) and back, the wall clock,
// and dates as text in the user's own locale. The text uses a private locale
// handle: the process-wide locale is never changed.
#include <cstddef>
#include <cstdint>

struct HostCalendar {
    int32_t second;   // 0..60
    int32_t minute;   // 0..59
    int32_t hour;     // 0..23
    int32_t day;      // day of the month, 1..31
    int32_t month;    // 0..11
    int32_t year;     // years since 1900
    int32_t weekday;  // 0 Sunday .. 6
    int32_t yearDay;  // 0..365
};

// Seconds since 1970 now.
int64_t HostCalendar_Now();
// False when the moment has no calendar fields in the C library's range.
bool HostCalendar_Break(int64_t seconds, bool local, HostCalendar* out);
// The moment of the fields (weekday and yearDay are ignored; fields out of
// their range are carried, as month 12 into the next year); daylight saving
// as the zone has it on that day. False when the moment is not representable.
bool HostCalendar_Make(const HostCalendar& fields, bool local, int64_t* out);
// strftime of the fields in the user's locale into out (size bytes, always
// terminated); the length written, 0 when the text does not fit.
size_t HostCalendar_Format(const HostCalendar& fields, const char* format, char* out, size_t size);
