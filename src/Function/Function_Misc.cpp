#include "Function/Function_Misc.h"

#include <cstring>
#include <iterator>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Base/Timing.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_ValueConvert.h"
#include "Function/Function_MiscRoutines.h"
#include "Options/Runner_Options.h"

namespace {
// The debug overlay's frame-rate line and timing bars.
constexpr uint32_t kOverlayFrameRate = 0x02;

enum SpeedUnit : int32_t { SPEED_FPS = 0, SPEED_MICROSECONDS = 1 };

QS_MISC_ROUTINE(F_ShowDebugMessage) { Debug_ShowValue(&args[0]); }

// The text is traced as it is, never used as a format.
QS_MISC_ROUTINE(F_DebugEvent)
{
    const char* text = Arg_String(args, 0);
    if (!text) return;
    MemoryManager::TraceEvent("%s", text);
    if (std::strncmp(text, "DumpMemory", 6) == 0) MemoryManager::ReportUsage();
}

QS_MISC_ROUTINE(F_ShowDebugOverlay)
{
    if (Arg_Bool(args, 0))
        DebugFlags |= kOverlayFrameRate;
    else
        DebugFlags &= ~kOverlayFrameRate;
}

QS_MISC_ROUTINE(F_GameSetSpeed)
{
    const double value = Arg_Real(args, 0);
    const int32_t unit = Arg_Int32(args, 1);
    if (value < 0) {
        ShowRuntimeError("game_set_speed() - game time can't run backwards", false);
        return;
    }
    if (value == 0)
        GameFrameTimer.SetFPS(0);
    else if (unit == SPEED_FPS)
        GameFrameTimer.SetFPS(value);
    else if (unit == SPEED_MICROSECONDS)
        GameFrameTimer.SetFPS(1000000.0 / value);
}

QS_MISC_ROUTINE(F_GameGetSpeed)
{
    const int32_t unit = Arg_Int32(args, 0);
    if (!(GameFrameTimer.targetRate > 0)) {
        ScriptValue_SetReal(result, 0);
        return;
    }
    const double rate = GameFrameTimer.GetFPS();
    ScriptValue_SetReal(result, unit == SPEED_FPS ? rate : 1000000.0 / rate);
}

struct MiscEntry {
    const char* name;
    BuiltinRoutine routine;
    int32_t argumentCount;
    uint8_t flag;
};
}  // namespace

void Debug_ShowValue(const ScriptValue* value)
{
    if (value->kind == VALUE_STRING) {
        const char* text = ScriptValue_StringText(value);
        OutputConsole->Output("%s\n", text ? text : "");
        return;
    }
    char* text = ValueToNewString(value);
    OutputConsole->Output("%s\n", text ? text : "");
    Code_FreeMemory(text);
}

