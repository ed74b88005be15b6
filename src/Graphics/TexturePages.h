#pragma once
// Texture-page entries ("TPAG") and the texture pages themselves ("TXTR").
// Entries are copied out of the image; the TXTR reader replaces their page
// index by the game texture id in the copy, never in the image.
#include <cstdint>

struct STexturePageEntry {
    uint16_t x, y, width, height;    // rectangle on the texture page
    int16_t xOffset, yOffset;        // where the cropped image sits inside the full frame
    uint16_t cropWidth, cropHeight;
    uint16_t fullWidth, fullHeight;
    int16_t texture;                 // page index in the file, then the texture id
};

constexpr uint32_t kTexturePageEntrySize = 22;

bool TPAG_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
bool TXTR_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);

// The entry whose record lies at this absolute file offset (how sprites,
// backgrounds and fonts refer to entries), null when there is none.
const STexturePageEntry* TPAG_FindEntry(uint32_t offset);
uint32_t TPAG_EntryCount();

uint32_t TXTR_TextureCount();
// Texture id of page index, -1 when out of range.
int TXTR_TextureId(uint32_t index);

// Also forgets the embedded images, whose names lie in the game data.
void TexturePages_Free();
