// Run-time frames of a sprite: loading from files and decoded pixels, frames
// from bitmaps, merging, copying, alpha transfer and reading data-file frames
// back from their texture pages.
#include <algorithm>
#include <cstring>
#include <new>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/Graphics_FunctionsM.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/JPEG_Main.h"
#include "Graphics/ReadPNG.h"
#include "Graphics/TBitmap.h"
#include "Graphics/TexturePageBitmap.h"
#include "Graphics/TexturePages.h"
#include "IO/LoadSave.h"
#include "Sprite/Sprite_Class.h"

namespace {
bool HasPrefix(const uint8_t* bytes, int32_t size, const char* prefix, int32_t n)
{
    return size >= n && std::memcmp(bytes, prefix, size_t(n)) == 0;
}

// Decoded bytes red, green, blue, alpha to 0xAARRGGBB words, in place.
void SwapRedBlue(uint8_t* rgba, int32_t width, int32_t height)
{
    const size_t count = size_t(width) * size_t(height);
    for (size_t i = 0; i < count; ++i) std::swap(rgba[4 * i], rgba[4 * i + 2]);
}

CBitmap32** NewBitmapArray(int32_t count)
{
    return static_cast<CBitmap32**>(QS_ALLOC(sizeof(CBitmap32*) * size_t(std::max(count, 1)), true));
}
}  // namespace

void CSprite::SetFrames(CBitmap32** bitmaps, int32_t count)
{
    FreePageEntries();
    FreeBitmaps();
    m_bitmaps = bitmaps;
    m_bitmapCount = bitmaps ? count : 0;
    frameCount = m_bitmapCount;
}

void CSprite::FinishRuntimeFrames()
{
    CreateTextures();
    BuildPageEntries();
    ComputeBoundingBox();
    BuildAlphaMasks();
}

bool CSprite::LoadFromFile(const char* path, int32_t frames, bool isPrecise, bool isTransparent, bool isSmooth, bool,
                           int32_t xorig, int32_t yorig, bool keepAlpha)
{
    if (!path) return false;
    uint32_t size = 0;
    uint8_t* bytes = LoadSave_ReadAssetFile(path, &size);
    if (!bytes || size == 0 || size > 0x7FFFFFFFu) {
        QS_FREE(bytes);
        return false;
    }
    const bool loaded = LoadFromMemory(bytes, static_cast<int32_t>(size), frames, isPrecise, isTransparent, isSmooth,
                                       xorig, yorig, keepAlpha);
    QS_FREE(bytes);
    return loaded;
}

bool CSprite::LoadFromMemory(const uint8_t* bytes, int32_t n, int32_t frames, bool isPrecise, bool isTransparent,
                             bool isSmooth, int32_t xorig, int32_t yorig, bool keepAlpha)
{
    bool loaded = false;
    if (HasPrefix(bytes, n, "\xFF\xD8\xFF", 3))
        loaded = LoadJPEG(bytes, n, frames, isPrecise, isTransparent, isSmooth, xorig, yorig, keepAlpha);
    else if (HasPrefix(bytes, n, "GIF8", 4))
        loaded = LoadGIF(bytes, n, frames, isPrecise, isTransparent, isSmooth, xorig, yorig, keepAlpha);
    if (!loaded) loaded = LoadPNG(bytes, n, frames, isPrecise, isTransparent, isSmooth, xorig, yorig, keepAlpha);
    return loaded;
}

bool CSprite::LoadPNG(const uint8_t* bytes, int32_t size, int32_t frames, bool isPrecise, bool isTransparent,
                      bool isSmooth, int32_t xorig, int32_t yorig, bool keepAlpha)
{
    int w = 0, h = 0;
    uint8_t* rgba = ReadPNG_GetPixels(bytes, size, &w, &h, false);
    bool loaded = false;
    if (rgba) {
        SwapRedBlue(rgba, w, h);
        loaded = LoadFromPixels(reinterpret_cast<const uint32_t*>(rgba), w, h, frames, isPrecise, isTransparent,
                                isSmooth, xorig, yorig, keepAlpha);
    }
    ReadPNG_Free();
    return loaded;
}

bool CSprite::LoadJPEG(const uint8_t* bytes, int32_t size, int32_t frames, bool isPrecise, bool isTransparent,
                       bool isSmooth, int32_t xorig, int32_t yorig, bool keepAlpha)
{
    int w = 0, h = 0;
    return LoadDecoded(ReadJPEG(bytes, size, &w, &h), w, h, frames, isPrecise, isTransparent, isSmooth, xorig,
                       yorig, keepAlpha);
}

bool CSprite::LoadGIF(const uint8_t* bytes, int32_t size, int32_t frames, bool isPrecise, bool isTransparent,
                      bool isSmooth, int32_t xorig, int32_t yorig, bool keepAlpha)
{
    int w = 0, h = 0;
    return LoadDecoded(ReadGIF(bytes, size, &w, &h), w, h, frames, isPrecise, isTransparent, isSmooth, xorig,
                       yorig, keepAlpha);
}