void InitMiscFunctions(const MiscPlatformRoutines& platform)
{
    // The table order is the group's: compiled code calls these by index.
    // game_get_speed reads one argument and is registered with one.
    const MiscEntry entries[] = {
        {"event_inherited", F_EventInherited, 0, 0},
        {"event_perform", F_EventPerform, 2, 0},
        {"event_user", F_EventUser, 1, 0},
        {"event_perform_object", F_EventPerformObject, 3, 0},
        {"window_handle", platform.windowHandle, 0, 0},
        {"window_device", platform.windowDevice, 0, 0},
        {"show_debug_message", F_ShowDebugMessage, 1, 0},
        {"show_debug_overlay", F_ShowDebugOverlay, 1, 0},
        {"debug_event", F_DebugEvent, 1, 0},
        {"set_program_priority", platform.setProgramPriority, 1, 0},
        {"set_application_title", platform.setApplicationTitle, 1, 0},
        {"alarm_set", F_AlarmSet, 2, 0},
        {"alarm_get", F_AlarmGet, 1, 0},
        {"variable_global_exists", F_VariableGlobalExists, 1, 0},
        {"variable_global_get", F_VariableGlobalGet, 1, 0},
        {"variable_global_set", F_VariableGlobalSet, 2, 0},
        {"variable_instance_exists", F_VariableInstanceExists, 2, 0},
        {"variable_instance_get", F_VariableInstanceGet, 2, 0},
        {"variable_instance_set", F_VariableInstanceSet, 3, 0},
        {"variable_instance_get_names", F_VariableInstanceGetNames, 1, 0},
        {"clipboard_has_text", platform.clipboardHasText, 0, 0},
        {"clipboard_set_text", platform.clipboardSetText, 1, 0},
        {"clipboard_get_text", platform.clipboardGetText, 0, 0},
        {"date_current_datetime", F_DateCurrent, 0, 0},
        {"date_current_date", F_DateCurrent, 0, 0},
        {"date_current_time", F_DateCurrent, 0, 0},
        {"date_create_datetime", F_DateCreateDateTime, 6, 0},
        {"date_create_date", F_DateCreateDate, 3, 0},
        {"date_create_time", F_DateCreateTime, 3, 0},
        {"date_valid_datetime", F_DateValidDateTime, 6, 0},
        {"date_valid_date", F_DateValidDate, 3, 0},
        {"date_valid_time", F_DateValidTime, 3, 0},
        {"date_inc_year", F_DateIncYear, 2, 0},
        {"date_inc_month", F_DateIncMonth, 2, 0},
        {"date_inc_week", F_DateIncWeek, 2, 0},
        {"date_inc_day", F_DateIncDay, 2, 0},
        {"date_inc_hour", F_DateIncHour, 2, 0},
        {"date_inc_minute", F_DateIncMinute, 2, 0},
        {"date_inc_second", F_DateIncSecond, 2, 0},
        {"date_get_year", F_DateGetYear, 1, 0},
        {"date_get_month", F_DateGetMonth, 1, 0},
        {"date_get_week", F_DateGetWeek, 1, 0},
        {"date_get_day", F_DateGetDay, 1, 0},
        {"date_get_hour", F_DateGetHour, 1, 0},
        {"date_get_minute", F_DateGetMinute, 1, 0},
        {"date_get_second", F_DateGetSecond, 1, 0},
        {"date_get_weekday", F_DateGetWeekday, 1, 0},
        {"date_get_day_of_year", F_DateGetDayOfYear, 1, 0},
        {"date_get_hour_of_year", F_DateGetHourOfYear, 1, 0},
        {"date_get_minute_of_year", F_DateGetMinuteOfYear, 1, 0},
        {"date_get_second_of_year", F_DateGetSecondOfYear, 1, 0},
        {"date_year_span", F_DateYearSpan, 2, 0},
        {"date_month_span", F_DateMonthSpan, 2, 0},
        {"date_week_span", F_DateWeekSpan, 2, 0},
        {"date_day_span", F_DateDaySpan, 2, 0},
        {"date_hour_span", F_DateHourSpan, 2, 0},
        {"date_minute_span", F_DateMinuteSpan, 2, 0},
        {"date_second_span", F_DateSecondSpan, 2, 0},
        {"date_compare_datetime", F_DateCompareDateTime, 2, 0},
        {"date_compare_date", F_DateCompareDate, 2, 0},
        {"date_compare_time", F_DateCompareTime, 2, 0},
        {"date_date_of", F_DateDateOf, 1, 0},
        {"date_time_of", F_DateTimeOf, 1, 0},
        {"date_datetime_string", F_DateDateTimeString, 1, 0},
        {"date_date_string", F_DateDateString, 1, 0},
        {"date_time_string", F_DateTimeString, 1, 0},
        {"date_days_in_month", F_DateDaysInMonth, 1, 0},
        {"date_days_in_year", F_DateDaysInYear, 1, 0},
        {"date_leap_year", F_DateLeapYear, 1, 0},
        {"date_is_today", F_DateIsToday, 1, 0},
        {"date_set_timezone", F_DateSetTimezone, 1, 0},
        {"date_get_timezone", F_DateGetTimezone, 0, 0},
        {"game_set_speed", F_GameSetSpeed, 2, 1},
        {"game_get_speed", F_GameGetSpeed, 1, 1},
    };
    // The event built-ins come before the external-library ones.
    constexpr size_t kEventEntries = 4;
    for (size_t i = 0; i < std::size(entries); ++i) {
        if (i == kEventEntries && platform.registerExternalCalls) platform.registerExternalCalls();
        const MiscEntry& entry = entries[i];
        CodeFunction_Register(entry.name, entry.routine, entry.argumentCount, entry.flag);
    }
}
