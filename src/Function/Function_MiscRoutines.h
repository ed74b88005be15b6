#pragma once
// The routines of the "Misc.." group, shared by its source files and the
// registrar.
#include "Code/Code_Value.h"

class CInstance;

#define QS_MISC_ROUTINE(name)                                                                                 \
    void name([[maybe_unused]] ScriptValue* result, [[maybe_unused]] CInstance* self,                         \
              [[maybe_unused]] CInstance* other, [[maybe_unused]] int argc, [[maybe_unused]] ScriptValue* args)

// Alarms and events.
QS_MISC_ROUTINE(F_EventInherited); QS_MISC_ROUTINE(F_EventPerform); QS_MISC_ROUTINE(F_EventUser);
QS_MISC_ROUTINE(F_EventPerformObject); QS_MISC_ROUTINE(F_AlarmSet); QS_MISC_ROUTINE(F_AlarmGet);

// Variables by name.
QS_MISC_ROUTINE(F_VariableGlobalExists); QS_MISC_ROUTINE(F_VariableGlobalGet); QS_MISC_ROUTINE(F_VariableGlobalSet);
QS_MISC_ROUTINE(F_VariableInstanceExists); QS_MISC_ROUTINE(F_VariableInstanceGet);
QS_MISC_ROUTINE(F_VariableInstanceSet); QS_MISC_ROUTINE(F_VariableInstanceGetNames);

// Dates.
QS_MISC_ROUTINE(F_DateCurrent); QS_MISC_ROUTINE(F_DateCreateDateTime); QS_MISC_ROUTINE(F_DateCreateDate);
QS_MISC_ROUTINE(F_DateCreateTime); QS_MISC_ROUTINE(F_DateValidDateTime); QS_MISC_ROUTINE(F_DateValidDate);
QS_MISC_ROUTINE(F_DateValidTime); QS_MISC_ROUTINE(F_DateIncYear); QS_MISC_ROUTINE(F_DateIncMonth);
QS_MISC_ROUTINE(F_DateIncWeek); QS_MISC_ROUTINE(F_DateIncDay); QS_MISC_ROUTINE(F_DateIncHour);
QS_MISC_ROUTINE(F_DateIncMinute); QS_MISC_ROUTINE(F_DateIncSecond); QS_MISC_ROUTINE(F_DateGetYear);
QS_MISC_ROUTINE(F_DateGetMonth); QS_MISC_ROUTINE(F_DateGetWeek); QS_MISC_ROUTINE(F_DateGetDay);
QS_MISC_ROUTINE(F_DateGetHour); QS_MISC_ROUTINE(F_DateGetMinute); QS_MISC_ROUTINE(F_DateGetSecond);
QS_MISC_ROUTINE(F_DateGetWeekday); QS_MISC_ROUTINE(F_DateGetDayOfYear); QS_MISC_ROUTINE(F_DateGetHourOfYear);
QS_MISC_ROUTINE(F_DateGetMinuteOfYear); QS_MISC_ROUTINE(F_DateGetSecondOfYear); QS_MISC_ROUTINE(F_DateYearSpan);
QS_MISC_ROUTINE(F_DateMonthSpan); QS_MISC_ROUTINE(F_DateWeekSpan); QS_MISC_ROUTINE(F_DateDaySpan);
QS_MISC_ROUTINE(F_DateHourSpan); QS_MISC_ROUTINE(F_DateMinuteSpan); QS_MISC_ROUTINE(F_DateSecondSpan);
QS_MISC_ROUTINE(F_DateCompareDateTime); QS_MISC_ROUTINE(F_DateCompareDate); QS_MISC_ROUTINE(F_DateCompareTime);
QS_MISC_ROUTINE(F_DateDateOf); QS_MISC_ROUTINE(F_DateTimeOf); QS_MISC_ROUTINE(F_DateDateTimeString);
QS_MISC_ROUTINE(F_DateDateString); QS_MISC_ROUTINE(F_DateTimeString); QS_MISC_ROUTINE(F_DateDaysInMonth);
QS_MISC_ROUTINE(F_DateDaysInYear); QS_MISC_ROUTINE(F_DateLeapYear); QS_MISC_ROUTINE(F_DateIsToday);
QS_MISC_ROUTINE(F_DateSetTimezone); QS_MISC_ROUTINE(F_DateGetTimezone);
