#include "Variable/Variable_BuiltIn.h"

#include <cmath>
#include <cstring>

#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_Variable.h"
#include "Code/JS_Object.h"
#include "Code/ObjectBase.h"
#include "Variable/Kivo_Variables.h"
#include "Variable/Variable_Arguments.h"
#include "Variable/Variable_Context.h"
#include "Variable/Variable_Environment.h"
#include "Variable/Variable_GameInfo.h"
#include "Variable/Variable_GameState.h"
#include "Variable/Variable_Room.h"

namespace {
struct GlobalEntry {
    const char* name;
    bool readOnly;
};

// The global group in registration order (ids 86 to 202).
const GlobalEntry kGlobalGroup[] = {
    {"argument_relative", true},
    {"argument", false},
    {"argument0", false},
    {"argument1", false},
    {"argument2", false},
    {"argument3", false},
    {"argument4", false},
    {"argument5", false},
    {"argument6", false},
    {"argument7", false},
    {"argument8", false},
    {"argument9", false},
    {"argument10", false},
    {"argument11", false},
    {"argument12", false},
    {"argument13", false},
    {"argument14", false},
    {"argument15", false},
    {"argument_count", true},
    {"debug_mode", true},
    {"pointer_invalid", true},
    {"pointer_null", true},
    {"undefined", true},
    {"room", false},
    {"room_first", true},
    {"room_last", true},
    {"transition_kind", false},
    {"transition_steps", false},
    {"score", false},
    {"lives", false},
    {"health", false},
    {"game_id", true},
    {"game_guid", true},
    {"game_display_name", true},
    {"game_project_name", true},
    {"game_save_id", true},
    {"working_directory", true},
    {"temp_directory", true},
    {"program_directory", true},
    {"instance_count", true},
    {"instance_id", true},
    {"room_width", false},
    {"room_height", false},
    {"room_caption", false},
    {"room_speed", false},
    {"room_persistent", false},
    {"background_color", false},
    {"background_showcolor", false},
    {"background_colour", false},
    {"background_showcolour", false},
    {"background_visible", false},
    {"background_foreground", false},
    {"background_index", false},
    {"background_x", false},
    {"background_y", false},
    {"background_width", true},
    {"background_height", true},
    {"background_htiled", false},
    {"background_vtiled", false},
    {"background_xscale", false},
    {"background_yscale", false},
    {"background_hspeed", false},
    {"background_vspeed", false},
    {"background_blend", false},
    {"background_alpha", false},
    {"view_enabled", false},
    {"view_current", true},
    {"view_visible", false},
    {"view_xview", false},
    {"view_yview", false},
    {"view_wview", false},
    {"view_hview", false},
    {"view_xport", false},
    {"view_yport", false},
    {"view_wport", false},
    {"view_hport", false},
    {"view_angle", false},
    {"view_hborder", false},
    {"view_vborder", false},
    {"view_hspeed", false},
    {"view_vspeed", false},
    {"view_object", false},
    {"view_surface_id", false},
    {"view_camera", false},
    {"mouse_x", true},
    {"mouse_y", true},
    {"mouse_button", false},
    {"mouse_lastbutton", false},
    {"keyboard_key", false},
    {"keyboard_lastkey", false},
    {"keyboard_lastchar", false},
    {"keyboard_string", false},
    {"cursor_sprite", false},
    {"show_score", false},
    {"show_lives", false},
    {"show_health", false},
    {"caption_score", false},
    {"caption_lives", false},
    {"caption_health", false},
    {"fps", true},
    {"fps_real", true},
    {"current_time", true},
    {"current_year", true},
    {"current_month", true},
    {"current_day", true},
    {"current_weekday", true},
    {"current_hour", true},
    {"current_minute", true},
    {"current_second", true},
    {"event_type", true},
    {"event_number", true},
    {"event_object", true},
    {"event_action", true},
    {"secure_mode", true},
    {"error_occurred", false},
    {"error_last", false},
    {"application_surface", true},
};
static_assert(sizeof kGlobalGroup / sizeof kGlobalGroup[0] == BUILTIN_ID_FIRST_PLATFORM - BUILTIN_ID_FIRST_GLOBAL);

using AccessorFinder = bool (*)(const char* name, BuiltinGetter* getter, BuiltinSetter* setter);
// The families the global group's names belong to.
const AccessorFinder kFamilies[] = {
    Variable_ArgumentAccessors, Variable_ContextAccessors,     Variable_RoomAccessors,
    Variable_GameInfoAccessors, Variable_GameStateAccessors, Variable_EnvironmentAccessors,
};
}  // namespace

void Variable_BuiltIn_Init()
{
    Variable_BuiltIn_Free();
    Variable_BuiltIn_InitMore();
    for (const GlobalEntry& entry : kGlobalGroup) {
        BuiltinGetter getter = nullptr;
        BuiltinSetter setter = nullptr;
        for (AccessorFinder find : kFamilies)
            if (find(entry.name, &getter, &setter)) break;
        Variable_BuiltIn_Add(entry.name, getter, entry.readOnly ? nullptr : setter);
    }
    InitKivoVariables();
}

bool Variable_FindAccessors(const BuiltinAccessors* table, size_t count, const char* name, BuiltinGetter* getter,
                            BuiltinSetter* setter)
{
    for (size_t i = 0; i < count; ++i) {
        if (std::strcmp(table[i].name, name) != 0) continue;
        *getter = table[i].getter;
        *setter = table[i].setter;
        return true;
    }
    return false;
}

void Variable_BuiltIn_AddAccessors(KVObjectBase* object, bool globalNames)
{
    const int32_t count = Variable_BuiltIn_Count();
    for (int32_t i = 0; i < count; ++i) {
        const BuiltinVariable* variable = Variable_BuiltIn_At(i);
        if (Variable_IsGlobalBuiltInName(variable->name) != globalNames) continue;
        object->AddObject(variable->name, JS_MakeAccessorObject(variable->getter, variable->setter), VALUE_FLAG_ENUMERABLE);
    }
}

bool BuiltIn_Real(ScriptValue* out, double value)
{
    ScriptValue_SetReal(out, value);
    return true;
}

double BuiltIn_ToReal(ScriptValue* value) { return ScriptValue_ToReal(value); }

float BuiltIn_ToSingle(ScriptValue* value) { return DoubleToFloat(BuiltIn_ToReal(value)); }

int32_t BuiltIn_ToRoundedSingleInt(ScriptValue* value)
{
    return DoubleToInt32(static_cast<double>(std::nearbyint(BuiltIn_ToSingle(value))));
}

int32_t BuiltIn_ToTruncatedInt(ScriptValue* value) { return DoubleToInt32(BuiltIn_ToReal(value)); }

bool BuiltIn_ToRoomFlag(ScriptValue* value) { return std::nearbyint(BuiltIn_ToReal(value)) >= 1.0; }

bool BuiltIn_ToInstanceFlag(ScriptValue* value) { return std::nearbyint(BuiltIn_ToSingle(value)) != 0.0f; }
