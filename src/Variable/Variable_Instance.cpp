// The instance group of built-in variables: the fields of the instance on
// whose behalf game code runs. Writes go through the instance's setters so
// that the derived state stays consistent. Without an instance there is
// nothing to read or write.
#include <cmath>
#include <initializer_list>

#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_Variable.h"
#include "World/Event_Drivers.h"
#include "World/Gesture_Main.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Room_Layers.h"
#include "World/Room_Class.h"
#include "Sprite/Sprite_Main.h"
#include "Variable/Variable_BuiltIn.h"
#include "Variable/Variable_Context.h"
#include "Variable/Variable_Environment.h"
#include "Variable/Variable_Family_Stub.h"

namespace {
bool Out(ScriptValue* out, double value)
{
    ScriptValue_SetReal(out, value);
    return true;
}

template <typename T, T CInstance::*Field>
bool GetField(CInstance* self, int32_t, ScriptValue* out)
{
    return self && Out(out, static_cast<double>(self->*Field));
}

template <float CInstance::*Field>
bool StoreSingle(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->*Field = BuiltIn_ToSingle(value);
    return true;
}

template <void (CInstance::*Setter)(float)>
bool CallSingle(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    (self->*Setter)(BuiltIn_ToSingle(value));
    return true;
}

template <bool CInstance::*Field>
bool StoreInstanceFlag(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->*Field = BuiltIn_ToInstanceFlag(value);
    return true;
}

template <bool CInstance::*Field>
bool StoreRoomFlag(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->*Field = BuiltIn_ToRoomFlag(value);
    return true;
}

template <int32_t CInstance::*Field>
bool StoreRoundedSingleInt(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->*Field = BuiltIn_ToRoundedSingleInt(value);
    return true;
}

bool SetX(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->SetPosition(BuiltIn_ToSingle(value), self->y);
    return true;
}

bool SetY(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->SetPosition(self->x, BuiltIn_ToSingle(value));
    return true;
}

// Alarms outside 0..11, and an access without an index, address alarm 0.
int32_t AlarmIndex(int32_t index) { return index >= 0 && index < 12 ? index : 0; }

bool GetAlarm(CInstance* self, int32_t index, ScriptValue* out)
{
    return self && Out(out, self->GetAlarm(AlarmIndex(index)));
}

bool SetAlarm(CInstance* self, int32_t index, ScriptValue* value)
{
    if (!self) return false;
    self->SetAlarm(AlarmIndex(index), BuiltIn_ToRoundedSingleInt(value));
    return true;
}

bool SetDepth(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    const float depth = BuiltIn_ToSingle(value);
    if (depth == self->depth) return true;
    self->depth = depth;
    Layer_UpdateInstanceDepth(Run_Room, self);
    // The instance keeps its place in the draw and event order until the pass ends.
    DepthChangeQueue.AddUnique(self);
    return true;
}

// An instance on a layer the room made for its depth reads -1.
bool GetLayer(CInstance* self, int32_t, ScriptValue* out)
{
    if (!self) return false;
    const RoomLayer* layer = self->m_onLayer ? Layer_FindByID(Run_Room, self->layer) : nullptr;
    return Out(out, layer && !layer->dynamic ? layer->id : -1);
}

bool SetLayer(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    Layer_RemoveInstance(Run_Room, self);
    self->layer = BuiltIn_ToTruncatedInt(value);
    if (RoomLayer* layer = Layer_FindByID(Run_Room, self->layer)) Layer_AddInstance(Run_Room, layer, self);
    return true;
}

template <int32_t CInstance::*Field>
bool GetBox(CInstance* self, int32_t, ScriptValue* out)
{
    if (!self) return false;
    if (self->m_bboxDirty) self->ComputeBoundingBox();
    return Out(out, self->*Field);
}

bool SetSpriteIndex(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->SetSpriteIndex(ScriptValue_ToInt32(value));
    return true;
}

bool GetImageSingle(CInstance* self, int32_t, ScriptValue* out)
{
    return self && Out(out, self->image_speed != 0.0f ? -1.0 : static_cast<double>(self->image_index));
}

bool SetImageSingle(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    const double frame = BuiltIn_ToReal(value);
    if (frame < 0.0) {
        self->image_speed = 1.0f;
    } else {
        self->image_index = DoubleToFloat(frame);
        self->image_speed = 0.0f;
    }
    return true;
}

bool GetImageNumber(CInstance* self, int32_t, ScriptValue* out) { return self && Out(out, self->GetImageNumber()); }

bool GetAsyncLoad(CInstance*, int32_t, ScriptValue* out) { return Out(out, async_load); }
bool GetEventData(CInstance*, int32_t, ScriptValue* out) { return Out(out, Gesture_EventData); }

// Sprite measures at the instance's scale; 0 when the sprite index names no sprite.
enum SpriteMeasure { MEASURE_WIDTH, MEASURE_HEIGHT, MEASURE_XOFFSET, MEASURE_YOFFSET };

template <SpriteMeasure Measure>
bool GetSpriteMeasure(CInstance* self, int32_t, ScriptValue* out)
{
    if (!self) return false;
    const CSprite* sprite = Sprite_Exists(self->sprite_index) ? Sprite_Get(self->sprite_index) : nullptr;
    if (!sprite) return Out(out, 0.0);
    switch (Measure) {
    case MEASURE_WIDTH:
        return Out(out, static_cast<float>(sprite->width) * self->image_xscale);
    case MEASURE_HEIGHT:
        return Out(out, static_cast<float>(sprite->height) * self->image_yscale);
    case MEASURE_XOFFSET:
        return Out(out, static_cast<float>(sprite->xorigin) * self->image_xscale);
    case MEASURE_YOFFSET:
        break;
    }
    return Out(out, static_cast<float>(sprite->yorigin) * self->image_yscale);
}

bool SetImageBlend(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->image_blend = static_cast<uint32_t>(BuiltIn_ToRoundedSingleInt(value));
    return true;
}

bool SetMaskIndex(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->SetMaskIndex(BuiltIn_ToRoundedSingleInt(value));
    return true;
}

// A game-wide variable registered in this group is read by its family.
BuiltinGetter FamilyGetter(bool (*find)(const char*, BuiltinGetter*, BuiltinSetter*), const char* name)
{
    BuiltinGetter getter = nullptr;
    BuiltinSetter setter = nullptr;
    find(name, &getter, &setter);
    return getter;
}
}  // namespace

