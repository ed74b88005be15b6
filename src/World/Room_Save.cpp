// The room record of a saved game: settings, backgrounds, views, live tiles,
// layers, then the active and the deactivated instances in list order.
#include <cmath>
#include <initializer_list>
#include <unordered_set>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Buffer/SaveFields.h"
#include "Path/Path_Main.h"
#include "Sprite/Sprite_Main.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "World/Room_Layers.h"
#include "World/TimeLine_Main.h"

namespace {
// Smallest encodings, for checking counts against what is left.
constexpr size_t kTileBytes = 14 * 4;
constexpr size_t kLayerBytes = 15 * 4;
constexpr size_t kInstanceBytes = 64 * 4;

// Truncated toward zero, held within the range of an s32.
int32_t WholeNumber(float v)
{
    if (std::isnan(v)) return 0;
    const double t = std::trunc(static_cast<double>(v));
    if (t <= -2147483648.0) return INT32_MIN;
    if (t >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(t);
}

void WriteInstances(SaveWriter& out, const InstanceDepthList& list)
{
    out.I32(list.count);
    for (CInstance* instance = list.first; instance; instance = instance->m_next) instance->SaveToBuffer(out.buffer);
}

// -1 for none, or an index the running game has.
bool NoneOr(int32_t index, bool (*exists)(int32_t)) { return index == -1 || exists(index); }

// A saved game may come from another build of the game or be tampered with:
// everything it names must be in the running game before it is used.
bool InstanceNamesExist(CGameRoom* room, const CInstance* i)
{
    return i->m_object && NoneOr(i->sprite_index, Sprite_Exists) &&
           NoneOr(i->mask_index, Sprite_Exists) && NoneOr(i->path_index, Path_Exists) &&
           NoneOr(i->timeline_index, TimeLine_Exists) && (i->layer == -1 || Layer_FindByID(room, i->layer));
}

bool LayerNamesExist(const CGameRoom& room)
{
    for (const RoomLayer* layer = room.layers.first; layer; layer = layer->next) {
        for (const LayerElement* e = layer->first; e; e = e->next) {
            int32_t sprite = -1;
            if (e->kind == LAYER_ELEMENT_SPRITE) sprite = static_cast<const LayerElement_Sprite*>(e)->sprite;
            if (e->kind == LAYER_ELEMENT_BACKGROUND && static_cast<const LayerElement_Background*>(e)->data)
                sprite = static_cast<const LayerElement_Background*>(e)->data->sprite;
            if (!NoneOr(sprite, Sprite_Exists)) return false;
        }
    }
    return true;
}

void DeleteList(InstanceDepthList& list)
{
    while (CInstance* instance = list.first) {
        list.Remove(instance);
        delete instance;
    }
}
}  // namespace

void CGameRoom::WriteSave(IBuffer* buffer)
{
    if (physics) FatalRuntimeError("ERROR: game_save unavailable for rooms using physics");
    SaveWriter out{buffer};
    out.String(caption);
    out.I32(width);
    out.I32(height);
    out.I32(speed);
    out.Flag(persistent);
    out.U32(colour);
    out.Flag(showColour);
    out.String(creationCodeName);
    for (const RoomBackground& b : backgrounds) {
        out.Flag(b.visible);
        out.Flag(b.foreground);
        out.I32(b.index);
        out.F32(b.x);
        out.F32(b.y);
        out.Flag(b.tileX);
        out.Flag(b.tileY);
        out.F32(b.hspeed);
        out.F32(b.vspeed);
        out.F32(b.xscale);
        out.F32(b.yscale);
        out.I32(b.blend);
        out.F32(b.alpha);
    }
    out.Flag(enableViews);
    for (const RoomView& v : views) {
        out.Flag(v.visible);
        // View positions and sizes are kept as whole numbers.
        for (float f : {v.viewX, v.viewY, v.viewWidth, v.viewHeight}) out.I32(WholeNumber(f));
        for (int32_t i : {v.portX, v.portY, v.portWidth, v.portHeight}) out.I32(i);
        out.F32(v.angle);
        for (int32_t i : {v.borderH, v.borderV, v.hspeed, v.vspeed, v.followObject, v.spare, v.camera}) out.I32(i);
    }
    out.I32(tileCount);
    for (int32_t i = 0; i < tileCount; ++i) {
        const STile& t = tiles[i];
        out.F32(t.x);
        out.F32(t.y);
        for (int32_t v : {t.background, t.left, t.top, t.width, t.height}) out.I32(v);
        out.F32(t.depth);
        out.I32(t.id);
        out.F32(t.xscale);
        out.F32(t.yscale);
        out.I32(t.blend);
        out.F32(t.alpha);
        out.Flag(t.visible);
    }
    int32_t layerCount = 0;
    for (const RoomLayer* layer = layers.first; layer; layer = layer->next) ++layerCount;
    out.I32(layerCount);
    for (const RoomLayer* layer = layers.first; layer; layer = layer->next) Layer_Serialise(layer, buffer);
    WriteInstances(out, activeInstances);
    WriteInstances(out, deactivatedInstances);
}

bool CGameRoom::ReadSave(IBuffer* buffer)
{
    SaveReader in{buffer};
    QS_FREE(caption);
    caption = in.String();
    width = in.I32();
    height = in.I32();
    speed = in.I32();
    persistent = in.Flag();
    colour = in.U32();
    showColour = in.Flag();
    QS_FREE(creationCodeName);
    creationCodeName = in.String();
    for (RoomBackground& b : backgrounds) {
        b.visible = in.Flag();
        b.foreground = in.Flag();
        b.index = in.I32();
        b.x = in.F32();
        b.y = in.F32();
        b.tileX = in.Flag();
        b.tileY = in.Flag();
        b.hspeed = in.F32();
        b.vspeed = in.F32();
        b.xscale = in.F32();
        b.yscale = in.F32();
        b.blend = in.I32();
        b.alpha = in.F32();
    }
    enableViews = in.Flag();
    for (RoomView& v : views) {
        v.visible = in.Flag();
        for (float* f : {&v.viewX, &v.viewY, &v.viewWidth, &v.viewHeight}) *f = static_cast<float>(in.I32());
        for (int32_t* i : {&v.portX, &v.portY, &v.portWidth, &v.portHeight}) *i = in.I32();
        v.angle = in.F32();
        for (int32_t* i : {&v.borderH, &v.borderV, &v.hspeed, &v.vspeed, &v.followObject, &v.spare, &v.camera})
            *i = in.I32();
    }
    const int32_t tileTotal = in.Count(kTileBytes);
    for (int32_t i = 0; i < tileTotal && in.ok; ++i) {
        STile t{};
        t.x = in.F32();
        t.y = in.F32();
        for (int32_t* v : {&t.background, &t.left, &t.top, &t.width, &t.height}) *v = in.I32();
        t.depth = in.F32();
        t.id = in.I32();
        t.xscale = in.F32();
        t.yscale = in.F32();
        t.blend = in.I32();
        t.alpha = in.F32();
        t.visible = in.Flag();
        // The tile keeps its saved id; the id counter is set from the rooms section.
        if (in.ok && AppendTile(t) < 0) in.ok = false;
    }
    const int32_t layerTotal = in.Count(kLayerBytes);
    for (int32_t i = 0; i < layerTotal && in.ok; ++i) in.ok = Layer_Deserialise(this, buffer);
    if (in.ok && !LayerNamesExist(*this)) {
        LogConsole->Output("Saved room: a layer names a sprite the game does not have\n");
        in.ok = false;
    }
    std::unordered_set<int32_t> ids;
    for (int section = 0; section < 2; ++section) {  // the active, then the deactivated
        const int32_t count = in.Count(kInstanceBytes);
        for (int32_t i = 0; i < count && in.ok; ++i) {
            auto* instance = new CInstance(0, 0, 0, -1, false);
            in.ok = instance->LoadFromBuffer(buffer, false) && ids.insert(instance->id).second;
            if (in.ok && !InstanceNamesExist(this, instance)) {
                LogConsole->Output("Saved room: an instance names an object, sprite, path, timeline or layer the game does not have\n");
                in.ok = false;
            }
            // Each list holds only instances of its own state, whichever section
            // the instance was saved in (a save made between a deactivation and
            // the lists' update has it in the other).
            if (instance->m_deactivated)
                deactivatedInstances.Append(instance);
            else
                activeInstances.Insert(instance);
        }
    }
    return in.ok;
}

void CGameRoom::DiscardLoaded()
{
    for (RoomView& view : views) view.camera = -1;
    DeleteList(activeInstances);
    DeleteList(deactivatedInstances);
}
