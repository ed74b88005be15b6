#include "Variable/Variable_BuiltIn.h"

#include <cmath>

#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_Variable.h"
#include "Code/JS_Accessor.h"
#include "Code/ObjectBase.h"
#include "Variable/KivoVariables_Stub.h"
#include "Variable/Variable_Arguments.h"
#include "Variable/Variable_GameInfo.h"
#include "Variable/Variable_Family_Stub.h"
#include "Variable/Variable_Room.h"

namespace {
enum Neutral : uint8_t { NEUTRAL_ZERO, NEUTRAL_TEXT, NEUTRAL_UNDEFINED };

struct GlobalEntry {
    const char* name;
    bool readOnly;
    Neutral neutral;
};

// The global group in registration order (ids 86 to 202).
const GlobalEntry kGlobalGroup[] = {
    {"argument_relative", true, NEUTRAL_ZERO},
    {"argument", false, NEUTRAL_UNDEFINED},
    {"argument0", false, NEUTRAL_UNDEFINED},
    {"argument1", false, NEUTRAL_UNDEFINED},
    {"argument2", false, NEUTRAL_UNDEFINED},
    {"argument3", false, NEUTRAL_UNDEFINED},
    {"argument4", false, NEUTRAL_UNDEFINED},
    {"argument5", false, NEUTRAL_UNDEFINED},
    {"argument6", false, NEUTRAL_UNDEFINED},
    {"argument7", false, NEUTRAL_UNDEFINED},
    {"argument8", false, NEUTRAL_UNDEFINED},
    {"argument9", false, NEUTRAL_UNDEFINED},
    {"argument10", false, NEUTRAL_UNDEFINED},
    {"argument11", false, NEUTRAL_UNDEFINED},
    {"argument12", false, NEUTRAL_UNDEFINED},
    {"argument13", false, NEUTRAL_UNDEFINED},
    {"argument14", false, NEUTRAL_UNDEFINED},
    {"argument15", false, NEUTRAL_UNDEFINED},
    {"argument_count", true, NEUTRAL_ZERO},
    {"debug_mode", true, NEUTRAL_ZERO},
    {"pointer_invalid", true, NEUTRAL_ZERO},
    {"pointer_null", true, NEUTRAL_ZERO},
    {"undefined", true, NEUTRAL_UNDEFINED},
    {"room", false, NEUTRAL_ZERO},
    {"room_first", true, NEUTRAL_ZERO},
    {"room_last", true, NEUTRAL_ZERO},
    {"transition_kind", false, NEUTRAL_ZERO},
    {"transition_steps", false, NEUTRAL_ZERO},
    {"score", false, NEUTRAL_ZERO},
    {"lives", false, NEUTRAL_ZERO},
    {"health", false, NEUTRAL_ZERO},
    {"game_id", true, NEUTRAL_ZERO},
    {"game_guid", true, NEUTRAL_TEXT},
    {"game_display_name", true, NEUTRAL_TEXT},
    {"game_project_name", true, NEUTRAL_TEXT},
    {"game_save_id", true, NEUTRAL_TEXT},
    {"working_directory", true, NEUTRAL_TEXT},
    {"temp_directory", true, NEUTRAL_TEXT},
    {"program_directory", true, NEUTRAL_TEXT},
    {"instance_count", true, NEUTRAL_ZERO},
    {"instance_id", true, NEUTRAL_ZERO},
    {"room_width", false, NEUTRAL_ZERO},
    {"room_height", false, NEUTRAL_ZERO},
    {"room_caption", false, NEUTRAL_TEXT},
    {"room_speed", false, NEUTRAL_ZERO},
    {"room_persistent", false, NEUTRAL_ZERO},
    {"background_color", false, NEUTRAL_ZERO},
    {"background_showcolor", false, NEUTRAL_ZERO},
    {"background_colour", false, NEUTRAL_ZERO},
    {"background_showcolour", false, NEUTRAL_ZERO},
    {"background_visible", false, NEUTRAL_ZERO},
    {"background_foreground", false, NEUTRAL_ZERO},
    {"background_index", false, NEUTRAL_ZERO},
    {"background_x", false, NEUTRAL_ZERO},
    {"background_y", false, NEUTRAL_ZERO},
    {"background_width", true, NEUTRAL_ZERO},
    {"background_height", true, NEUTRAL_ZERO},
    {"background_htiled", false, NEUTRAL_ZERO},
    {"background_vtiled", false, NEUTRAL_ZERO},
    {"background_xscale", false, NEUTRAL_ZERO},
    {"background_yscale", false, NEUTRAL_ZERO},
    {"background_hspeed", false, NEUTRAL_ZERO},
    {"background_vspeed", false, NEUTRAL_ZERO},
    {"background_blend", false, NEUTRAL_ZERO},
    {"background_alpha", false, NEUTRAL_ZERO},
    {"view_enabled", false, NEUTRAL_ZERO},
    {"view_current", true, NEUTRAL_ZERO},
    {"view_visible", false, NEUTRAL_ZERO},
    {"view_xview", false, NEUTRAL_ZERO},
    {"view_yview", false, NEUTRAL_ZERO},
    {"view_wview", false, NEUTRAL_ZERO},
    {"view_hview", false, NEUTRAL_ZERO},
    {"view_xport", false, NEUTRAL_ZERO},
    {"view_yport", false, NEUTRAL_ZERO},
    {"view_wport", false, NEUTRAL_ZERO},
    {"view_hport", false, NEUTRAL_ZERO},
    {"view_angle", false, NEUTRAL_ZERO},
    {"view_hborder", false, NEUTRAL_ZERO},
    {"view_vborder", false, NEUTRAL_ZERO},
    {"view_hspeed", false, NEUTRAL_ZERO},
    {"view_vspeed", false, NEUTRAL_ZERO},
    {"view_object", false, NEUTRAL_ZERO},
    {"view_surface_id", false, NEUTRAL_ZERO},
    {"view_camera", false, NEUTRAL_ZERO},
    {"mouse_x", true, NEUTRAL_ZERO},
    {"mouse_y", true, NEUTRAL_ZERO},
    {"mouse_button", false, NEUTRAL_ZERO},
    {"mouse_lastbutton", false, NEUTRAL_ZERO},
    {"keyboard_key", false, NEUTRAL_ZERO},
    {"keyboard_lastkey", false, NEUTRAL_ZERO},
    {"keyboard_lastchar", false, NEUTRAL_TEXT},
    {"keyboard_string", false, NEUTRAL_TEXT},
    {"cursor_sprite", false, NEUTRAL_ZERO},
    {"show_score", false, NEUTRAL_ZERO},
    {"show_lives", false, NEUTRAL_ZERO},
    {"show_health", false, NEUTRAL_ZERO},
    {"caption_score", false, NEUTRAL_TEXT},
    {"caption_lives", false, NEUTRAL_TEXT},
    {"caption_health", false, NEUTRAL_TEXT},
    {"fps", true, NEUTRAL_ZERO},
    {"fps_real", true, NEUTRAL_ZERO},
    {"current_time", true, NEUTRAL_ZERO},
    {"current_year", true, NEUTRAL_ZERO},
    {"current_month", true, NEUTRAL_ZERO},
    {"current_day", true, NEUTRAL_ZERO},
    {"current_weekday", true, NEUTRAL_ZERO},
    {"current_hour", true, NEUTRAL_ZERO},
    {"current_minute", true, NEUTRAL_ZERO},
    {"current_second", true, NEUTRAL_ZERO},
    {"event_type", true, NEUTRAL_ZERO},
    {"event_number", true, NEUTRAL_ZERO},
    {"event_object", true, NEUTRAL_ZERO},
    {"event_action", true, NEUTRAL_ZERO},
    {"secure_mode", true, NEUTRAL_ZERO},
    {"error_occurred", false, NEUTRAL_ZERO},
    {"error_last", false, NEUTRAL_TEXT},
    {"application_surface", true, NEUTRAL_ZERO},
};
static_assert(sizeof kGlobalGroup / sizeof kGlobalGroup[0] == BUILTIN_ID_FIRST_PLATFORM - BUILTIN_ID_FIRST_GLOBAL);

BuiltinGetter NeutralGetter(Neutral neutral)
{
    switch (neutral) {
    case NEUTRAL_TEXT:
        return VariableStub_GetText;
    case NEUTRAL_UNDEFINED:
        return VariableStub_GetUndefined;
    case NEUTRAL_ZERO:
        break;
    }
    return VariableStub_GetZero;
}
}  // namespace

