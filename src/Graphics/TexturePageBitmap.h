#pragma once
// The image of a texture-page entry read back from its page, placed in its
// full frame as a 32-bit bitmap.
#include <cstdint>

struct STexturePageEntry;
class TBitmap;

// A page may hold the image reduced: by how much (1 when it is not).
int32_t TexturePage_EntryScale(const STexturePageEntry* entry);
// The bitmap keeps the page's pixels at the reduced size. Null when the
// entry's page is gone or cannot be read.
TBitmap* TexturePage_ReadEntryBitmap(const STexturePageEntry* entry);
