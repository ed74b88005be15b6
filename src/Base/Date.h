#pragma once
// Date values: reals counting days since 30 December 1899 00:00, the time of
// day as the fraction (day 25569 is 1 January 1970). They are kept as moments
// in universal time and broken into calendar fields in the local zone or in
// UTC, as the game chose; the calendar covers 1970 to the year 3000.
#include <cstdint>

#include "Host/Host_Calendar.h"

constexpr double DATE_DAY_OF_1970 = 25569.0;

// The zone dates are read and made in: local (true, the start) or UTC.
extern bool DateUseLocalTime;

// The date of a moment: (seconds + 0.5) / 86400 + 25569.
double Date_FromSeconds(int64_t seconds);
// The fields of a date, in the local zone when local; false for a date
// before 1970 or after the year 3000 (or not a number).
bool Date_Decode(double date, bool local, HostCalendar* out);
// The fields of now in the chosen zone; false when the clock is out of range.
bool Date_CurrentTime(HostCalendar* out);

bool IsLeapYear(int32_t year);
// Days of month 1..12 of the year (February 29 in leap years); 0 for another month.
int32_t Date_DaysInMonth(int32_t year, int32_t month);
// Seconds from the start of the year to the given day (1 = the first) and
// time of a month 1..12; 0 for a negative year.
int64_t SecondsIntoYear(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second);
// True for a day of a month of a year from 1970 on.
bool IsValidDate(int32_t day, int32_t month, int32_t year);
