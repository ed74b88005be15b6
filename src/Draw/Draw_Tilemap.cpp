#include "Draw/Draw_Tilemap.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Background/Background_Main.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePages.h"
#include "Graphics/VertexBuilderM.h"
#include "World/Room_Layers.h"
#include "World/TileData.h"

namespace {

struct Vertex24 {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

// The batcher's staging memory holds 16384 vertices: 2730 quads of six.
constexpr int64_t kQuadsPerReservation = 2730;

const STexture* LiveTexture(int32_t index) { return GR_Texture_Exists(index) ? GR_Texture_Preload(index) : nullptr; }

// A tileset ready to cut tiles from; false when it cannot draw (missing, no
// texture, or a tile block whose sizes would divide by zero).
struct Tileset {
    int32_t index;
    const BackgroundResource* background;
    TilesetUVInfo uv;
};

bool PrepareTileset(int32_t index, Tileset* t)
{
    t->index = index;
    t->background = Background_Get(index);
    if (!t->background || !Tileset_GetUVInfo(index, &t->uv)) return false;
    const BackgroundResource& l = *t->background;
    return l.tileWidth > 0 && l.tileHeight > 0 && l.tileColumns > 0 && l.framesPerTile > 0;
}

// The tile a masked cell shows at an animation frame (any integer, wrapped);
// 0 draws nothing, as does a tile index past the tileset.
uint32_t TileOf(const BackgroundResource& l, TileData cell, int64_t frame)
{
    const uint32_t index = TileData_Index(cell);
    if (index == 0 || index >= static_cast<uint32_t>(std::max(l.tileCount, 0))) return 0;
    frame %= l.framesPerTile;
    if (frame < 0) frame += l.framesPerTile;
    return l.GetTileId(static_cast<int32_t>(static_cast<int64_t>(index) * l.framesPerTile + frame));
}

int64_t TruncatedFrame(float frame)
{
    const double t = std::trunc(static_cast<double>(frame));
    return std::fabs(t) < 9.0e18 ? static_cast<int64_t>(t) : 0;
}

// Six vertices of one tile at (left, top): top-left, top-right, bottom-left,
// bottom-left, top-right, bottom-right.
void WriteTileQuad(Vertex24* v, const Tileset& t, uint32_t tile, TileData cell, float left, float top, float z)
{
    const TilesetUVInfo& uv = t.uv;
    const uint32_t columns = static_cast<uint32_t>(t.background->tileColumns);
    const float uL = static_cast<float>(tile % columns) * uv.uStride + uv.uOffset;
    const float vT = static_cast<float>(tile / columns) * uv.vStride + uv.vOffset;
    const float uR = uL + uv.uTile, vB = vT + uv.vTile;
    struct UV {
        float u, v;
    };
    UV tl{uL, vT}, tr{uR, vT}, bl{uL, vB}, br{uR, vB};
    if (cell & TILE_MIRROR) {
        std::swap(tl, tr);
        std::swap(bl, br);
    }
    if (cell & TILE_FLIP) {
        std::swap(tl, bl);
        std::swap(tr, br);
    }
    if (cell & TILE_ROTATE) {  // each corner takes the UV of the corner before it clockwise
        const UV oldTl = tl;
        tl = bl;
        bl = br;
        br = tr;
        tr = oldTl;
    }
    const float right = left + static_cast<float>(t.background->tileWidth);
    const float bottom = top + static_cast<float>(t.background->tileHeight);
    const Vertex24 a{tl.u, tl.v, 0xFFFFFFFFu, left, top, z};
    const Vertex24 b{tr.u, tr.v, 0xFFFFFFFFu, right, top, z};
    const Vertex24 c{bl.u, bl.v, 0xFFFFFFFFu, left, bottom, z};
    const Vertex24 d{br.u, br.v, 0xFFFFFFFFu, right, bottom, z};
    v[0] = a;
    v[1] = b;
    v[2] = c;
    v[3] = c;
    v[4] = b;
    v[5] = d;
}

// A tile of a trimmed tileset image, through the background's general draw.
void DrawTileGeneral(const Tileset& t, uint32_t tile, TileData cell, float x, float y)
{
    const BackgroundResource& l = *t.background;
    const float xr = t.uv.xRatio, yr = t.uv.yRatio;
    const float tw = static_cast<float>(l.tileWidth), th = static_cast<float>(l.tileHeight);
    const float col = static_cast<float>(tile % static_cast<uint32_t>(l.tileColumns));
    const float row = static_cast<float>(tile / static_cast<uint32_t>(l.tileColumns));
    const float partLeft = (2 * l.borderX * xr + tw * xr) * col + l.borderX * xr;
    const float partTop = (2 * l.borderY * yr + th * yr) * row + l.borderY * yr;
    const bool mirror = cell & TILE_MIRROR, flip = cell & TILE_FLIP, rotate = cell & TILE_ROTATE;
    if (rotate) {
        x += flip ? 0 : th;
        y += mirror ? tw : 0;
    } else {
        x += mirror ? tw : 0;
        y += flip ? th : 0;
    }
    Background_DrawGeneral(t.index, partLeft, partTop, tw * xr, th * yr, x, y, (mirror ? -1.0f : 1.0f) / xr,
                           (flip ? -1.0f : 1.0f) / yr, rotate ? -90.0f : 0.0f, 0xFFFFFFFFu, 0xFFFFFFFFu,
                           0xFFFFFFFFu, 0xFFFFFFFFu, 1.0f);
}

// The cells [first, end) of one axis that can meet the view span [low, high].
void VisibleSpan(int64_t low, int64_t high, float origin, int32_t size, int32_t count, int64_t* first, int64_t* end)
{
    const int64_t base = TruncatedFrame(origin);
    *first = std::max<int64_t>(0, (low - base) / size);
    *end = std::min<int64_t>(count, (high + size - base) / size);
}

void DrawMapFast(const Tileset& t, const LayerElement_Tilemap& map, TileData mask, float x, float y, float z)
{
    const BackgroundResource& l = *t.background;
    const ViewCullBounds& b = GR_ViewBounds;
    int64_t c0, c1, r0, r1;
    VisibleSpan(b.left, b.right, x, l.tileWidth, map.width, &c0, &c1);
    VisibleSpan(b.top, b.bottom, y, l.tileHeight, map.height, &r0, &r1);
    if (c1 <= c0 || r1 <= r0) return;
    const int64_t frame = TruncatedFrame(map.frame);
    int64_t left = (c1 - c0) * (r1 - r0);  // cells of the window not yet visited
    int64_t reserved = 0;                  // quads reserved and not yet written
    Vertex24* out = nullptr;
    for (int64_t row = r0; row < r1; ++row) {
        for (int64_t column = c0; column < c1; ++column, --left) {
            const TileData cell = map.cells[row * map.width + column] & mask;
            const uint32_t tile = TileOf(l, cell, frame);
            if (tile == 0) continue;
            if (reserved == 0) {
                reserved = std::min(left, kQuadsPerReservation);
                out = static_cast<Vertex24*>(GR_VertexBuilder_AllocVerts(
                    PR_TRIANGLELIST, t.uv.texture->texture, 24, static_cast<int>(reserved * 6)));
                if (!out) return;
            }
            WriteTileQuad(out, t, tile, cell, static_cast<float>(column * l.tileWidth) + x,
                          static_cast<float>(row * l.tileHeight) + y, z);
            out += 6;
            --reserved;
        }
    }
    if (reserved > 0) GR_VertexBuilder_ReturnVerts(static_cast<int>(reserved * 6));
}

void DrawMapGeneral(const Tileset& t, const LayerElement_Tilemap& map, TileData mask, float x, float y)
{
    const BackgroundResource& l = *t.background;
    const int64_t frame = TruncatedFrame(map.frame);
    for (int64_t row = 0; row < map.height; ++row) {
        for (int64_t column = 0; column < map.width; ++column) {
            const TileData cell = map.cells[row * map.width + column] & mask;
            const uint32_t tile = TileOf(l, cell, frame);
            if (tile == 0) continue;
            DrawTileGeneral(t, tile, cell, static_cast<float>(column * l.tileWidth) + x,
                            static_cast<float>(row * l.tileHeight) + y);
        }
    }
}

}  // namespace

bool Tileset_GetUVInfo(int32_t tileset, TilesetUVInfo* info)
{
    *info = TilesetUVInfo{nullptr, 0, 0, 0, 0, 0, 0, 1, 1, false};
    const BackgroundResource* background = Background_Get(tileset);
    if (!background) return false;
    const BackgroundResource& l = *background;
    const STexturePageEntry* entry = l.GetEntry();
    const int32_t textureIndex = l.GetOwnTexture();
    if (entry) {
        const STexture* texture = LiveTexture(entry->texture);
        if (!texture || entry->fullWidth == 0 || entry->fullHeight == 0) return false;
        info->texture = texture;
        info->xRatio = static_cast<float>(entry->width) / entry->fullWidth;
        info->yRatio = static_cast<float>(entry->height) / entry->fullHeight;
        if (entry->xOffset != 0 || entry->yOffset != 0 || entry->cropWidth != entry->fullWidth ||
            entry->cropHeight != entry->fullHeight)
            return true;  // trimmed on its page: tiles go through the general draw
        const float tw = texture->texelWidth, th = texture->texelHeight;
        info->uTile = l.tileWidth * tw * info->xRatio;
        info->vTile = l.tileHeight * th * info->yRatio;
        const float bx = l.borderX * tw * info->xRatio;
        info->uOffset = entry->x * tw + bx;
        info->vOffset = entry->y * th + l.borderY * th * info->yRatio;
        info->uStride = 2 * bx + info->uTile;
        info->vStride = 2 * l.borderY * th * info->yRatio + info->vTile;
        info->fast = true;
        return true;
    }
    const STexture* texture = LiveTexture(textureIndex);
    if (!texture) return false;
    // Texel sizes rather than the image size: a run-time image's device
    // texture may be larger than the image, and the UVs must match the texels.
    info->texture = texture;
    info->uTile = l.tileWidth * texture->texelWidth;
    info->vTile = l.tileHeight * texture->texelHeight;
    info->uOffset = l.borderX * texture->texelWidth;
    info->vOffset = l.borderY * texture->texelHeight;
    info->uStride = 2 * info->uOffset + info->uTile;
    info->vStride = 2 * info->vOffset + info->vTile;
    info->fast = true;
    return true;
}

void DrawTilemap(const LayerElement_Tilemap* tilemap, const RoomLayer* layer, float x, float y, float depth)
{
    if (!tilemap || !tilemap->cells || tilemap->width <= 0 || tilemap->height <= 0) return;
    Tileset t;
    if (!PrepareTileset(tilemap->tileset, &t)) return;
    if (layer) {
        x = tilemap->x + layer->x;
        y = tilemap->y + layer->y;
        depth = DrawDepth;
    }
    const TileData mask = tilemap->mask & TilemapGlobalMask;
    if (t.uv.fast) DrawMapFast(t, *tilemap, mask, x, y, depth);
    else DrawMapGeneral(t, *tilemap, mask, x, y);
}

void DrawTile(int32_t tileset, uint32_t data, int32_t frame, float x, float y, float depth)
{
    Tileset t;
    if (!PrepareTileset(tileset, &t)) return;
    const TileData cell = data & TilemapGlobalMask;
    const uint32_t tile = TileOf(*t.background, cell, frame);
    if (tile == 0) return;
    if (!t.uv.fast) return DrawTileGeneral(t, tile, cell, x, y);
    auto* out = static_cast<Vertex24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, t.uv.texture->texture, 24, 6));
    if (out) WriteTileQuad(out, t, tile, cell, x, y, depth);
}
