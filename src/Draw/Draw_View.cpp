// The content of one view: the clear, the draw-begin event, the room's layers
// (or, in rooms without layers, its instances by depth), the draw-end event.
// Backgrounds of rooms without layers, legacy tiles and particle systems are
// not drawn here yet.
#include <cmath>

#include "Base/ErrorReport.h"
#include "Draw/Draw_Frame.h"
#include "Draw/Draw_Tilemap.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/ShaderM.h"
#include "Graphics/VertexBuilderM.h"
#include "GameData/GameHeader.h"
#include "Sprite/Sprite_Main.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

namespace {
constexpr int32_t kDrawBegin = 72;
constexpr int32_t kDrawEnd = 73;

// An instance's own draw event, else its sprite: the plain draw when nothing
// transforms it, the transformed one otherwise. truncate: the frame is cut
// toward zero rather than floored.
void DrawInstance(CInstance* instance, bool truncate)
{
    if (instance->m_marked || instance->m_deactivated || !instance->visible || !instance->m_object) return;
    CurrentDrawInstance = instance;
    if (instance->m_object->HasEvent(EVENT_DRAW, 0)) {
        PerformEventForInstance(instance, instance, EVENT_DRAW, 0);
    } else if (CSprite* sprite = Sprite_Get(instance->sprite_index)) {
        const double index = truncate ? std::trunc(instance->image_index) : std::floor(instance->image_index);
        // Indices beyond any frame count wrap the same; NaN and huge values draw frame 0.
        const int32_t frame = std::fabs(index) < 2147483647.0 ? static_cast<int32_t>(index) : 0;
        if (instance->image_xscale == 1 && instance->image_yscale == 1 && instance->image_angle == 0 &&
            instance->image_blend == 0xFFFFFF && instance->image_alpha == 1)
            sprite->Draw(frame, instance->x, instance->y);
        else
            sprite->DrawExt(frame, instance->x, instance->y, instance->image_xscale, instance->image_yscale,
                            instance->image_angle, instance->image_blend, instance->image_alpha);
    }
    CurrentDrawInstance = nullptr;
}

int32_t FrameOf(float index)
{
    const double t = std::trunc(index);
    return std::fabs(t) < 2147483647.0 ? static_cast<int32_t>(t) : 0;
}

void DrawLayerBackground(const LayerElement_Background& e, const RoomLayer& layer)
{
    const LayerBackgroundData* d = e.data;
    if (!d || !d->visible) return;
    CSprite* sprite = Sprite_Get(d->sprite);
    if (!sprite) return;  // a plain colour fill comes with room content drawing
    const ViewCullBounds& b = GR_ViewBounds;
    sprite->DrawTiled(FrameOf(d->imageIndex), layer.x, layer.y, d->xscale, d->yscale, d->tileX, d->tileY,
                      static_cast<float>(b.left), static_cast<float>(b.top), static_cast<float>(b.right - b.left),
                      static_cast<float>(b.bottom - b.top), d->blend, d->alpha);
}

void DrawLayers(CGameRoom& room)
{
    for (RoomLayer* layer = room.layers.last; layer; layer = layer->prev) {  // deepest first
        if (!layer->visible) continue;
        GR_3D_SetDepth(static_cast<float>(layer->depth));
        const bool shaded = layer->shader != -1;
        if (shaded && !Shader_Select(layer->shader)) ReportRuntimeError("Illegal shader handle", false);
        RunLayerScript(layer->id, layer->beginScript, EVENT_DRAW, 0);
        for (LayerElement* e = layer->first; e; e = e->next) {
            switch (e->kind) {
            case LAYER_ELEMENT_BACKGROUND:
                DrawLayerBackground(*static_cast<LayerElement_Background*>(e), *layer);
                break;
            case LAYER_ELEMENT_INSTANCE: {
                CInstance* instance = static_cast<LayerElement_Instance*>(e)->instance;
                if (instance && instance->m_deactivated) e = layer->last;  // the rest are deactivated too
                else if (instance) DrawInstance(instance, false);
                break;
            }
            case LAYER_ELEMENT_SPRITE: {
                const auto* s = static_cast<LayerElement_Sprite*>(e);
                if (CSprite* sprite = Sprite_Get(s->sprite))
                    sprite->DrawExt(FrameOf(s->imageIndex), s->x + layer->x, s->y + layer->y, s->xscale, s->yscale,
                                    s->angle, s->blend, s->alpha);
                break;
            }
            case LAYER_ELEMENT_TILEMAP:
                DrawTilemap(static_cast<LayerElement_Tilemap*>(e), layer, 0, 0, 0);
                break;
            default:
                break;
            }
        }
        RunLayerScript(layer->id, layer->endScript, EVENT_DRAW, 0);
        if (shaded) Shader_Reset();
    }
    GR_VertexBuilder_Flush();
}
}  // namespace

void DrawView(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
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
    if (room->layers.first) {
        DrawLayers(*room);
    } else {
        for (CInstance* instance = room->activeInstances.first; instance; instance = instance->m_next) {
            if (Legacy3DMode) GR_3D_SetDepth(std::fmin(instance->depth, 11000.0f));
            DrawInstance(instance, true);
        }
        GR_3D_SetDepth(-13000);
        GR_VertexBuilder_Flush();
    }
    PerformDrawEvent(EVENT_DRAW, kDrawEnd);
}
