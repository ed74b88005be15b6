#include "Variable/Variable_Room.h"

#include <cmath>
#include <cstring>
#include <type_traits>

#include "Background/Background_Main.h"
#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Base/Timing.h"
#include "Code/Code_Value.h"
#include "Draw/Draw_Frame.h"
#include "GameData/GameHeader.h"
#include "Variable/Variable_BuiltIn.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "World/Run_CommandInstance.h"
#include "World/Run_CommandRoom.h"

namespace {
int32_t Slot(int32_t index) { return index >= 0 && index < ROOM_BACKGROUNDS ? index : 0; }

bool Real(ScriptValue* out, double v)
{
    ScriptValue_SetReal(out, v);
    return true;
}

template <int32_t CGameRoom::*F>
bool GetRoomInt(CInstance*, int32_t, ScriptValue* out)
{
    return Real(out, Run_Room ? Run_Room->*F : 0);
}
template <int32_t CGameRoom::*F>
bool SetRoomInt(CInstance*, int32_t, ScriptValue* value)
{
    if (Run_Room) Run_Room->*F = BuiltIn_ToRoundedSingleInt(value);
    return true;
}
template <bool CGameRoom::*F>
bool GetRoomFlag(CInstance*, int32_t, ScriptValue* out)
{
    return Real(out, Run_Room && Run_Room->*F ? 1 : 0);
}
template <bool CGameRoom::*F>
bool SetRoomFlag(CInstance*, int32_t, ScriptValue* value)
{
    if (Run_Room) Run_Room->*F = BuiltIn_ToRoomFlag(value);
    return true;
}

// A field of one of the room's background or view slots.
template <auto Slots, typename T, auto F>
bool GetSlotField(CInstance*, int32_t index, ScriptValue* out)
{
    if (!Run_Room) return Real(out, 0);
    const T v = (Run_Room->*Slots)[Slot(index)].*F;
    if constexpr (std::is_same_v<T, bool>) return Real(out, v ? 1 : 0);
    return Real(out, static_cast<double>(v));
}
template <auto Slots, typename T, auto F>
bool SetSlotField(CInstance*, int32_t index, ScriptValue* value)
{
    if (!Run_Room) return true;
    T& field = (Run_Room->*Slots)[Slot(index)].*F;
    if constexpr (std::is_same_v<T, bool>)
        field = BuiltIn_ToRoomFlag(value);
    else if constexpr (std::is_same_v<T, float>)
        field = BuiltIn_ToSingle(value);
    else
        field = BuiltIn_ToRoundedSingleInt(value);
    return true;
}
template <typename T, T RoomBackground::*F>
constexpr auto GetBackground = GetSlotField<&CGameRoom::backgrounds, T, F>;
template <typename T, T RoomBackground::*F>
constexpr auto SetBackground = SetSlotField<&CGameRoom::backgrounds, T, F>;
template <typename T, T RoomView::*F>
constexpr auto GetView = GetSlotField<&CGameRoom::views, T, F>;
template <typename T, T RoomView::*F>
constexpr auto SetView = SetSlotField<&CGameRoom::views, T, F>;

bool GetRoom(CInstance*, int32_t, ScriptValue* out) { return Real(out, Room_CurrentIndex()); }

// Only numbers name a room: any other kind is refused instead of being read as one.
bool SetRoom(CInstance*, int32_t, ScriptValue* value)
{
    const uint32_t kind = value->Kind();
    if (kind != VALUE_REAL && kind != VALUE_INT32 && kind != VALUE_INT64 && kind != VALUE_BOOL) {
        ReportRuntimeError("room: a room index must be a number", false);
        return false;
    }
    Room_Goto(BuiltIn_ToRoundedSingleInt(value));
    return true;
}

bool GetRoomFirst(CInstance*, int32_t, ScriptValue* out) { return Real(out, Room_First()); }
bool GetRoomLast(CInstance*, int32_t, ScriptValue* out) { return Real(out, Room_Last()); }

bool GetCaption(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetString(out, Run_Room && Run_Room->caption ? Run_Room->caption : "");
    return true;
}

bool SetCaption(CInstance*, int32_t, ScriptValue* value)
{
    if (!Run_Room) return true;
    char* text = value->Kind() == VALUE_STRING ? DupString(ScriptValue_StringText(value)) : nullptr;
    QS_FREE(Run_Room->caption);
    Run_Room->caption = text;
    return true;
}

bool GetRoomSpeed(CInstance*, int32_t, ScriptValue* out)
{
    if (LayerMode) return Real(out, GameFrameTimer.GetFPS());
    return Real(out, Run_Room ? Run_Room->speed : 0);
}

// Frame pacing and fades divide by the speed, so a stored speed is at least 1:
// a value from 0.5 up to 1 passes the check (it rounds to 1) and is stored as 1.
bool SetRoomSpeed(CInstance*, int32_t, ScriptValue* value)
{
    const double speed = BuiltIn_ToReal(value);
    if (!(std::nearbyint(speed) >= 1.0)) {
        ReportRuntimeError("Trying to set the room speed to a value <= 0.", false);
        return false;
    }
    if (LayerMode) {
        GameFrameTimer.SetFPS(speed);
    } else if (Run_Room) {
        const int32_t whole = BuiltIn_ToTruncatedInt(value);
        Run_Room->speed = whole < 1 ? 1 : whole;
    }
    return true;
}

bool GetTransitionKind(CInstance*, int32_t, ScriptValue* out) { return Real(out, transition_kind); }

bool SetTransitionKind(CInstance*, int32_t, ScriptValue* value)
{
    transition_kind = BuiltIn_ToRoundedSingleInt(value);
    LogConsole->Output("BUG: Room transitions don't function well - setting to 0 - look at Variable_BuiltIn SV_TransitionKind() .\n");
    transition_kind = 0;
    return true;
}

bool GetZero(CInstance*, int32_t, ScriptValue* out) { return Real(out, 0); }
bool Ignore(CInstance*, int32_t, ScriptValue*) { return true; }

bool GetColour(CInstance*, int32_t, ScriptValue* out) { return Real(out, Run_Room ? Run_Room->colour : 0); }
bool SetColour(CInstance*, int32_t, ScriptValue* value)
{
    if (Run_Room) Run_Room->colour = static_cast<uint32_t>(BuiltIn_ToRoundedSingleInt(value));
    return true;
}

bool GetBackgroundSize(int32_t index, bool width, ScriptValue* out)
{
    int32_t w = 0, h = 0;
    if (!Run_Room || !Background_GetSize(Run_Room->backgrounds[Slot(index)].index, &w, &h)) return Real(out, 0);
    return Real(out, width ? w : h);
}
bool GetBackgroundWidth(CInstance*, int32_t index, ScriptValue* out) { return GetBackgroundSize(index, true, out); }
bool GetBackgroundHeight(CInstance*, int32_t index, ScriptValue* out) { return GetBackgroundSize(index, false, out); }

bool GetViewCurrent(CInstance*, int32_t, ScriptValue* out) { return Real(out, view_current); }

bool GetInstanceCount(CInstance*, int32_t, ScriptValue* out) { return Real(out, Run_Room ? Run_Room->activeInstances.count : 0); }

bool GetInstanceId(CInstance*, int32_t index, ScriptValue* out) { return Real(out, Instance_IdAt(index)); }

struct Accessor {
    const char* name;
    BuiltinGetter getter;
    BuiltinSetter setter;
};

using BG = RoomBackground;
using VW = RoomView;
const Accessor kAccessors[] = {
    {"room", GetRoom, SetRoom},
    {"room_first", GetRoomFirst, nullptr},
    {"room_last", GetRoomLast, nullptr},
    {"transition_kind", GetTransitionKind, SetTransitionKind},
    {"transition_steps", GetZero, Ignore},
    {"instance_count", GetInstanceCount, nullptr},
    {"instance_id", GetInstanceId, nullptr},
    {"room_width", GetRoomInt<&CGameRoom::width>, SetRoomInt<&CGameRoom::width>},
    {"room_height", GetRoomInt<&CGameRoom::height>, SetRoomInt<&CGameRoom::height>},
    {"room_caption", GetCaption, SetCaption},
    {"room_speed", GetRoomSpeed, SetRoomSpeed},
    {"room_persistent", GetRoomFlag<&CGameRoom::persistent>, SetRoomFlag<&CGameRoom::persistent>},
    {"background_color", GetColour, SetColour},
    {"background_colour", GetColour, SetColour},
    {"background_showcolor", GetRoomFlag<&CGameRoom::showColour>, SetRoomFlag<&CGameRoom::showColour>},
    {"background_showcolour", GetRoomFlag<&CGameRoom::showColour>, SetRoomFlag<&CGameRoom::showColour>},
    {"background_visible", GetBackground<bool, &BG::visible>, SetBackground<bool, &BG::visible>},
    {"background_foreground", GetBackground<bool, &BG::foreground>, SetBackground<bool, &BG::foreground>},
    {"background_index", GetBackground<int32_t, &BG::index>, SetBackground<int32_t, &BG::index>},
    {"background_x", GetBackground<float, &BG::x>, SetBackground<float, &BG::x>},
    {"background_y", GetBackground<float, &BG::y>, SetBackground<float, &BG::y>},
    {"background_width", GetBackgroundWidth, nullptr},
    {"background_height", GetBackgroundHeight, nullptr},
    {"background_htiled", GetBackground<bool, &BG::tileX>, SetBackground<bool, &BG::tileX>},
    {"background_vtiled", GetBackground<bool, &BG::tileY>, SetBackground<bool, &BG::tileY>},
    {"background_xscale", GetBackground<float, &BG::xscale>, SetBackground<float, &BG::xscale>},
    {"background_yscale", GetBackground<float, &BG::yscale>, SetBackground<float, &BG::yscale>},
    {"background_hspeed", GetBackground<float, &BG::hspeed>, SetBackground<float, &BG::hspeed>},
    {"background_vspeed", GetBackground<float, &BG::vspeed>, SetBackground<float, &BG::vspeed>},
    {"background_blend", GetBackground<int32_t, &BG::blend>, SetBackground<int32_t, &BG::blend>},
    {"background_alpha", GetBackground<float, &BG::alpha>, SetBackground<float, &BG::alpha>},
    {"view_enabled", GetRoomFlag<&CGameRoom::enableViews>, SetRoomFlag<&CGameRoom::enableViews>},
    {"view_current", GetViewCurrent, nullptr},
    {"view_visible", GetView<bool, &VW::visible>, SetView<bool, &VW::visible>},
    {"view_xview", GetView<float, &VW::viewX>, SetView<float, &VW::viewX>},
    {"view_yview", GetView<float, &VW::viewY>, SetView<float, &VW::viewY>},
    {"view_wview", GetView<float, &VW::viewWidth>, SetView<float, &VW::viewWidth>},
    {"view_hview", GetView<float, &VW::viewHeight>, SetView<float, &VW::viewHeight>},
    {"view_xport", GetView<int32_t, &VW::portX>, SetView<int32_t, &VW::portX>},
    {"view_yport", GetView<int32_t, &VW::portY>, SetView<int32_t, &VW::portY>},
    {"view_wport", GetView<int32_t, &VW::portWidth>, SetView<int32_t, &VW::portWidth>},
    {"view_hport", GetView<int32_t, &VW::portHeight>, SetView<int32_t, &VW::portHeight>},
    {"view_angle", GetView<float, &VW::angle>, SetView<float, &VW::angle>},
    {"view_hborder", GetView<int32_t, &VW::borderH>, SetView<int32_t, &VW::borderH>},
    {"view_vborder", GetView<int32_t, &VW::borderV>, SetView<int32_t, &VW::borderV>},
    {"view_hspeed", GetView<int32_t, &VW::hspeed>, SetView<int32_t, &VW::hspeed>},
    {"view_vspeed", GetView<int32_t, &VW::vspeed>, SetView<int32_t, &VW::vspeed>},
    {"view_object", GetView<int32_t, &VW::followObject>, SetView<int32_t, &VW::followObject>},
    {"view_surface_id", GetView<int32_t, &VW::spare>, SetView<int32_t, &VW::spare>},
    {"view_camera", GetView<int32_t, &VW::camera>, SetView<int32_t, &VW::camera>},
};
}  // namespace

bool Variable_RoomAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter)
{
    for (const Accessor& entry : kAccessors) {
        if (std::strcmp(entry.name, name) != 0) continue;
        *getter = entry.getter;
        *setter = entry.setter;
        return true;
    }
    return false;
}