#define FIELD(type, name) GetField<type, &CInstance::name>
#define FLOAT_FIELD(name) FIELD(float, name)

void Variable_BuiltIn_InitMore()
{
    Variable_BuiltIn_Add("x", FLOAT_FIELD(x), SetX);
    Variable_BuiltIn_Add("y", FLOAT_FIELD(y), SetY);
    Variable_BuiltIn_Add("xprevious", FLOAT_FIELD(xprevious), StoreSingle<&CInstance::xprevious>);
    Variable_BuiltIn_Add("yprevious", FLOAT_FIELD(yprevious), StoreSingle<&CInstance::yprevious>);
    Variable_BuiltIn_Add("xstart", FLOAT_FIELD(xstart), StoreSingle<&CInstance::xstart>);
    Variable_BuiltIn_Add("ystart", FLOAT_FIELD(ystart), StoreSingle<&CInstance::ystart>);
    Variable_BuiltIn_Add("hspeed", FLOAT_FIELD(hspeed), CallSingle<&CInstance::SetHSpeed>);
    Variable_BuiltIn_Add("vspeed", FLOAT_FIELD(vspeed), CallSingle<&CInstance::SetVSpeed>);
    Variable_BuiltIn_Add("direction", FLOAT_FIELD(direction), CallSingle<&CInstance::SetDirection>);
    Variable_BuiltIn_Add("speed", FLOAT_FIELD(speed), CallSingle<&CInstance::SetSpeed>);
    Variable_BuiltIn_Add("friction", FLOAT_FIELD(friction), StoreSingle<&CInstance::friction>);
    Variable_BuiltIn_Add("gravity", FLOAT_FIELD(gravity), StoreSingle<&CInstance::gravity>);
    Variable_BuiltIn_Add("gravity_direction", FLOAT_FIELD(gravity_direction), StoreSingle<&CInstance::gravity_direction>);
    Variable_BuiltIn_Add("object_index", FIELD(int32_t, object_index), nullptr);
    Variable_BuiltIn_Add("id", FIELD(int32_t, id), nullptr);
    Variable_BuiltIn_Add("alarm", GetAlarm, SetAlarm);
    Variable_BuiltIn_Add("solid", FIELD(bool, solid), StoreInstanceFlag<&CInstance::solid>);
    Variable_BuiltIn_Add("visible", FIELD(bool, visible), StoreInstanceFlag<&CInstance::visible>);
    Variable_BuiltIn_Add("persistent", FIELD(bool, persistent), StoreInstanceFlag<&CInstance::persistent>);
    Variable_BuiltIn_Add("depth", FLOAT_FIELD(depth), SetDepth);
    Variable_BuiltIn_Add("bbox_left", GetBox<&CInstance::bbox_left>, nullptr);
    Variable_BuiltIn_Add("bbox_right", GetBox<&CInstance::bbox_right>, nullptr);
    Variable_BuiltIn_Add("bbox_top", GetBox<&CInstance::bbox_top>, nullptr);
    Variable_BuiltIn_Add("bbox_bottom", GetBox<&CInstance::bbox_bottom>, nullptr);
    Variable_BuiltIn_Add("sprite_index", FIELD(int32_t, sprite_index), SetSpriteIndex);
    Variable_BuiltIn_Add("image_index", FLOAT_FIELD(image_index), StoreSingle<&CInstance::image_index>);
    Variable_BuiltIn_Add("image_single", GetImageSingle, SetImageSingle);
    Variable_BuiltIn_Add("image_number", GetImageNumber, nullptr);
    Variable_BuiltIn_Add("sprite_width", GetSpriteMeasure<MEASURE_WIDTH>, nullptr);
    Variable_BuiltIn_Add("sprite_height", GetSpriteMeasure<MEASURE_HEIGHT>, nullptr);
    Variable_BuiltIn_Add("sprite_xoffset", GetSpriteMeasure<MEASURE_XOFFSET>, nullptr);
    Variable_BuiltIn_Add("sprite_yoffset", GetSpriteMeasure<MEASURE_YOFFSET>, nullptr);
    Variable_BuiltIn_Add("image_xscale", FLOAT_FIELD(image_xscale), CallSingle<&CInstance::SetImageXScale>);
    Variable_BuiltIn_Add("image_yscale", FLOAT_FIELD(image_yscale), CallSingle<&CInstance::SetImageYScale>);
    Variable_BuiltIn_Add("image_angle", FLOAT_FIELD(image_angle), CallSingle<&CInstance::SetImageAngle>);
    Variable_BuiltIn_Add("image_alpha", FLOAT_FIELD(image_alpha), StoreSingle<&CInstance::image_alpha>);
    Variable_BuiltIn_Add("image_blend", FIELD(uint32_t, image_blend), SetImageBlend);
    Variable_BuiltIn_Add("image_speed", FLOAT_FIELD(image_speed), StoreSingle<&CInstance::image_speed>);
    Variable_BuiltIn_Add("mask_index", FIELD(int32_t, mask_index), SetMaskIndex);
    Variable_BuiltIn_Add("path_index", FIELD(int32_t, path_index), nullptr);
    Variable_BuiltIn_Add("path_position", FLOAT_FIELD(path_position), CallSingle<&CInstance::SetPathPosition>);
    Variable_BuiltIn_Add("path_positionprevious", FLOAT_FIELD(path_positionprevious),
                         CallSingle<&CInstance::SetPathPositionPrevious>);
    Variable_BuiltIn_Add("path_speed", FLOAT_FIELD(path_speed), CallSingle<&CInstance::SetPathSpeed>);
    Variable_BuiltIn_Add("path_scale", FLOAT_FIELD(path_scale), StoreSingle<&CInstance::path_scale>);
    Variable_BuiltIn_Add("path_orientation", FLOAT_FIELD(path_orientation), StoreSingle<&CInstance::path_orientation>);
    Variable_BuiltIn_Add("path_endaction", FIELD(int32_t, path_endaction), StoreRoundedSingleInt<&CInstance::path_endaction>);
    Variable_BuiltIn_Add("timeline_index", FIELD(int32_t, timeline_index), StoreRoundedSingleInt<&CInstance::timeline_index>);
    Variable_BuiltIn_Add("timeline_position", FLOAT_FIELD(timeline_position), StoreSingle<&CInstance::timeline_position>);
    Variable_BuiltIn_Add("timeline_speed", FLOAT_FIELD(timeline_speed), StoreSingle<&CInstance::timeline_speed>);
    Variable_BuiltIn_Add("timeline_running", FIELD(bool, timeline_running), StoreRoomFlag<&CInstance::timeline_running>);
    Variable_BuiltIn_Add("timeline_loop", FIELD(bool, timeline_loop), StoreRoomFlag<&CInstance::timeline_loop>);

    // Event context and asynchronous data: the maps of the event being run.
    Variable_BuiltIn_Add("async_load", GetAsyncLoad, nullptr);
    Variable_BuiltIn_Add("event_data", GetEventData, nullptr);
    Variable_BuiltIn_Add("iap_data", FamilyGetter(Variable_ContextAccessors, "iap_data"), nullptr);

    // Physics body state (stand-ins until physics exists): 13 settable, then 15 read-only.
    static const char* const kPhysicsSettable[] = {
        "phy_rotation", "phy_position_x", "phy_position_y", "phy_angular_velocity", "phy_linear_velocity_x",
        "phy_linear_velocity_y", "phy_speed_x", "phy_speed_y", "phy_angular_damping", "phy_linear_damping",
        "phy_bullet", "phy_fixed_rotation", "phy_active",
    };
    static const char* const kPhysicsReadOnly[] = {
        "phy_mass", "phy_inertia", "phy_com_x", "phy_com_y", "phy_speed", "phy_dynamic", "phy_kinematic",
        "phy_sleeping", "phy_position_xprevious", "phy_position_yprevious", "phy_collision_points",
        "phy_collision_x", "phy_collision_y", "phy_col_normal_x", "phy_col_normal_y",
    };
    for (const char* name : kPhysicsSettable) Variable_BuiltIn_Add(name, VariableStub_GetZero, VariableStub_Set);
    for (const char* name : kPhysicsReadOnly) Variable_BuiltIn_Add(name, VariableStub_GetZero, nullptr);

    // Display and timing facts.
    for (const char* name : {"display_aa", "delta_time", "webgl_enabled"})
        Variable_BuiltIn_Add(name, FamilyGetter(Variable_EnvironmentAccessors, name), nullptr);

    Variable_BuiltIn_Add("layer", GetLayer, SetLayer);
}

#undef FIELD
#undef FLOAT_FIELD
