#pragma once
// A game with one texture page of glyph blocks and the fonts a test asks
// for, made with the game-data writer. The page is 16 × 8: white columns
// 0-3 ('A', 4 × 8), 4-5 ('B', 2 × 8) and 10-12 rows 0-5 (the U+25AF box);
// the rest is clear.
#include <optional>
#include <vector>

#include "gamedata/FormWriter.h"
#include "support/ImageFixtures.h"

namespace fontgame {

inline gamedata::FontGlyphEntry Glyph(uint16_t c, int16_t x, int16_t w, int16_t h, int16_t shift, int16_t offset)
{
    gamedata::FontGlyphEntry g;
    g.character = c;
    g.x = x;
    g.width = w;
    g.height = h;
    g.shift = shift;
    g.offset = offset;
    return g;
}

// 'A' advances 5, 'B' 3 (drawn one pixel right of the pen), space 4, the box 4.
inline gamedata::FontEntry BlockFont(const char* name, bool withBox)
{
    gamedata::FontEntry f;
    f.name = name;
    f.displayName = "Blocks";
    f.size = 9;
    f.bold = 1;
    f.first = 32;
    f.charset = 1;
    f.antialiasPlusOne = 3;
    f.last = 0x25AF;
    f.entry = 0;
    f.glyphs = {Glyph(32, 14, 0, 0, 4, 0), Glyph('A', 0, 4, 8, 5, 0), Glyph('B', 4, 2, 8, 3, 1)};
    if (withBox) f.glyphs.push_back(Glyph(0x25AF, 10, 3, 6, 4, 0));
    return f;
}

// Every lower-case letter and the space advance 10; glyphs are 8 high.
inline gamedata::FontEntry MonoFont(const char* name)
{
    gamedata::FontEntry f;
    f.name = name;
    f.entry = 0;
    f.glyphs.push_back(Glyph(32, 14, 0, 0, 10, 0));
    for (uint16_t c = 'a'; c <= 'z'; ++c) f.glyphs.push_back(Glyph(c, 0, 4, 8, 10, 0));
    return f;
}

inline std::vector<uint8_t> Make(const std::vector<std::optional<gamedata::FontEntry>>& fonts, uint32_t major = 2)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.major = major;
    w.Gen8(h);
    w.Font(fonts);
    gamedata::TexturePageEntry e;
    e.width = e.cropWidth = e.fullWidth = 16;
    e.height = e.cropHeight = e.fullHeight = 8;
    w.Tpag({e});
    ImageFixtures::Bytes rgba(16 * 8 * 4, 0);
    auto set = [&](int x, int y) {
        for (int k = 0; k < 4; ++k) rgba[(y * 16 + x) * 4 + k] = 255;
    };
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 6; ++x) set(x, y);
    for (int y = 0; y < 6; ++y)
        for (int x = 10; x < 13; ++x) set(x, y);
    gamedata::Texture t;
    t.image = ImageFixtures::EncodeRgbaPng(16, 8, rgba);
    w.Txtr({t});
    w.Strg();
    return w.Finish();
}

}  // namespace fontgame
