// The content of one view: the clear, the draw-begin event, the room's layers
// (or, in rooms without layers, its backgrounds, then its tiles, instances and
// particle systems merged by depth, then its foregrounds), the draw-end event.
#include <algorithm>
#include <cmath>

#include "Code/Code_Profiler.h"
#include "Background/Background_Main.h"
#include "Base/ErrorReport.h"
#include "Draw/Draw_Frame.h"
#include "Draw/Draw_Tilemap.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/ShaderM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "GameData/GameHeader.h"
#include "Particle/Particle_Main.h"
#include "Sprite/Sprite_Main.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

namespace {
constexpr int32_t kDrawBegin = 72;
constexpr int32_t kDrawEnd = 73;
// Particle depths at or below this count as none left.
constexpr float kNoParticleDepth = -1e8f;
// 3D depths of the legacy passes: instances, tiles and particles never come
// nearer than this, backgrounds and foregrounds sit beyond it.
constexpr float kMaxItemDepth = 11000;

bool Drawable(const CInstance* instance)
{
    return !instance->m_marked && !instance->m_deactivated && instance->visible && instance->m_object;
}

// The room's active list is kept ascending by depth: drawing walks it from
// the tail, deepest first.
CInstance* NextDrawable(CInstance* instance)
{
    while (instance && !Drawable(instance)) instance = instance->m_previous;
    return instance;
}

int32_t FrameOf(double index)
{
    return std::fabs(index) < 2147483647.0 ? static_cast<int32_t>(index) : 0;
}

// An instance's own draw event, else its sprite: the plain draw when nothing
// transforms it, the transformed one otherwise. truncate: the frame is cut
// toward zero rather than floored.
void DrawInstance(CInstance* instance, bool truncate)
{
    if (!Drawable(instance)) return;
    CurrentDrawInstance = instance;
    if (instance->m_object->HasEvent(EVENT_DRAW, 0)) {
        PerformEventForInstance(instance, instance, EVENT_DRAW, 0);
    } else if (CSprite* sprite = Sprite_Get(instance->sprite_index)) {
        // Indices beyond any frame count wrap the same; NaN and huge values draw frame 0.
        const int32_t frame =
            FrameOf(truncate ? std::trunc(instance->image_index) : std::floor(instance->image_index));
        if (instance->image_xscale == 1 && instance->image_yscale == 1 && instance->image_angle == 0 &&
            instance->image_blend == 0xFFFFFF && instance->image_alpha == 1)
            sprite->Draw(frame, instance->x, instance->y);
        else
            sprite->DrawExt(frame, instance->x, instance->y, instance->image_xscale, instance->image_yscale,
                            instance->image_angle, instance->image_blend, instance->image_alpha);
    }
    CurrentDrawInstance = nullptr;
}

void SetItemDepth(float depth)
{
    if (Legacy3DMode) GR_3D_SetDepth(std::fmin(depth, kMaxItemDepth));
}

// Inclusive: an item touching the bounds' edge is drawn.
bool MeetsView(float x, float y, float width, float height)
{
    const float x1 = std::fmin(x, x + width), x2 = std::fmax(x, x + width);
    const float y1 = std::fmin(y, y + height), y2 = std::fmax(y, y + height);
    const ViewCullBounds& b = GR_ViewBounds;
    return static_cast<float>(b.right) >= x1 && static_cast<float>(b.bottom) >= y1 && x2 >= static_cast<float>(b.left) &&
           y2 >= static_cast<float>(b.top);
}

void DrawRoomBackgrounds(const CGameRoom& room, bool foreground)
{
    const ViewCullBounds& b = GR_ViewBounds;
    for (const RoomBackground& bg : room.backgrounds) {
        if (!bg.visible || bg.foreground != foreground || !Background_Exists(bg.index)) continue;
        Background_DrawTiled(bg.index, bg.x, bg.y, bg.xscale, bg.yscale, bg.tileX, bg.tileY,
                             static_cast<float>(b.left), static_cast<float>(b.top),
                             static_cast<float>(b.right - b.left), static_cast<float>(b.bottom - b.top),
                             static_cast<uint32_t>(bg.blend), bg.alpha);
    }
}

void DrawLegacyTile(const STile& t)
{
    GR_3D_SetDepth(std::fmin(t.depth, kMaxItemDepth));
    if (!Background_Exists(t.background)) return;
    if (!MeetsView(t.x, t.y, static_cast<float>(t.width) * t.xscale, static_cast<float>(t.height) * t.yscale)) return;
    Background_DrawPart(t.background, static_cast<float>(t.left), static_cast<float>(t.top),
                        static_cast<float>(t.width), static_cast<float>(t.height), t.x, t.y, t.xscale, t.yscale,
                        static_cast<uint32_t>(t.blend), t.alpha);
}

void DrawParticlesAt(float depth)
{
    SetItemDepth(depth);
    ParticleSystem_DrawAtDepth(depth);
}

// Tiles (kept deepest first), instances and particle depths merged, deepest
// first. At equal depth instances come before particles, and both before tiles.
void DrawRoomByDepth(CGameRoom& room, float particleDepth)
{
    float d = particleDepth;
    int32_t next = 0;
    CInstance* r = NextDrawable(room.activeInstances.last);
    for (;;) {
        while (next < room.tileCount && !room.tiles[next].visible) ++next;
        const STile* t = next < room.tileCount ? &room.tiles[next] : nullptr;
        const bool particles = d > kNoParticleDepth;
        if (!t && !r && !particles) break;
        if (particles && (!r || d > r->depth) && (!t || d >= t->depth)) {
            DrawParticlesAt(d);
            d = ParticleSystem_NextDepthBelow(d);
        } else if (r && (!t || t->depth <= r->depth)) {
            CInstance* instance = r;
            SetItemDepth(instance->depth);
            DrawInstance(instance, false);
            r = NextDrawable(instance->m_previous);
        } else {
            DrawLegacyTile(*t);
            ++next;
        }
    }
    GR_VertexBuilder_Flush();
}

void DrawInstances(CGameRoom& room)
{
    for (CInstance* instance = room.activeInstances.last; instance; instance = instance->m_previous) {
        SetItemDepth(instance->depth);
        DrawInstance(instance, true);
    }
}

void DrawInstancesAndParticles(CGameRoom& room, float particleDepth)
{
    float d = particleDepth;
    for (CInstance* instance = room.activeInstances.last; instance; instance = instance->m_previous) {
        while (d > kNoParticleDepth && d > instance->depth) {
            DrawParticlesAt(d);
            d = ParticleSystem_NextDepthBelow(d);
        }
        SetItemDepth(instance->depth);
        DrawInstance(instance, false);
    }
    while (d > kNoParticleDepth) {
        DrawParticlesAt(d);
        d = ParticleSystem_NextDepthBelow(d);
    }
}

void DrawLegacyRoom(CGameRoom& room)
{
    GR_3D_SetDepth(12000);
    DrawRoomBackgrounds(room, false);
    const float p = ParticleSystem_MaxDepth();
    if (room.tileCount > 0) DrawRoomByDepth(room, p);
    else if (room.activeInstances.first && p > -1e9f) DrawInstancesAndParticles(room, p);
    else if (room.activeInstances.first) DrawInstances(room);
    else DrawRoomByDepth(room, p);
    GR_3D_SetDepth(-12000);
    DrawRoomBackgrounds(room, true);
    GR_3D_SetDepth(-13000);
    GR_VertexBuilder_Flush();
}

// A background element without a sprite fills the whole target with its
// colour, whatever the view: drawn in clip space with every matrix identity.
void FillTarget(uint32_t colour, float alpha)
{
    static const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const int slots[3] = {MATRIX_WORLD, MATRIX_VIEW, MATRIX_PROJECTION};
    float saved[3][16];
    for (int i = 0; i < 3; ++i) {
        GR_D3D_GetMatrix(slots[i], saved[i]);
        GR_D3D_SetMatrix(slots[i], kIdentity);
        GR_InvalidateCullRect();
    }
    g_RenderStateCache.PushState();
    g_RenderStateCache.SetRenderState(RS_CULLMODE, 0);
    const uint32_t c = GR_ColourAlpha(colour, alpha);
    const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    D3DTexture* white = GR_D3D_GetWhiteTexture();
    if (Shader_GetPending() != -1 && white) {
        struct Vertex24 {
            float u, v;
            uint32_t colour;
            float x, y, z;
        };
        if (auto* v = static_cast<Vertex24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, white, 24, 4))) {
            for (int i = 0; i < 4; ++i)
                v[i] = {(corners[i][0] + 1) / 2, (corners[i][1] + 1) / 2, c, corners[i][0], corners[i][1], 1};
        }
    } else {
        struct Vertex16 {
            float x, y, z;
            uint32_t colour;
        };
        if (auto* v = static_cast<Vertex16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, nullptr, 16, 4))) {
            for (int i = 0; i < 4; ++i) v[i] = {corners[i][0], corners[i][1], 1, c};
        }
    }
    // Setting a matrix draws the batch first, under the identities.
    for (int i = 0; i < 3; ++i) {
        GR_D3D_SetMatrix(slots[i], saved[i]);
        GR_InvalidateCullRect();
    }
    g_RenderStateCache.PopState();
}