void Variable_BuiltIn_Init()
{
    Variable_BuiltIn_Free();
    Variable_BuiltIn_InitMore();
    for (const GlobalEntry& entry : kGlobalGroup) {
        BuiltinGetter getter = Variable_GameInfoGetter(entry.name);
        BuiltinSetter setter = VariableStub_Set;
        if (!getter && !Variable_RoomAccessors(entry.name, &getter, &setter) &&
            !Variable_ArgumentAccessors(entry.name, &getter, &setter))
            getter = NeutralGetter(entry.neutral);
        Variable_BuiltIn_Add(entry.name, getter, entry.readOnly ? nullptr : setter);
    }
    InitKivoVariables();
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

double BuiltIn_ToReal(ScriptValue* value) { return ScriptValue_ToReal(value); }

float BuiltIn_ToSingle(ScriptValue* value) { return DoubleToFloat(BuiltIn_ToReal(value)); }

int32_t BuiltIn_ToRoundedSingleInt(ScriptValue* value)
{
    return DoubleToInt32(static_cast<double>(std::nearbyint(BuiltIn_ToSingle(value))));
}

int32_t BuiltIn_ToTruncatedInt(ScriptValue* value) { return DoubleToInt32(BuiltIn_ToReal(value)); }

bool BuiltIn_ToRoomFlag(ScriptValue* value) { return std::nearbyint(BuiltIn_ToReal(value)) >= 1.0; }

bool BuiltIn_ToInstanceFlag(ScriptValue* value) { return std::nearbyint(BuiltIn_ToSingle(value)) != 0.0f; }
