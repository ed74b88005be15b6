// Drawing the particles of a system with their sprite or shape, and the
// shape textures: the program's own images, replaced by images of the game
// data named after a shape.
#include <cmath>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_TextureDraw.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Particle/Particle_Internal.h"
#include "Sprite/Sprite_Class.h"
#include "Sprite/Sprite_Main.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr int kWhiteSlot = PARTICLE_SHAPE_COUNT;
constexpr float kNoDepth = -1e9f;

const char* const kShapeNames[PARTICLE_SHAPE_COUNT] = {
    "pt_shape_pixel", "pt_shape_disk",  "pt_shape_square", "pt_shape_line",      "pt_shape_star",
    "pt_shape_circle", "pt_shape_ring", "pt_shape_sphere", "pt_shape_flare",     "pt_shape_spark",
    "pt_shape_explosion", "pt_shape_cloud", "pt_shape_smoke", "pt_shape_snow",
};

D3DTexture* s_textures[PARTICLE_SHAPE_COUNT + 1] = {};
// The game data's shape images; their page entries are looked up at first
// use, since the texture pages are read after the images.
const SEmbeddedImage* s_embeddedImages[PARTICLE_SHAPE_COUNT] = {};
const STexturePageEntry* s_embedded[PARTICLE_SHAPE_COUNT] = {};

const STexturePageEntry* EmbeddedShape(int shape)
{
    if (!s_embedded[shape] && s_embeddedImages[shape])
        s_embedded[shape] = GR_Texture_EmbeddedEntry(s_embeddedImages[shape]);
    return s_embedded[shape];
}

struct Vertex {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

float Tri(float t) { return (t > 2 ? 4 - t : t) - 1; }

int32_t TruncInt(float v)
{
    const float t = std::trunc(v);
    return t > -2147483648.0f && t < 2147483648.0f ? static_cast<int32_t>(t) : 0;
}

// The built-in shape as a 64 × 64 quad centred on the particle's whole-pixel position.
void DrawQuad(D3DTexture* texture, float px, float py, float xs, float ys, float angle, uint32_t colour,
              float alpha)
{
    auto* v = static_cast<Vertex*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, texture, 24, 6));
    if (!v) return;
    const float x0 = static_cast<float>(TruncInt(px)), y0 = static_cast<float>(TruncInt(py));
    const float left = -32 * xs, right = 32 * xs, top = -32 * ys, bottom = 32 * ys;
    float a = alpha * 255.0f;
    const uint32_t alphaByte = !(a > 0) ? 0u : a >= 255 ? 255u : static_cast<uint32_t>(a);
    const uint32_t c = alphaByte << 24 | (colour & 0xFFFFFFu);
    const float z = DrawDepth;
    float cx[4] = {left, right, right, left}, cy[4] = {top, top, bottom, bottom};
    if (std::fabs(angle) >= 0.0001f) {
        const float r = angle * kPi / 180.0f, cs = std::cos(r), sn = std::sin(r);
        for (int i = 0; i < 4; ++i) {
            const float u = cx[i], w = cy[i];
            cx[i] = cs * u + sn * w;
            cy[i] = -sn * u + cs * w;
        }
    }
    const Vertex tl = {0, 0, c, x0 + cx[0], y0 + cy[0], z}, tr = {1, 0, c, x0 + cx[1], y0 + cy[1], z},
                 br = {1, 1, c, x0 + cx[2], y0 + cy[2], z}, bl = {0, 1, c, x0 + cx[3], y0 + cy[3], z};
    v[0] = tl; v[1] = tr; v[2] = br; v[3] = br; v[4] = bl; v[5] = tl;
}