void DrawLayerBackground(const LayerElement_Background& e, const RoomLayer& layer)
{
    const LayerBackgroundData* d = e.data;
    if (!d || !d->visible) return;
    CSprite* sprite = Sprite_Get(d->sprite);
    if (!sprite) return FillTarget(d->blend, d->alpha);
    const ViewCullBounds& b = GR_ViewBounds;
    sprite->DrawTiled(FrameOf(std::trunc(d->imageIndex)), layer.x, layer.y, d->xscale, d->yscale, d->tileX, d->tileY,
                      static_cast<float>(b.left), static_cast<float>(b.top), static_cast<float>(b.right - b.left),
                      static_cast<float>(b.bottom - b.top), d->blend, d->alpha);
}

// A tile cut from a sprite's first frame; culled without the layer offset.
void DrawLayerTile(const LayerElement_Tile& t, const RoomLayer& layer)
{
    if (!t.visible) return;
    CSprite* sprite = Sprite_Get(t.source);
    if (!sprite) return;
    if (!MeetsView(t.x, t.y, static_cast<float>(t.width) * t.xscale, static_cast<float>(t.height) * t.yscale)) return;
    sprite->DrawPart(0, static_cast<float>(t.left), static_cast<float>(t.top), static_cast<float>(t.width),
                     static_cast<float>(t.height), layer.x + t.x, layer.y + t.y, t.xscale, t.yscale, t.blend, t.alpha);
}