// Takes the decoder's red-green-blue-alpha pixels (null: the decode failed).
bool CSprite::LoadDecoded(uint8_t* rgba, int32_t w, int32_t h, int32_t frames, bool isPrecise, bool isTransparent,
                          bool isSmooth, int32_t xorig, int32_t yorig, bool keepAlpha)
{
    if (!rgba) return false;
    SwapRedBlue(rgba, w, h);
    const bool loaded = LoadFromPixels(reinterpret_cast<const uint32_t*>(rgba), w, h, frames, isPrecise,
                                       isTransparent, isSmooth, xorig, yorig, keepAlpha);
    QS_FREE(rgba);
    return loaded;
}

bool CSprite::LoadFromPixels(const uint32_t* pixels, int32_t w, int32_t h, int32_t frames, bool isPrecise,
                             bool isTransparent, bool isSmooth, int32_t xorig, int32_t yorig, bool keepAlpha)
{
    BitmapLoader* loader = BitmapLoader::Create(reinterpret_cast<const uint8_t*>(pixels), w, h);
    if (!loader) return false;
    LoadStrip(loader, isTransparent, isSmooth, frames, keepAlpha);
    delete loader;
    precise = isPrecise;
    xorigin = xorig;
    yorigin = yorig;
    bboxMode = 0;
    preload = true;
    FinishRuntimeFrames();
    return true;
}

void CSprite::LoadStrip(const IBitmapLoader* loader, bool isTransparent, bool isSmooth, int32_t frames, bool keepAlpha)
{
    TBitmap* bitmap = loader->CreateTBitmap(0);
    Clear();
    transparent = isTransparent;
    smooth = isSmooth;
    if (!bitmap) {
        LogConsole->Output("CSprite::LoadStrip :: Unable to load sprite data\n");
        return;
    }
    frames = std::max(frames, 1);
    const CBitmap32 whole = keepAlpha ? CBitmap32(bitmap, false, false, true) : CBitmap32(bitmap, transparent, smooth);
    delete bitmap;
    const int32_t frameWidth = whole.GetWidth() / frames;
    // A strip narrower than its frame count has nothing to cut.
    if (!whole.IsValid() || frameWidth < 1) return;
    width = frameWidth;
    height = whole.GetHeight();
    CBitmap32** bitmaps = NewBitmapArray(frames);
    if (!bitmaps) return;
    for (int32_t i = 0; i < frames; ++i) bitmaps[i] = new (std::nothrow) CBitmap32(whole, i * frameWidth, 0, width, height);
    SetFrames(bitmaps, frames);
}

void CSprite::CreateFromBitmap(const TBitmap* bitmap, bool isPrecise, bool isTransparent, bool isSmooth,
                               bool isPreload, int32_t xorig, int32_t yorig, bool keepAlpha)
{
    Clear();
    if (!bitmap) return;
    width = bitmap->GetWidth();
    height = bitmap->GetHeight();
    transparent = isTransparent;
    smooth = isSmooth;
    preload = isPreload;
    precise = isPrecise;
    xorigin = xorig;
    yorigin = yorig;
    bboxMode = 0;
    CBitmap32** bitmaps = NewBitmapArray(1);
    if (!bitmaps) return;
    bitmaps[0] = new (std::nothrow) CBitmap32(bitmap, isTransparent, isSmooth, keepAlpha);
    SetFrames(bitmaps, 1);
    FinishRuntimeFrames();
}

void CSprite::AddFrame(const TBitmap* bitmap, bool isTransparent, bool isSmooth, bool keepAlpha)
{
    if (!bitmap || kind != SPRITE_KIND_BITMAP) return;
    if (frameCount == 0) {
        width = bitmap->GetWidth();
        height = bitmap->GetHeight();
    }
    // Data-file frames have no bitmaps to keep: their slots stay empty in the new array.
    const int32_t count = frameCount + 1;
    CBitmap32** bitmaps = NewBitmapArray(count);
    if (!bitmaps) return;
    for (int32_t i = 0; i < m_bitmapCount && i < count - 1; ++i) std::swap(bitmaps[i], m_bitmaps[i]);
    auto* frame = new (std::nothrow) CBitmap32(bitmap, isTransparent, isSmooth, keepAlpha);
    if (frame) frame->Resize(width, height);
    bitmaps[count - 1] = frame;
    SetFrames(bitmaps, count);
    FinishRuntimeFrames();
}

