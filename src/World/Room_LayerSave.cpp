// The layer entry of a saved room: the layer's fields, then its background,
// tilemap, sprite and tile elements, each group in list order. Names,
// instance elements and particle systems are not saved.
#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Code/Code_Value.h"
#include "World/Room_Class.h"
#include "World/Room_Layers.h"

namespace {
// Bytes of one saved element of each group, before any cells.
constexpr size_t kBackgroundBytes = 12 * 4;
constexpr size_t kTilemapBytes = 6 * 4 + 4;
constexpr size_t kSpriteBytes = 10 * 4;
constexpr size_t kTileBytes = 13 * 4;

void PutU32(IBuffer* buffer, uint32_t v)
{
    const ScriptValue value = ScriptValue_Real(v);
    buffer->Write(eBuffer_U32, &value);
}

void PutI32(IBuffer* buffer, int32_t v)
{
    const ScriptValue value = ScriptValue_Real(v);
    buffer->Write(eBuffer_S32, &value);
}

// An f32 field travels as its four bytes.
void PutF32(IBuffer* buffer, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    PutU32(buffer, bits);
}

// Reads fail softly: a short buffer clears ok and gives 0.
struct Reader {
    IBuffer* buffer;
    bool ok = true;

    double Number(int type)
    {
        ScriptValue value = ScriptValue_Undefined();
        if (!ok || buffer->Read(type, &value) != 0) {
            ok = false;
            return 0;
        }
        return value.real;
    }
    int32_t I32() { return static_cast<int32_t>(Number(eBuffer_S32)); }
    uint32_t U32() { return static_cast<uint32_t>(Number(eBuffer_U32)); }
    float F32()
    {
        const uint32_t bits = U32();
        float v;
        std::memcpy(&v, &bits, 4);
        return v;
    }
    // A group count whose elements of at least `each` bytes fit what is left.
    int32_t Count(size_t each)
    {
        const int32_t n = I32();
        if (ok && (n < 0 || static_cast<size_t>(n) > buffer->Remaining() / each)) ok = false;
        return ok ? n : 0;
    }
};

template <typename Each>
void WriteGroup(IBuffer* buffer, const RoomLayer* layer, uint32_t kind, Each each)
{
    int32_t n = 0;
    for (const LayerElement* e = layer->first; e; e = e->next) n += e->kind == kind ? 1 : 0;
    PutI32(buffer, n);
    for (const LayerElement* e = layer->first; e; e = e->next) {
        if (e->kind == kind) each(e);
    }
}

bool Refuse(const RoomLayer* layer, const char* what)
{
    LogConsole->Output("Saved layer %d: %s\n", layer->id, what);
    return false;
}

void Add(CGameRoom* room, RoomLayer* layer, LayerElement* element)
{
    Layer_AddElement(room, layer, element, room == Run_Room);
}
}  // namespace

void Layer_Serialise(const RoomLayer* layer, IBuffer* buffer)
{
    if (!layer || !buffer) return;
    PutI32(buffer, layer->id);
    PutI32(buffer, layer->depth);
    PutF32(buffer, layer->x);
    PutF32(buffer, layer->y);
    PutF32(buffer, layer->hspeed);
    PutF32(buffer, layer->vspeed);
    PutI32(buffer, layer->visible ? 1 : 0);
    PutI32(buffer, layer->dynamic ? 1 : 0);
    PutI32(buffer, layer->beginScript);
    PutI32(buffer, layer->endScript);
    PutI32(buffer, layer->shader);
    // A background element without data has nothing to save.
    int32_t backgrounds = 0;
    for (const LayerElement* e = layer->first; e; e = e->next)
        backgrounds += e->kind == LAYER_ELEMENT_BACKGROUND && static_cast<const LayerElement_Background*>(e)->data;
    PutI32(buffer, backgrounds);
    for (const LayerElement* e = layer->first; e; e = e->next) {
        if (e->kind != LAYER_ELEMENT_BACKGROUND) continue;
        const LayerBackgroundData* d = static_cast<const LayerElement_Background*>(e)->data;
        if (!d) continue;
        PutI32(buffer, d->visible);
        PutI32(buffer, d->foreground);
        PutI32(buffer, d->sprite);
        PutI32(buffer, d->tileX);
        PutI32(buffer, d->tileY);
        PutF32(buffer, d->xscale);
        PutF32(buffer, d->yscale);
        PutI32(buffer, static_cast<int32_t>(d->blend));
        PutF32(buffer, d->alpha);
        PutF32(buffer, d->imageIndex);
        PutF32(buffer, d->imageSpeed);
        PutI32(buffer, d->speedType);
    }
    WriteGroup(buffer, layer, LAYER_ELEMENT_TILEMAP, [buffer](const LayerElement* e) {
        const auto* t = static_cast<const LayerElement_Tilemap*>(e);
        const bool cells = t->cells && t->width > 0 && t->height > 0;
        PutI32(buffer, t->tileset);
        PutF32(buffer, t->x);
        PutF32(buffer, t->y);
        PutI32(buffer, cells ? t->width : 0);
        PutI32(buffer, cells ? t->height : 0);
        PutF32(buffer, t->frame);
        if (cells) {
            const size_t n = static_cast<size_t>(t->width) * static_cast<size_t>(t->height);
            for (size_t i = 0; i < n; ++i) {
                uint32_t word;
                std::memcpy(&word, t->cells + i, 4);
                PutU32(buffer, word);
            }
        }
        PutU32(buffer, t->mask);
    });
    WriteGroup(buffer, layer, LAYER_ELEMENT_SPRITE, [buffer](const LayerElement* e) {
        const auto* s = static_cast<const LayerElement_Sprite*>(e);
        PutI32(buffer, s->sprite);
        PutF32(buffer, s->imageSpeed);
        PutI32(buffer, s->speedType);
        PutF32(buffer, s->xscale);
        PutF32(buffer, s->yscale);
        PutF32(buffer, s->angle);
        PutU32(buffer, s->blend);
        PutF32(buffer, s->alpha);
        PutF32(buffer, s->x);
        PutF32(buffer, s->y);
    });
    WriteGroup(buffer, layer, LAYER_ELEMENT_TILE, [buffer](const LayerElement* e) {
        const auto* t = static_cast<const LayerElement_Tile*>(e);
        PutI32(buffer, t->visible);
        PutI32(buffer, t->source);
        PutF32(buffer, t->x);
        PutF32(buffer, t->y);
        PutI32(buffer, t->width);
        PutI32(buffer, t->height);
        PutF32(buffer, t->xscale);
        PutF32(buffer, t->yscale);
        PutF32(buffer, t->reserved);
        PutU32(buffer, t->blend);
        PutF32(buffer, t->alpha);
        PutI32(buffer, t->left);
        PutI32(buffer, t->top);
    });
}

