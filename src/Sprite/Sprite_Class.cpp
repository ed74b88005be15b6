#include "Sprite/Sprite_Class.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Base/MemoryManager.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TBitmap.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Sprite/Sprite_Vector.h"

namespace {
constexpr int32_t kSkeletonFrames = 0x7FFFFFFF;
constexpr uint32_t kFixedFields = 60;  // the record up to the frame count or the extended form's words

// Reads little-endian words of a record and refuses any read past the end of the payload.
struct RecordReader {
    const uint8_t* payload;
    uint32_t length;
    uint32_t pos;  // payload-relative
    bool ok = true;

    uint32_t U32()
    {
        if (!ok || length < 4 || pos > length - 4) {
            ok = false;
            return 0;
        }
        const uint32_t v = GameData_U32(payload + pos);
        pos += 4;
        return v;
    }
    float F32()
    {
        const uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    // Skips n bytes; false (and the reader failed) when they are not all there.
    bool Skip(uint64_t n)
    {
        if (!ok || n > length - pos) ok = false;
        else pos += static_cast<uint32_t>(n);
        return ok;
    }
};
}  // namespace

int32_t TruncateBound(float v)
{
    if (!(v == v)) return 0;
    if (v >= 2147483520.0f) return INT32_MAX;
    if (v <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(v);
}

CSprite::CSprite()
{
    Clear();
}

CSprite::~CSprite()
{
    Clear();
}

void CSprite::FreeBitmaps()
{
    for (int32_t i = 0; i < m_bitmapCount; ++i) delete m_bitmaps[i];
    QS_FREE(m_bitmaps);
    m_bitmaps = nullptr;
    m_bitmapCount = 0;
}

void CSprite::FreePageEntries()
{
    if (m_pageEntries && m_ownsPageEntries)
        for (int32_t i = 0; i < m_ownedEntryCount; ++i) {
            // A handle given to game code must not outlive its entry.
            TPE_ForgetEntry(m_pageEntries[i]);
            QS_FREE(const_cast<STexturePageEntry*>(m_pageEntries[i]));
        }
    QS_FREE(m_pageEntries);
    QS_FREE(m_entryOffsets);
    m_pageEntries = nullptr;
    m_entryOffsets = nullptr;
    m_ownsPageEntries = false;
    m_ownedEntryCount = 0;
}

void CSprite::Clear()
{
    FreeVectorData();
    loadedFromDataFile = false;
    FreePageEntries();
    FreeBitmaps();
    FreeTextures();
    QS_FREE(m_textures);
    m_textures = nullptr;
    m_textureCount = 0;
    FreeMasks();
    frameCount = 0;
    bboxLeft = bboxTop = bboxRight = bboxBottom = 0;
    width = height = 1;
    transparent = true;
    smooth = false;
    preload = true;
    bboxMode = 0;
    precise = true;
    xorigin = yorigin = 0;
    extent = 0;
    oneMaskPerFrame = true;
    skeletonData = nullptr;
    m_storedMaskCount = 0;
    m_storedMasks = nullptr;
    name = nullptr;
    index = 0;
    kind = SPRITE_KIND_BITMAP;
}

void CSprite::FreeMasks()
{
    if (!m_masksBuilt) return;
    for (int32_t i = 0; i < m_maskCount; ++i) QS_FREE(m_masks[i].bytes);
    QS_FREE(m_masks);
    m_masks = nullptr;
    m_maskCount = 0;
    m_masksBuilt = false;
}

void CSprite::FreeTextures()
{
    for (int32_t i = 0; i < m_textureCount; ++i)
        if (m_textures[i] >= 0) {
            GR_Texture_Free(m_textures[i]);
            m_textures[i] = -1;
        }
}

bool CSprite::LoadFromChunk(const uint8_t* payload, uint32_t length, uint32_t recordOffset, uint32_t slot)
{
    Clear();
    const uint32_t payloadOffset = static_cast<uint32_t>(payload - GameData);
    if (!GameData_CheckRecord("SPRT", payload, length, recordOffset, kFixedFields + 4, "sprite", slot))
        return false;
    RecordReader r{payload, length, recordOffset - payloadOffset};
    r.U32();  // the name, read by the table
    int32_t w = static_cast<int32_t>(r.U32()), h = static_cast<int32_t>(r.U32());
    int32_t left = static_cast<int32_t>(r.U32()), right = static_cast<int32_t>(r.U32());
    int32_t bottom = static_cast<int32_t>(r.U32()), top = static_cast<int32_t>(r.U32());
    const bool isTransparent = r.U32() != 0, isSmooth = r.U32() != 0, isPreload = r.U32() != 0;
    const int32_t mode = static_cast<int32_t>(r.U32());
    const bool isPrecise = r.U32() != 0;
    const int32_t xo = static_cast<int32_t>(r.U32()), yo = static_cast<int32_t>(r.U32());
    int32_t frames = static_cast<int32_t>(r.U32());
    int32_t spriteKind = SPRITE_KIND_BITMAP;
    float speed = 30.0f;
    int32_t speedType = 0;
    if (frames == -1) {
        r.U32();  // not used
        spriteKind = static_cast<int32_t>(r.U32());
        if (LayerMode) {
            speed = r.F32();
            speedType = static_cast<int32_t>(r.U32());
        }
        frames = 0;
    }
    if (!r.ok) return GameData_Fail("SPRT", "sprite %u is cut short by the end of the chunk", slot);
    // A vector sprite's size comes from its vector data.
    if (spriteKind != SPRITE_KIND_VECTOR && (w < 1 || h < 1 || int64_t{w} * h > (int64_t{1} << 26)))
        return GameData_Fail("SPRT", "sprite %u has a frame size of %d x %d", slot, w, h);
    uint32_t entriesAt = r.pos;
    uint32_t maskCount = 0;
    const uint8_t* masks = nullptr;
    const void* skeleton = nullptr;
    if (spriteKind == SPRITE_KIND_BITMAP) {
        if (frames == 0 && LayerMode) frames = static_cast<int32_t>(r.U32());
        entriesAt = r.pos;
        if (frames < 0 || !r.Skip(uint64_t(uint32_t(frames)) * 4))
            return GameData_Fail("SPRT", "sprite %u: %d frames do not fit the chunk", slot, frames);
        for (int32_t i = 0; i < frames; ++i) {
            const uint32_t entry = GameData_U32(payload + entriesAt + 4 * uint32_t(i));
            if (entry != 0 && (entry > GameDataSize || GameDataSize - entry < kTexturePageEntrySize))
                return GameData_Fail("SPRT", "sprite %u frame %d: page entry offset %u lies outside the data", slot,
                                     i, entry);
        }
        maskCount = r.U32();
        const uint64_t maskBytes = uint64_t((w + 7) / 8) * uint64_t(h);
        if (!r.ok || !r.Skip(maskBytes * maskCount))
            return GameData_Fail("SPRT", "sprite %u: %u masks of %d x %d do not fit the chunk", slot, maskCount, w, h);
        if (maskCount > 0) masks = payload + r.pos - maskBytes * maskCount;
    } else if (spriteKind == SPRITE_KIND_SKELETON) {
        skeleton = payload + r.pos;
        r.U32();
        const uint32_t jsonLength = r.U32(), atlasLength = r.U32();
        r.U32();
        r.U32();
        const uint32_t textureLength = r.U32();
        if (!r.ok || !r.Skip(uint64_t(jsonLength) + atlasLength + textureLength))
            return GameData_Fail("SPRT", "sprite %u: its skeleton data does not fit the chunk", slot);
    } else if (spriteKind == SPRITE_KIND_VECTOR) {
        r.U32();  // not used
        if (!r.ok) return GameData_Fail("SPRT", "sprite %u is cut short by the end of the chunk", slot);
    } else {
        return GameData_Fail("SPRT", "sprite %u is of unknown kind %d", slot, spriteKind);
    }

    width = w;
    height = h;
    bboxLeft = left;
    bboxRight = right;
    bboxBottom = bottom;
    bboxTop = top;
    transparent = isTransparent;
    smooth = isSmooth;
    preload = isPreload;
    bboxMode = mode;
    precise = isPrecise;
    xorigin = xo;
    yorigin = yo;
    playbackSpeed = speed;
    playbackSpeedType = speedType;
    kind = spriteKind;
    if (kind == SPRITE_KIND_BITMAP) {
        frameCount = frames;
        if (frames > 0) {
            m_pageEntries = static_cast<const STexturePageEntry**>(QS_ALLOC(sizeof(void*) * size_t(frames), true));
            m_entryOffsets = static_cast<uint32_t*>(QS_ALLOC(4 * size_t(frames), true));
            if (!m_pageEntries || !m_entryOffsets) {
                Clear();
                return GameData_Fail("SPRT", "no memory for the %d frames of sprite %u", frames, slot);
            }
            for (int32_t i = 0; i < frames; ++i) m_entryOffsets[i] = GameData_U32(payload + entriesAt + 4 * uint32_t(i));
        }
        m_storedMaskCount = static_cast<int32_t>(maskCount);
        m_storedMasks = masks;
        oneMaskPerFrame = maskCount > 0 && maskCount == uint32_t(frames);
    } else if (kind == SPRITE_KIND_SKELETON) {
        // The skeleton runtime builds its skeleton from this block when an instance needs one.
        skeletonData = skeleton;
        frameCount = kSkeletonFrames;
    }
    if (kind == SPRITE_KIND_VECTOR) {
        loadedFromDataFile = true;
        char why[256] = "";
        if (!LoadVector(payload + r.pos, length - r.pos, xo, yo, why, sizeof why)) {
            Clear();
            return GameData_Fail("SPRT", "sprite %u: %s", slot, why);
        }
        return true;
    }
    // The record's box stands; only the extent is computed.
    ComputeExtent();
    return true;
}

void CSprite::ComputeExtent()
{
    const int32_t corners[4][2] = {{0, 0}, {width, 0}, {0, height}, {width, height}};
    extent = 0;
    for (const auto& c : corners) {
        const int64_t dx = int64_t{c[0]} - xorigin, dy = int64_t{c[1]} - yorigin;
        const float sum = static_cast<float>(dx * dx) + static_cast<float>(dy * dy);
        const float root = static_cast<float>(std::sqrt(static_cast<double>(sum)));
        // Origins from game data can be anything: the extent saturates instead of overflowing.
        const float up = std::ceil(root);
        extent = std::max(extent, up < 2147483520.0f ? static_cast<int32_t>(up) : INT32_MAX);
    }
}

void CSprite::ComputeBoundingBox()
{
    ComputeExtent();
    if (bboxMode == 2) return;
    if (!transparent || bboxMode == 1) {
        bboxLeft = bboxTop = 0;
        bboxRight = width - 1;
        bboxBottom = height - 1;
        return;
    }
    if (frameCount == 0) {
        bboxLeft = bboxTop = bboxRight = bboxBottom = 0;
        return;
    }
    if (kind == SPRITE_KIND_VECTOR && m_vectorTimeline) {
        bboxLeft = TruncateBound(m_vectorTimeline->left);
        bboxTop = TruncateBound(m_vectorTimeline->top);
        bboxRight = TruncateBound(m_vectorTimeline->right);
        bboxBottom = TruncateBound(m_vectorTimeline->bottom);
        return;
    }
    if (kind != SPRITE_KIND_BITMAP || bboxMode != 0 || m_bitmapCount == 0) return;
    bboxLeft = width - 1;
    bboxTop = height - 1;
    bboxRight = bboxBottom = 0;
    for (int32_t i = 0; i < m_bitmapCount; ++i) {
        const CBitmap32* b = m_bitmaps[i];
        if (!b || !b->IsValid()) continue;
        int32_t r[4];
        b->GetOpaqueBounds(r);
        // A frame without opaque pixels reports an inverted box, which widens nothing.
        if (r[0] > r[2] || r[1] > r[3]) continue;
        bboxLeft = std::min(bboxLeft, r[0]);
        bboxTop = std::min(bboxTop, r[1]);
        bboxRight = std::max(bboxRight, r[2]);
        bboxBottom = std::max(bboxBottom, r[3]);
    }
}

void CSprite::CreateTextures()
{
    FreeTextures();
    if (m_pageEntries && !m_ownsPageEntries) return;
    QS_FREE(m_textures);
    m_textures = nullptr;
    m_textureCount = 0;
    if (frameCount <= 0 || kind != SPRITE_KIND_BITMAP) return;
    m_textures = static_cast<int32_t*>(QS_ALLOC(4 * size_t(frameCount), false));
    if (!m_textures) return;
    m_textureCount = frameCount;
    for (int32_t i = 0; i < frameCount; ++i) {
        m_textures[i] = GR_Texture_CreateFromBitmap(i < m_bitmapCount ? m_bitmaps[i] : nullptr);
        if (preload && m_textures[i] >= 0) GR_Texture_Preload(m_textures[i]);
    }
}

void CSprite::BuildPageEntries()
{
    if (m_pageEntries && !m_ownsPageEntries) return;
    FreePageEntries();
    if (m_bitmapCount == 0) return;
    m_pageEntries = static_cast<const STexturePageEntry**>(QS_ALLOC(sizeof(void*) * size_t(m_bitmapCount), true));
    if (!m_pageEntries) return;
    m_ownsPageEntries = true;
    m_ownedEntryCount = m_bitmapCount;
    for (int32_t i = 0; i < m_bitmapCount; ++i) {
        auto* e = static_cast<STexturePageEntry*>(QS_ALLOC(sizeof(STexturePageEntry), true));
        if (!e) continue;
        const CBitmap32* b = m_bitmaps[i];
        const auto w = static_cast<uint16_t>(b ? b->GetWidth() : 0), h = static_cast<uint16_t>(b ? b->GetHeight() : 0);
        e->width = e->cropWidth = e->fullWidth = w;
        e->height = e->cropHeight = e->fullHeight = h;
        e->texture = static_cast<int16_t>(i < m_textureCount ? m_textures[i] : -1);
        m_pageEntries[i] = e;
    }
}

int32_t CSprite::WrapFrame(int32_t frame) const
{
    int32_t f = frame % frameCount;
    return f < 0 ? f + frameCount : f;
}

const STexturePageEntry* CSprite::GetPageEntry(int32_t frame) const
{
    if (!m_pageEntries || frameCount <= 0) return nullptr;
    const int32_t f = WrapFrame(frame);
    if (!m_pageEntries[f] && m_entryOffsets && m_entryOffsets[f] != 0)
        m_pageEntries[f] = TPAG_FindEntry(m_entryOffsets[f]);
    return m_pageEntries[f];
}

int32_t CSprite::GetTexture(int32_t frame) const
{
    if (kind != SPRITE_KIND_BITMAP || frameCount <= 0) return -1;
    if (m_pageEntries && !m_ownsPageEntries) return TPE_GetHandle(GetPageEntry(frame));
    return GetFrameTexture(frame);
}

int32_t CSprite::GetFrameTexture(int32_t frame) const
{
    if (!m_textures || frameCount <= 0) return -1;
    const int32_t f = WrapFrame(frame);
    return f < m_textureCount ? m_textures[f] : -1;
}

const CBitmap32* CSprite::GetFrameBitmap(int32_t frame) const
{
    return frame >= 0 && frame < m_bitmapCount ? m_bitmaps[frame] : nullptr;
}

TBitmap* CSprite::GetBitmap(int32_t frame) const
{
    if (kind != SPRITE_KIND_BITMAP || frame < 0 || frame >= frameCount) return nullptr;
    const CBitmap32* b = GetFrameBitmap(frame);
    return b ? b->ToTBitmap() : nullptr;
}

void CSprite::GetFrameBounds(int32_t frame, int32_t out[4]) const
{
    out[0] = out[1] = out[2] = out[3] = 0;
    if (frame < 0 || frame >= frameCount) return;
    if (kind == SPRITE_KIND_VECTOR && m_vectorTimeline) {
        const float* b = m_vectorTimeline->frames[frame].bounds;  // left, right, top, bottom
        out[0] = TruncateBound(b[0]);
        out[1] = TruncateBound(b[2]);
        out[2] = TruncateBound(b[1]);
        out[3] = TruncateBound(b[3]);
        return;
    }
    if (kind != SPRITE_KIND_BITMAP) return;
    if (m_pageEntries && !m_ownsPageEntries) {
        if (const STexturePageEntry* e = GetPageEntry(frame)) {
            out[0] = e->xOffset;
            out[1] = e->yOffset;
            out[2] = out[0] + e->width;
            out[3] = out[1] + e->height;
        }
        return;
    }
    if (const CBitmap32* b = GetFrameBitmap(frame)) b->GetOpaqueBounds(out);
}

void CSprite::SetBoundingBox(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (bboxMode != 2) return;
    bboxLeft = left;
    bboxTop = top;
    bboxRight = right;
    bboxBottom = bottom;
}

void CSprite::SetBoundingBoxMode(int32_t mode)
{
    if (static_cast<uint32_t>(mode) > 2 || mode == bboxMode) return;
    bboxMode = mode;
    ComputeBoundingBox();
}

void CSprite::SetPrecise(bool on)
{
    if (on != precise) {
        precise = on;
        if (kind == SPRITE_KIND_BITMAP) BuildAlphaMasks();
    }
}