void DrawLayerElements(RoomLayer& layer)
{
    for (LayerElement* e = layer.first; e; e = e->next) {
        switch (e->kind) {
        case LAYER_ELEMENT_BACKGROUND:
            DrawLayerBackground(*static_cast<LayerElement_Background*>(e), layer);
            break;
        case LAYER_ELEMENT_INSTANCE: {
            CInstance* instance = static_cast<LayerElement_Instance*>(e)->instance;
            if (instance && instance->m_deactivated) return;  // the rest are deactivated too
            if (instance) DrawInstance(instance, false);
            break;
        }
        case LAYER_ELEMENT_SPRITE: {
            const auto* s = static_cast<LayerElement_Sprite*>(e);
            if (CSprite* sprite = Sprite_Get(s->sprite))
                sprite->DrawExt(FrameOf(std::trunc(s->imageIndex)), s->x + layer.x, s->y + layer.y, s->xscale,
                                s->yscale, s->angle, s->blend, s->alpha);
            break;
        }
        case LAYER_ELEMENT_TILEMAP:
            DrawTilemap(static_cast<LayerElement_Tilemap*>(e), &layer, 0, 0, 0);
            break;
        case LAYER_ELEMENT_PARTICLE_SYSTEM:
            ParticleSystem_DrawElement(static_cast<LayerElement_ParticleSystem*>(e)->system);
            break;
        case LAYER_ELEMENT_TILE:
            DrawLayerTile(*static_cast<LayerElement_Tile*>(e), layer);
            break;
        default:
            break;
        }
    }
}

void DrawLayers(CGameRoom& room)
{
    for (RoomLayer* layer = room.layers.last; layer; layer = layer->prev) {  // deepest first
        if (!layer->visible) continue;
        GR_3D_SetDepth(static_cast<float>(LayerForceDrawDepth ? LayerForcedDepth : layer->depth));
        const bool shaded = layer->shader != -1;
        if (shaded && !Shader_Select(layer->shader)) ReportRuntimeError("Illegal shader handle", false);
        RunLayerScript(layer->id, layer->beginScript, EVENT_DRAW, 0);
        DrawLayerElements(*layer);
        RunLayerScript(layer->id, layer->endScript, EVENT_DRAW, 0);
        if (shaded) Shader_Reset();
    }
    GR_VertexBuilder_Flush();
}

}  // namespace

void DrawView(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    const ProfilerSection section(SECTION_DRAW_THE_ROOM);
    CGameRoom* room = Run_Room;
    if (!room) return;
    GR_ViewBounds = {left, top, right, bottom};
    GR_InvalidateCullRect();
    uint32_t flags = (Legacy3DMode || LayerMode) ? CLEAR_DEPTH : 0;
    uint32_t colour = 0;
    if (room->showColour) {
        flags |= CLEAR_COLOUR;
        colour = room->colour | 0xFF000000u;
    }
    if (flags) GR_D3D_Clear(colour, 1.0f, 0, flags | 6);
    PerformDrawEvent(EVENT_DRAW, kDrawBegin);
    if (room->layers.first) DrawLayers(*room);
    else DrawLegacyRoom(*room);
    PerformDrawEvent(EVENT_DRAW, kDrawEnd);
}