bool Layer_Deserialise(CGameRoom* room, IBuffer* buffer)
{
    if (!room || !buffer) return false;
    Layer_SetUpPools();
    Reader in{buffer};
    RoomLayer* layer = Layer_NewLayer();
    if (!layer) return false;
    layer->id = in.I32();
    layer->depth = in.I32();
    layer->x = in.F32();
    layer->y = in.F32();
    layer->hspeed = in.F32();
    layer->vspeed = in.F32();
    layer->visible = in.I32() != 0;
    layer->dynamic = in.I32() != 0;
    layer->beginScript = in.I32();
    layer->endScript = in.I32();
    layer->shader = in.I32();
    if (!in.ok) {
        Layer_ReturnLayer(layer);
        LogConsole->Output("Saved layer: the entry is cut short\n");
        return false;
    }
    Layer_LinkSorted(room, layer);

    const int32_t backgrounds = in.Count(kBackgroundBytes);
    if (!in.ok) return Refuse(layer, "the background count does not fit the saved data");
    for (int32_t i = 0; i < backgrounds; ++i) {
        LayerElement_Background* e = Layer_NewBackgroundElement();
        if (!e) return Refuse(layer, "out of memory");
        LayerBackgroundData& d = *e->data;
        d.visible = in.I32() != 0;
        d.foreground = in.I32() != 0;
        d.sprite = in.I32();
        d.tileX = in.I32() != 0;
        d.tileY = in.I32() != 0;
        d.xscale = in.F32();
        d.yscale = in.F32();
        d.blend = static_cast<uint32_t>(in.I32());
        d.alpha = in.F32();
        d.imageIndex = in.F32();
        d.imageSpeed = in.F32();
        d.speedType = in.I32();
        Add(room, layer, e);
    }

    const int32_t tilemaps = in.Count(kTilemapBytes);
    if (!in.ok) return Refuse(layer, "the tilemap count does not fit the saved data");
    for (int32_t i = 0; i < tilemaps; ++i) {
        LayerElement_Tilemap* e = Layer_NewTilemapElement();
        if (!e) return Refuse(layer, "out of memory");
        e->tileset = in.I32();
        e->x = in.F32();
        e->y = in.F32();
        const int32_t width = in.I32();
        const int32_t height = in.I32();
        e->frame = in.F32();
        const uint64_t cells = static_cast<uint64_t>(width < 0 ? 0 : width) * static_cast<uint64_t>(height < 0 ? 0 : height);
        if (!in.ok || width < 0 || height < 0 || cells > buffer->Remaining() / 4 ||
            cells * 4 + 4 > buffer->Remaining()) {
            Layer_ReturnElement(e);
            return Refuse(layer, "a tilemap's cells do not fit the saved data");
        }
        if (cells > 0) {
            e->cells = static_cast<uint32_t*>(QS_ALLOC(static_cast<size_t>(cells) * 4, true));
            if (!e->cells) {
                Layer_ReturnElement(e);
                return Refuse(layer, "out of memory");
            }
            e->width = width;
            e->height = height;
            for (uint64_t c = 0; c < cells; ++c) e->cells[c] = in.U32();
        }
        e->mask = in.U32();
        Add(room, layer, e);
    }

    const int32_t sprites = in.Count(kSpriteBytes);
    if (!in.ok) return Refuse(layer, "the sprite count does not fit the saved data");
    for (int32_t i = 0; i < sprites; ++i) {
        LayerElement_Sprite* e = Layer_NewSpriteElement();
        if (!e) return Refuse(layer, "out of memory");
        e->sprite = in.I32();
        e->imageSpeed = in.F32();
        e->speedType = in.I32();
        e->xscale = in.F32();
        e->yscale = in.F32();
        e->angle = in.F32();
        e->blend = in.U32();
        e->alpha = in.F32();
        e->x = in.F32();
        e->y = in.F32();
        Add(room, layer, e);
    }

    const int32_t tiles = in.Count(kTileBytes);
    if (!in.ok) return Refuse(layer, "the tile count does not fit the saved data");
    for (int32_t i = 0; i < tiles; ++i) {
        LayerElement_Tile* e = Layer_NewTileElement();
        if (!e) return Refuse(layer, "out of memory");
        e->visible = in.I32() != 0;
        e->source = in.I32();
        e->x = in.F32();
        e->y = in.F32();
        e->width = in.I32();
        e->height = in.I32();
        e->xscale = in.F32();
        e->yscale = in.F32();
        e->reserved = in.F32();
        e->blend = in.U32();
        e->alpha = in.F32();
        e->left = in.I32();
        e->top = in.I32();
        Add(room, layer, e);
    }
    return in.ok ? true : Refuse(layer, "the entry is cut short");
}
