#include "Host/Host_Calendar.h"

#include <locale.h>
#include <time.h>

#include <cerrno>

namespace {
void ToTm(const HostCalendar& in, struct tm* out)
{
    *out = {};
    out->tm_sec = in.second;
    out->tm_min = in.minute;
    out->tm_hour = in.hour;
    out->tm_mday = in.day;
    out->tm_mon = in.month;
    out->tm_year = in.year;
    out->tm_wday = in.weekday;
    out->tm_yday = in.yearDay;
    out->tm_isdst = -1;
}

// Dates are shown as the user's locale writes them (LC_TIME of the environment).
locale_t UserTimeLocale()
{
    static locale_t locale = [] {
        locale_t opened = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
        if (!opened) opened = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        return opened;
    }();
    return locale;
}
}  // namespace

int64_t HostCalendar_Now()
{
    return static_cast<int64_t>(time(nullptr));
}

bool HostCalendar_Break(int64_t seconds, bool local, HostCalendar* out)
{
    const time_t t = static_cast<time_t>(seconds);
    struct tm fields {};
    if (!(local ? localtime_r(&t, &fields) : gmtime_r(&t, &fields))) return false;
    *out = HostCalendar{fields.tm_sec, fields.tm_min,  fields.tm_hour, fields.tm_mday,
                        fields.tm_mon, fields.tm_year, fields.tm_wday, fields.tm_yday};
    return true;
}

bool HostCalendar_Make(const HostCalendar& fields, bool local, int64_t* out)
{
    struct tm in;
    ToTm(fields, &in);
    // -1 is also 31 December 1969 23:59:59; errno tells the two apart.
    errno = 0;
    const time_t t = local ? mktime(&in) : timegm(&in);
    if (t == static_cast<time_t>(-1) && errno != 0) return false;
    *out = static_cast<int64_t>(t);
    return true;
}

size_t HostCalendar_Format(const HostCalendar& fields, const char* format, char* out, size_t size)
{
    if (!out || size == 0) return 0;
    out[0] = '\0';
    struct tm in;
    ToTm(fields, &in);
    locale_t locale = UserTimeLocale();
    const size_t n = locale ? strftime_l(out, size, format, &in, locale) : strftime(out, size, format, &in);
    if (n == 0) out[0] = '\0';
    return n;
}
