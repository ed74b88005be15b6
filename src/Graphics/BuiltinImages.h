#pragma once
// The images built into the program, made by its own code at first use: the
// table GR_D3D_SetBuiltinTextures takes (17 entries: 0 a plain 64 × 64
// white image, 1-14 the particle shapes in shape order, 15 the 256 × 128
// overlay and default-text font, 16 a 64 × 64 PNG emblem for start-up).
#include <array>
#include <cstdint>

constexpr int BUILTIN_IMAGE_COUNT = 17;
constexpr int BUILTIN_IMAGE_FONT = 15;
constexpr int BUILTIN_FONT_FIRST = 32;
constexpr int BUILTIN_FONT_LAST = 136;

// The table's bytes; they live until the program ends.
const uint8_t* BuiltinImages_Table(uint32_t* size);

// The start-up emblem's 8-bit RGBA pixels (64 × 64), living until the
// program ends: the icon of a game window when the game has none.
const uint8_t* BuiltinImages_Emblem(int* width, int* height);

// Glyphs of characters 32..136 on the font image: u, v, width, height in texels.
using BuiltinGlyphTable = std::array<std::array<uint8_t, 4>, BUILTIN_FONT_LAST - BUILTIN_FONT_FIRST + 1>;
extern const BuiltinGlyphTable BuiltinFontGlyphs;
