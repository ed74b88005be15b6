// Run-time background images: image files and their decoders, bitmaps, and
// data-file images read back from their texture page.
#include <algorithm>
#include <cstring>
#include <new>

#include "Background/Background_Class.h"
#include "Base/Console.h"
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

namespace {
constexpr uint32_t kOversizeColour = 0x0000FF;  // red

bool HasPrefix(const uint8_t* bytes, int32_t size, const char* prefix, int32_t n)
{
    return size >= n && std::memcmp(bytes, prefix, size_t(n)) == 0;
}

// Decoded bytes red, green, blue, alpha to the bitmap's blue, green, red, alpha, in place.
void SwapRedBlue(uint8_t* rgba, int32_t width, int32_t height)
{
    const size_t count = size_t(width) * size_t(height);
    for (size_t i = 0; i < count; ++i) std::swap(rgba[4 * i], rgba[4 * i + 2]);
}

// A bitmap of decoded pixels (swapped in place); null when they cannot be held.
TBitmap* BitmapOfDecoded(uint8_t* rgba, int32_t width, int32_t height)
{
    SwapRedBlue(rgba, width, height);
    BitmapLoader* loader = BitmapLoader::Create(rgba, width, height);
    if (!loader) return nullptr;
    TBitmap* bitmap = loader->CreateTBitmap(0);
    delete loader;
    return bitmap;
}

// As BitmapOfDecoded, for pixels the decoder allocated: they are freed here.
TBitmap* BitmapOfAllocated(uint8_t* rgba, int32_t width, int32_t height)
{
    if (!rgba) return nullptr;
    TBitmap* bitmap = BitmapOfDecoded(rgba, width, height);
    QS_FREE(rgba);
    return bitmap;
}

// Fills the background from a decoded bitmap and deletes it; false for none.
bool FillFromBitmap(BackgroundResource* background, TBitmap* bitmap, bool isTransparent, bool isSmooth, bool isPreload,
                bool keepAlpha)
{
    if (!bitmap) return false;
    background->CreateFromTBitmap(bitmap, isTransparent, isSmooth, isPreload, keepAlpha);
    delete bitmap;
    return true;
}
}  // namespace

bool BackgroundResource::CreateFromFile(const char* path, bool isTransparent, bool isSmooth, bool isPreload,
                                        bool keepAlpha)
{
    if (!path) return false;
    uint32_t size = 0;
    uint8_t* bytes = LoadSave_ReadAssetFile(path, &size);
    if (!bytes) return false;
    // The old texture goes only with a decoded image: the background keeps drawing as it was otherwise.
    if (size == 0 || size > 0x7FFFFFFFu ||
        !DecodeImage(bytes, static_cast<int32_t>(size), isTransparent, isSmooth, isPreload, keepAlpha))
        LogConsole->Output("Failed to decode background data in %s\n", path);
    QS_FREE(bytes);
    return true;
}

bool BackgroundResource::DecodeImage(const uint8_t* bytes, int32_t size, bool isTransparent, bool isSmooth,
                                     bool isPreload, bool keepAlpha)
{
    if (!bytes || size <= 0) return false;
    if (HasPrefix(bytes, size, "\xFF\xD8\xFF", 3) &&
        DecodeJpeg(bytes, size, isTransparent, isSmooth, isPreload, keepAlpha))
        return true;
    if (HasPrefix(bytes, size, "GIF8", 4) && DecodeGif(bytes, size, isTransparent, isSmooth, isPreload, keepAlpha))
        return true;
    return HasPrefix(bytes, size, "\x89PNG", 4) && DecodePng(bytes, size, isTransparent, isSmooth, isPreload, keepAlpha);
}

bool BackgroundResource::DecodeJpeg(const uint8_t* bytes, int32_t size, bool isTransparent, bool isSmooth,
                                    bool isPreload, bool keepAlpha)
{
    int w = 0, h = 0;
    uint8_t* rgba = ReadJPEG(bytes, size, &w, &h);
    return FillFromBitmap(this, BitmapOfAllocated(rgba, w, h), isTransparent, isSmooth, isPreload, keepAlpha);
}

bool BackgroundResource::DecodeGif(const uint8_t* bytes, int32_t size, bool isTransparent, bool isSmooth,
                                   bool isPreload, bool keepAlpha)
{
    int w = 0, h = 0;
    uint8_t* rgba = ReadGIF(bytes, size, &w, &h);
    return FillFromBitmap(this, BitmapOfAllocated(rgba, w, h), isTransparent, isSmooth, isPreload, keepAlpha);
}

bool BackgroundResource::DecodePng(const uint8_t* bytes, int32_t size, bool isTransparent, bool isSmooth,
                                   bool isPreload, bool keepAlpha)
{
    int w = 0, h = 0;
    uint8_t* rgba = ReadPNG_GetPixels(bytes, size, &w, &h, false);
    TBitmap* bitmap = rgba ? BitmapOfDecoded(rgba, w, h) : nullptr;
    ReadPNG_Free();
    return FillFromBitmap(this, bitmap, isTransparent, isSmooth, isPreload, keepAlpha);
}

void BackgroundResource::CreateFromTBitmap(const TBitmap* bitmap, bool isTransparent, bool isSmooth, bool isPreload,
                                           bool keepAlpha)
{
    Clear();
    transparent = isTransparent;
    smooth = isSmooth;
    preload = isPreload;
    if (!bitmap) return;
    width = bitmap->GetWidth();
    height = bitmap->GetHeight();
    CBitmap32* image = nullptr;
    if (width > kBackgroundMaxTextureSize || height > kBackgroundMaxTextureSize) {
        LogConsole->Output("Error creating background: image width or height exceeds maximum texture size of %d\n",
                           kBackgroundMaxTextureSize);
        width = std::min(width, kBackgroundMaxTextureSize);
        height = std::min(height, kBackgroundMaxTextureSize);
        image = new (std::nothrow) CBitmap32(width, height, kOversizeColour);
    } else {
        image = new (std::nothrow) CBitmap32(bitmap, isTransparent, isSmooth, keepAlpha);
    }
    TakeBitmap(image);
    RecreateTexture();
    MakeOwnEntry();
}

void BackgroundResource::MakeBitmapFromPage()
{
    if (m_bitmap) return;
    const STexturePageEntry* source = GetEntry();
    const int32_t scale = TexturePage_EntryScale(source);
    TBitmap* frame = TexturePage_ReadEntryBitmap(source);
    if (!frame) return;
    TakeBitmap(new (std::nothrow) CBitmap32(frame, false, false, true));
    delete frame;
    if (!m_bitmap) return;
    if (!m_entryOwned) {
        m_entry = nullptr;
        m_entryOffset = 0;
    }
    RecreateTexture();
    MakeOwnEntry();
    // The copy draws at the source's size.
    if (m_entryOwned && m_entry) {
        auto* own = const_cast<STexturePageEntry*>(m_entry);
        own->cropWidth = own->fullWidth = static_cast<uint16_t>(own->cropWidth * scale);
        own->cropHeight = own->fullHeight = static_cast<uint16_t>(own->cropHeight * scale);
    }
}