void CSprite::Merge(const CSprite* source)
{
    if (!source) return;
    if (m_bitmapCount == 0 && frameCount > 0) {
        ReportRuntimeError("sprite_merge() requires the destination sprite to have been duplicated", false);
        return;
    }
    if (source->m_bitmapCount == 0 && source->frameCount > 0) {
        ReportRuntimeError("sprite_merge() requires the source sprite to have been duplicated", false);
        return;
    }
    if (frameCount == 0) {
        width = source->width;
        height = source->height;
    }
    const int32_t added = source->m_bitmapCount, count = m_bitmapCount + added;
    CBitmap32** bitmaps = NewBitmapArray(count);
    if (!bitmaps) return;
    // Copied before anything is moved: the source may be this sprite.
    for (int32_t i = 0; i < added; ++i) {
        const CBitmap32* from = source->m_bitmaps[i];
        bitmaps[m_bitmapCount + i] = from ? new (std::nothrow) CBitmap32(*from) : nullptr;
        if (bitmaps[m_bitmapCount + i]) bitmaps[m_bitmapCount + i]->Resize(width, height);
    }
    for (int32_t i = 0; i < m_bitmapCount; ++i) std::swap(bitmaps[i], m_bitmaps[i]);
    SetFrames(bitmaps, count);
    FinishRuntimeFrames();
}

void CSprite::CopyFrom(const CSprite* source)
{
    if (!source || source == this || source->kind != SPRITE_KIND_BITMAP) return;
    Clear();
    width = source->width;
    height = source->height;
    bboxLeft = source->bboxLeft;
    bboxTop = source->bboxTop;
    bboxRight = source->bboxRight;
    bboxBottom = source->bboxBottom;
    transparent = source->transparent;
    smooth = source->smooth;
    preload = source->preload;
    bboxMode = source->bboxMode;
    precise = source->precise;
    xorigin = source->xorigin;
    yorigin = source->yorigin;
    frameCount = source->frameCount;
    extent = source->extent;
    playbackSpeed = source->playbackSpeed;
    playbackSpeedType = source->playbackSpeedType;
    m_storedMaskCount = source->m_storedMaskCount;
    m_storedMasks = source->m_storedMasks;
    oneMaskPerFrame = source->oneMaskPerFrame;
    if (source->m_pageEntries && !source->m_ownsPageEntries && frameCount > 0) {
        // Data-file frames: the same entries, which nobody owns; the array is this sprite's own.
        m_pageEntries = static_cast<const STexturePageEntry**>(QS_ALLOC(sizeof(void*) * size_t(frameCount), true));
        m_entryOffsets = static_cast<uint32_t*>(QS_ALLOC(4 * size_t(frameCount), true));
        if (m_pageEntries && m_entryOffsets) {
            for (int32_t i = 0; i < frameCount; ++i) m_pageEntries[i] = source->GetPageEntry(i);
            if (source->m_entryOffsets) std::memcpy(m_entryOffsets, source->m_entryOffsets, 4 * size_t(frameCount));
        }
    }
    if (source->m_bitmapCount > 0) {
        m_bitmaps = NewBitmapArray(source->m_bitmapCount);
        if (m_bitmaps) {
            m_bitmapCount = source->m_bitmapCount;
            for (int32_t i = 0; i < m_bitmapCount; ++i)
                m_bitmaps[i] = source->m_bitmaps[i] ? new (std::nothrow) CBitmap32(*source->m_bitmaps[i]) : nullptr;
        }
    }
    CreateTextures();
    if (!source->m_pageEntries || source->m_ownsPageEntries) BuildPageEntries();
    BuildAlphaMasks();
}

void CSprite::SetAlphaFromSprite(const CSprite* source)
{
    if (!source || source->frameCount <= 0) return;
    if (m_pageEntries && !m_ownsPageEntries) {
        ReportRuntimeError("sprite_set_alpha_from_sprite() requires the destination sprite to have been duplicated", false);
        return;
    }
    if (source->m_pageEntries && !source->m_ownsPageEntries) {
        ReportRuntimeError("sprite_set_alpha_from_sprite() requires the source sprite to have been duplicated", false);
        return;
    }
    for (int32_t i = 0; i < m_bitmapCount; ++i)
        if (m_bitmaps[i]) m_bitmaps[i]->SetAlphaFrom(source->GetFrameBitmap(i % source->frameCount));
    CreateTextures();
    BuildPageEntries();
}

bool CSprite::ReadBackFrames()
{
    if (kind != SPRITE_KIND_BITMAP || frameCount <= 0) return false;
    CBitmap32** bitmaps = NewBitmapArray(frameCount);
    if (!bitmaps) return false;
    int32_t read = 0;
    for (; read < frameCount; ++read) {
        TBitmap* frame = TexturePage_ReadEntryBitmap(GetPageEntry(read));
        if (!frame) break;
        bitmaps[read] = new (std::nothrow) CBitmap32(frame, false, false, true);
        delete frame;
    }
    FreeBitmaps();
    m_bitmaps = bitmaps;
    m_bitmapCount = read;
    return read == frameCount;
}