// One particle; false when the drawing of the system must end here.
bool DrawParticle(const ParticleSystem& s, const Particle& p, bool* additiveOn)
{
    if (p.lifetime <= 0) return false;
    const ParticleType* t = ParticleType_Get(p.type);
    if (!t) return true;
    CSprite* sprite = Sprite_Exists(t->sprite) ? Sprite_Get(t->sprite) : nullptr;
    int32_t image = p.startImage;
    if (sprite) {
        const int64_t n = sprite->frameCount;
        if (n < 1) return false;
        if (t->animate) image = static_cast<int32_t>(t->stretch ? p.startImage + (p.age * n) / p.lifetime
                                                                 : static_cast<int64_t>(p.startImage) + p.age);
    } else if (t->shape < 0 || t->shape >= PARTICLE_SHAPE_COUNT) {
        return false;
    }
    const int64_t age = p.age, seed = p.seed;
    const float wa = Tri(static_cast<float>((age + 2 * seed) % 16) / 4);
    const float angle = p.angle + (t->angRelative ? p.direction : 0.0f) + t->angWiggle * wa;
    const float wz = Tri(static_cast<float>((age + seed) % 16) / 4);
    const float size = p.size + t->sizeWiggle * wz;
    const float xs = t->xscale * size, ys = t->yscale * size;
    if (t->additive != *additiveOn) {
        GR_SetBlendMode(t->additive ? 1 : 0);
        *additiveOn = t->additive;
    }
    const float px = p.x + s.x, py = p.y + s.y;
    const uint32_t colour = static_cast<uint32_t>(p.colour);
    if (sprite) {
        sprite->DrawExt(image, px, py, xs, ys, angle, colour, p.alpha);
    } else if (const STexturePageEntry* entry = EmbeddedShape(t->shape)) {
        GR_TPE_DrawExt(entry, 32, 32, px, py, xs, ys, angle * kPi / 180.0f, colour, p.alpha);
    } else if (D3DTexture* texture = s_textures[t->shape]) {
        DrawQuad(texture, px, py, xs, ys, angle, colour, p.alpha);
    }  // a shape whose texture could not be made draws nothing
    return true;
}

}  // namespace

void Part_CreateTextures()
{
    for (int i = 0; i < PARTICLE_SHAPE_COUNT; ++i)
        if (!s_textures[i]) s_textures[i] = GR_D3D_CreateBuiltinTexture(i + 1);
    if (s_textures[kWhiteSlot]) return;
    constexpr uint32_t kSize = 16 + 64 * 64 * 4;
    auto* block = static_cast<uint8_t*>(QS_ALLOC(kSize, false));
    if (!block) return;
    const int32_t header[3] = {64, 64, 0};
    std::memcpy(block, "RAW ", 4);
    std::memcpy(block + 4, header, sizeof header);
    std::memset(block + 16, 0xFF, kSize - 16);
    s_textures[kWhiteSlot] = GR_D3D_CreateTextureFromImage(block, kSize, nullptr);
    if (!s_textures[kWhiteSlot]) QS_FREE(block);
}

void Particle_FreeTextures()
{
    for (D3DTexture*& texture : s_textures) {
        if (texture) GR_D3D_FreeTexture(texture);
        texture = nullptr;
    }
    for (int i = 0; i < PARTICLE_SHAPE_COUNT; ++i) {
        s_embeddedImages[i] = nullptr;
        s_embedded[i] = nullptr;
    }
}

void Particle_LoadShapes()
{
    for (int i = 0; i < PARTICLE_SHAPE_COUNT; ++i) {
        s_embeddedImages[i] = GR_Texture_FindEmbedded(kShapeNames[i], true);
        s_embedded[i] = nullptr;
    }
}

void ParticleSystem_Draw(int32_t id)
{
    const ParticleSystem* s = ParticleSystem_Get(id);
    if (!s) return;
    bool additive = false;
    for (int32_t k = 0; k < s->count; ++k) {
        const Particle& p = s->particles[s->oldToNew ? k : s->count - 1 - k];
        if (!DrawParticle(*s, p, &additive)) break;
    }
    GR_SetBlendMode(0);
}

void ParticleSystem_DrawElement(int32_t id)
{
    const ParticleSystem* s = ParticleSystem_Get(id);
    if (s && s->autoDraw) ParticleSystem_Draw(id);
}

void ParticleSystem_DrawAtDepth(float depth)
{
    for (int32_t id = 0; id < ParticleSystem_Count(); ++id) {
        const ParticleSystem* s = ParticleSystem_Get(id);
        if (s && s->autoDraw && std::fabs(s->depth - depth) < 0.01f) ParticleSystem_Draw(id);
    }
}

float ParticleSystem_MaxDepth()
{
    float best = kNoDepth;
    for (int32_t id = 0; id < ParticleSystem_Count(); ++id) {
        const ParticleSystem* s = ParticleSystem_Get(id);
        if (s && s->autoDraw && (best == kNoDepth || s->depth > best)) best = s->depth;
    }
    return best;
}

float ParticleSystem_NextDepthBelow(float depth)
{
    float best = kNoDepth;
    for (int32_t id = 0; id < ParticleSystem_Count(); ++id) {
        const ParticleSystem* s = ParticleSystem_Get(id);
        if (s && s->autoDraw && s->depth < depth && (best == kNoDepth || s->depth > best)) best = s->depth;
    }
    return best;
}
