// The instance's section of a saved game: its fields as 4-byte elements in a
// fixed order, then the named variables (object mode) and the slot values.
#include <initializer_list>

#include "Base/Console.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/SaveFields.h"
#include "Code/Code_ValueSave.h"
#include "Code/Code_Variable.h"
#include "Code/VariableList.h"
#include "World/Collision.h"
#include "World/Instance.h"

namespace {
// A slot's value without making a cell for it.
const ScriptValue* SlotOrUnset(KVObjectBase* object, int32_t n)
{
    static const ScriptValue unset = [] {
        ScriptValue v = ScriptValue_Undefined();
        v.kind = VALUE_UNSET;
        return v;
    }();
    const ScriptValue* cell = object->PeekSlot(n);
    return cell ? cell : &unset;
}
}  // namespace

void CInstance::SaveToBuffer(IBuffer* buffer)
{
    if (m_bboxDirty) {
        ComputeBoundingBox();
        Collision_MarkMoved(this);
    }
    SaveWriter out{buffer};
    const auto s32 = [&out](int32_t v) { out.I32(v); };
    const auto f32 = [&out](float v) { out.F32(v); };
    s32(id);
    s32(m_deactivated);
    s32(object_index);
    s32(sprite_index);
    for (float v : {image_index, image_speed, image_xscale, image_yscale, image_angle, image_alpha}) f32(v);
    out.U32(image_blend);
    s32(mask_index);
    f32(depth);
    s32(m_precise);
    for (float v : {x, y, xstart, ystart, xprevious, yprevious, direction, speed, friction, gravity_direction, gravity,
                    hspeed, vspeed})
        f32(v);
    for (int32_t v : {bbox_left, bbox_right, bbox_top, bbox_bottom}) s32(v);
    for (bool v : {visible, solid, persistent}) s32(v);
    for (int32_t v : alarm) s32(v);
    s32(m_marked);
    s32(path_index);
    for (float v : {path_position, path_positionprevious, path_speed, path_scale, path_orientation}) f32(v);
    s32(path_endaction);
    f32(path_xorigin);
    f32(path_yorigin);
    s32(timeline_index);
    for (float v : {m_timelinePrevious, timeline_position, timeline_speed}) f32(v);
    for (bool v : {timeline_running, timeline_loop, m_outsideRoom}) s32(v);
    s32(layer);
    if (m_properties) m_properties->SaveToBuffer(buffer);
    if (m_slotCount != 0) {
        const int32_t n = Variable_InstanceCount();
        s32(n);
        for (int32_t i = 0; i < n; ++i) ScriptValue_WriteToBuffer(SlotOrUnset(this, i), buffer);
    }
}

bool CInstance::LoadFromBuffer(IBuffer* buffer, bool joinLists)
{
    SaveReader in{buffer};
    id = in.I32();
    m_deactivated = in.Flag();
    const int32_t objectIndex = in.I32();
    if (!in.ok) return false;
    SetObjectIndex(objectIndex, joinLists && !m_deactivated);
    sprite_index = in.I32();
    for (float* v : {&image_index, &image_speed, &image_xscale, &image_yscale, &image_angle, &image_alpha})
        *v = in.F32();
    image_blend = in.U32();
    mask_index = in.I32();
    depth = in.F32();
    m_precise = in.Flag();
    for (float* v : {&x, &y, &xstart, &ystart, &xprevious, &yprevious, &direction, &speed, &friction,
                     &gravity_direction, &gravity, &hspeed, &vspeed})
        *v = in.F32();
    for (int32_t* v : {&bbox_left, &bbox_right, &bbox_top, &bbox_bottom}) *v = in.I32();
    for (bool* v : {&visible, &solid, &persistent}) *v = in.Flag();
    for (int32_t& v : alarm) v = in.I32();
    m_marked = in.Flag();
    path_index = in.I32();
    for (float* v : {&path_position, &path_positionprevious, &path_speed, &path_scale, &path_orientation})
        *v = in.F32();
    path_endaction = in.I32();
    path_xorigin = in.F32();
    path_yorigin = in.F32();
    timeline_index = in.I32();
    for (float* v : {&m_timelinePrevious, &timeline_position, &timeline_speed}) *v = in.F32();
    for (bool* v : {&timeline_running, &timeline_loop, &m_outsideRoom}) *v = in.Flag();
    layer = in.I32();
    // The box read back is the saved one.
    m_bboxDirty = false;
    if (!in.ok) return false;
    if (m_properties && !m_properties->LoadFromBuffer(buffer)) return false;
    if (m_slotCount == 0) return true;
    // Every value takes at least its 4-byte kind word.
    const int32_t n = in.Count(4);
    if (!in.ok) return false;
    if (n != Variable_InstanceCount()) LogConsole->Output("WARNING! game_load variable mismatch - unpredictable results!\n");
    for (int32_t i = 0; i < n; ++i) {
        ScriptValue value = ScriptValue_Undefined();
        if (!ScriptValue_ReadFromBuffer(&value, buffer)) return false;
        ScriptValue* cell = m_slots && i >= m_slotCapacity ? nullptr : SlotAt(i);
        if (cell) cell->Assign(value);
        if (value.MayOwn()) ScriptValue_FreePayload(&value);
    }
    return true;
}
