#include "Variable/Variable_Environment.h"

#include <string>

#include "Base/Date.h"
#include "Base/Timing.h"
#include "Base/UTF8.h"
#include "Code/Code_Value.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Host/Host_Paths.h"
#include "IO/IO_Files.h"
#include "IO/IO_Main.h"
#include "IO/LoadSave.h"
#include "Variable/Variable_BuiltIn.h"

namespace {
bool Text(ScriptValue* out, const char* text)
{
    ScriptValue_SetString(out, text ? text : "");
    return true;
}

template <int32_t Constant>
bool GetConstant(CInstance*, int32_t, ScriptValue* out)
{
    return BuiltIn_Real(out, Constant);
}

bool GetFpsReal(CInstance*, int32_t, ScriptValue* out) { return BuiltIn_Real(out, DebugFrameRate.real); }

bool GetCurrentTime(CInstance*, int32_t, ScriptValue* out)
{
    return BuiltIn_Real(out, static_cast<double>(Timing_Microseconds() / 1000));
}

// A field of now in the zone the date built-ins use; 0 when the clock is out of range.
template <int32_t HostCalendar::*Field, int32_t Offset>
bool GetNow(CInstance*, int32_t, ScriptValue* out)
{
    HostCalendar now;
    return BuiltIn_Real(out, Date_CurrentTime(&now) ? now.*Field + Offset : 0);
}

template <int32_t (*Read)(int32_t)>
bool GetMouse(CInstance*, int32_t, ScriptValue* out)
{
    return BuiltIn_Real(out, Read(0));
}

// The input setters keep only the keys and buttons that exist.
template <int (*Read)(int)>
bool GetButton(CInstance*, int32_t, ScriptValue* out)
{
    return BuiltIn_Real(out, Read(0));
}
template <void (*Write)(int, int)>
bool SetButton(CInstance*, int32_t, ScriptValue* value)
{
    Write(BuiltIn_ToRoundedSingleInt(value), 0);
    return true;
}

template <int (*Read)()>
bool GetKey(CInstance*, int32_t, ScriptValue* out)
{
    return BuiltIn_Real(out, Read());
}
template <void (*Write)(int)>
bool SetKey(CInstance*, int32_t, ScriptValue* value)
{
    Write(BuiltIn_ToRoundedSingleInt(value));
    return true;
}

bool GetLastChar(CInstance*, int32_t, ScriptValue* out)
{
    char text[8] = {};
    char* cursor = text;
    UTF8_EncodeChar(&cursor, static_cast<uint32_t>(IO_GetLastChar()));
    *cursor = '\0';
    return Text(out, text);
}

// Only a string changes it: its first byte becomes the character.
bool SetLastChar(CInstance*, int32_t, ScriptValue* value)
{
    if (value->Kind() != VALUE_STRING) return true;
    const char* text = ScriptValue_StringText(value);
    IO_SetLastChar(text ? static_cast<uint8_t>(text[0]) : 0);
    return true;
}

bool GetKeyboardString(CInstance*, int32_t, ScriptValue* out) { return Text(out, IO_GetKeyboardString()); }

// A value that is not a string empties it.
bool SetKeyboardString(CInstance*, int32_t, ScriptValue* value)
{
    IO_SetKeyboardString(value->Kind() == VALUE_STRING ? ScriptValue_StringText(value) : "");
    return true;
}

bool GetWorkingDirectory(CInstance*, int32_t, ScriptValue* out) { return Text(out, LoadSave_WorkingDirectory()); }

bool GetTempDirectoryText(CInstance*, int32_t, ScriptValue* out) { return Text(out, GetTempDirectory()); }

// The executable's folder without its trailing separator.
bool GetProgramDirectory(CInstance*, int32_t, ScriptValue* out)
{
    std::string path;
    if (!Host_ExecutablePath(path)) return Text(out, "");
    const size_t slash = path.rfind('/');
    return Text(out, slash == std::string::npos ? "" : path.substr(0, slash).c_str());
}

bool GetDisplayAA(CInstance*, int32_t, ScriptValue* out) { return BuiltIn_Real(out, GR_D3D_MultisampleSupport); }

const BuiltinAccessors kAccessors[] = {
    {"fps", BuiltIn_GetNumber<&fps>, nullptr},
    {"fps_real", GetFpsReal, nullptr},
    {"delta_time", BuiltIn_GetNumber<&delta_time>, nullptr},
    {"current_time", GetCurrentTime, nullptr},
    {"current_year", GetNow<&HostCalendar::year, 1900>, nullptr},
    {"current_month", GetNow<&HostCalendar::month, 1>, nullptr},
    {"current_day", GetNow<&HostCalendar::day, 0>, nullptr},
    {"current_weekday", GetNow<&HostCalendar::weekday, 0>, nullptr},
    {"current_hour", GetNow<&HostCalendar::hour, 0>, nullptr},
    {"current_minute", GetNow<&HostCalendar::minute, 0>, nullptr},
    {"current_second", GetNow<&HostCalendar::second, 0>, nullptr},
    {"mouse_x", GetMouse<GR_Window_DeviceMouseX>, nullptr},
    {"mouse_y", GetMouse<GR_Window_DeviceMouseY>, nullptr},
    {"mouse_button", GetButton<IO_GetMouseButton>, SetButton<IO_SetMouseButton>},
    {"mouse_lastbutton", GetButton<IO_GetMouseLastButton>, SetButton<IO_SetMouseLastButton>},
    {"keyboard_key", GetKey<IO_GetCurrentKey>, SetKey<IO_SetCurrentKey>},
    {"keyboard_lastkey", GetKey<IO_GetLastKey>, SetKey<IO_SetLastKey>},
    {"keyboard_lastchar", GetLastChar, SetLastChar},
    {"keyboard_string", GetKeyboardString, SetKeyboardString},
    {"working_directory", GetWorkingDirectory, nullptr},
    {"temp_directory", GetTempDirectoryText, nullptr},
    {"program_directory", GetProgramDirectory, nullptr},
    {"secure_mode", GetConstant<0>, nullptr},
    {"display_aa", GetDisplayAA, nullptr},
    {"webgl_enabled", GetConstant<1>, nullptr},
    {"application_surface", BuiltIn_GetNumber<&ApplicationSurface>, nullptr},
};
}  // namespace

bool Variable_EnvironmentAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter)
{
    return Variable_FindAccessors(kAccessors, name, getter, setter);
}
