#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gamedata/FormWriter.h"

namespace {
uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

std::string Text(const std::vector<uint8_t>& b, size_t at)
{
    return std::string(reinterpret_cast<const char*>(b.data() + at));
}

// Byte positions checked by hand against the file layout, independent of the loader.
TEST(FormWriterTest, LaysOutContainerHeaderOptionsAndStringsByteForByte)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.formatVersion = 14;
    h.gameName = "G";
    h.roomOrder = {7, 8};
    h.gameSpeed = 2.0f;
    w.Gen8(h);
    gamedata::Options o;
    o.constants = {{"K", "V"}};
    w.Optn(o);
    const std::vector<uint8_t> b = w.Finish();

    ASSERT_EQ(std::memcmp(b.data(), "FORM", 4), 0);
    EXPECT_EQ(U32(b, 4), b.size() - 8);
    ASSERT_EQ(std::memcmp(b.data() + 8, "GEN8", 4), 0);
    const size_t gen8 = 16;
    EXPECT_EQ(U32(b, 12), 176u + 4 * 2);
    EXPECT_EQ(b[gen8 + 1], 14);
    EXPECT_EQ(U32(b, gen8 + 44), 2u);  // major version
    EXPECT_EQ(U32(b, gen8 + 128), 2u);
    EXPECT_EQ(U32(b, gen8 + 132), 7u);
    EXPECT_EQ(U32(b, gen8 + 136), 8u);
    EXPECT_EQ(U32(b, gen8 + 180), 0x40000000u);  // 2.0f at 172 + 4N
    const uint32_t nameRef = U32(b, gen8 + 40);
    EXPECT_EQ(Text(b, nameRef), "G");
    EXPECT_EQ(U32(b, nameRef - 4), 1u);  // the record's length stands before the text

    const size_t optnHeader = gen8 + 184;
    ASSERT_EQ(std::memcmp(b.data() + optnHeader, "OPTN", 4), 0);
    const size_t optn = optnHeader + 8;
    EXPECT_EQ(U32(b, optnHeader + 4), 72u);
    EXPECT_EQ(static_cast<int32_t>(U32(b, optn)), -1);
    EXPECT_EQ(U32(b, optn + 4), 2u);
    EXPECT_EQ(U32(b, optn + 60), 1u);
    EXPECT_EQ(Text(b, U32(b, optn + 64)), "K");
    EXPECT_EQ(Text(b, U32(b, optn + 68)), "V");

    const size_t strgHeader = optn + 72;
    ASSERT_EQ(std::memcmp(b.data() + strgHeader, "STRG", 4), 0);
    const size_t strg = strgHeader + 8;
    const uint32_t count = U32(b, strg);
    ASSERT_GE(count, 3u);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t record = U32(b, strg + 4 + 4 * i);
        EXPECT_EQ(b[record + 4 + U32(b, record)], 0);  // length, bytes, NUL
    }
    EXPECT_EQ(strgHeader + 8 + U32(b, strgHeader + 4), b.size());
}

TEST(FormWriterTest, OlderOptionsLayoutPutsFlagsInTheirFields)
{
    gamedata::FormWriter w;
    gamedata::Options o;
    o.newerLayout = false;
    o.flags = (1u << 15) | (1u << 22);
    o.windowColour = 0xABCDEF;
    w.Optn(o);
    const std::vector<uint8_t> b = w.Finish();
    EXPECT_EQ(U32(b, 12), 144u);
    EXPECT_EQ(U32(b, 16 + 88), 1u);
    EXPECT_EQ(U32(b, 16 + 132), 1u);
    EXPECT_EQ(U32(b, 16 + 16), 0u);
    EXPECT_EQ(U32(b, 16 + 32), 0xABCDEFu);
}
}  // namespace

TEST(FormWriterTest, LaysOutPathChunkWithEmptySlotsByteForByte)
{
    gamedata::FormWriter w;
    gamedata::PathEntry a;
    a.name = "pa";
    a.kind = 1;
    a.closed = 0;
    a.precision = 3;
    a.points = {{1.0f, 2.0f, 100.0f}, {-4.0f, 0.5f, 50.0f}};
    gamedata::PathEntry b;
    b.name = "pb";
    w.Path({a, std::nullopt, b});
    const std::vector<uint8_t> bytes = w.Finish();

    ASSERT_EQ(std::memcmp(bytes.data() + 8, "PATH", 4), 0);
    const size_t p = 16;
    EXPECT_EQ(U32(bytes, 12), 4u + 12 + (20 + 24) + 20);
    EXPECT_EQ(U32(bytes, p), 3u);
    EXPECT_EQ(U32(bytes, p + 4), p + 16);
    EXPECT_EQ(U32(bytes, p + 8), 0u);
    EXPECT_EQ(U32(bytes, p + 12), p + 16 + 44);
    const size_t e = p + 16;
    EXPECT_EQ(Text(bytes, U32(bytes, e)), "pa");
    EXPECT_EQ(U32(bytes, e + 4), 1u);
    EXPECT_EQ(U32(bytes, e + 8), 0u);
    EXPECT_EQ(U32(bytes, e + 12), 3u);
    EXPECT_EQ(U32(bytes, e + 16), 2u);
    EXPECT_EQ(U32(bytes, e + 20), 0x3F800000u);   // 1.0f
    EXPECT_EQ(U32(bytes, e + 28), 0x42C80000u);   // 100.0f
    EXPECT_EQ(U32(bytes, e + 32), 0xC0800000u);   // -4.0f
    EXPECT_EQ(U32(bytes, e + 40), 0x42480000u);   // 50.0f
    EXPECT_EQ(Text(bytes, U32(bytes, e + 44)), "pb");
    EXPECT_EQ(U32(bytes, e + 48), 0u);
    EXPECT_EQ(U32(bytes, e + 52), 1u);
    EXPECT_EQ(U32(bytes, e + 56), 4u);
    EXPECT_EQ(U32(bytes, e + 60), 0u);
}

namespace {
// A newer code record, its use chain and a script record, checked by hand.
TEST(FormWriterTest, LaysOutCodeVariablesAndScriptsByteForByte)
{
    gamedata::FormWriter w;
    w.Code({{"c", {0xC2050000, 0xA0000000, 0xC2050000, 0x30000000}, 2, 1}});
    w.Vari({1, 1, 0}, {{"v", -5, 0, {{0, 0}, {0, 8}}}});
    w.Scpt({gamedata::Script{"s", 0}});
    const std::vector<uint8_t> b = w.Finish();

    const size_t code = 16;  // CODE is the first chunk
    ASSERT_EQ(std::memcmp(b.data() + 8, "CODE", 4), 0);
    EXPECT_EQ(U32(b, code), 1u);
    const size_t record = U32(b, code + 4);
    EXPECT_EQ(record, code + 8);
    EXPECT_EQ(Text(b, U32(b, record)), "c");
    EXPECT_EQ(U32(b, record + 4), 16u);           // bytecode length
    EXPECT_EQ(U32(b, record + 8), 2u | (1u << 16));  // locals 2, arguments 1
    // The bytecode offset counts from the offset field itself.
    const size_t bytecode = record + 12 + U32(b, record + 12);
    EXPECT_EQ(bytecode, record + 20);
    EXPECT_EQ(U32(b, record + 16), 0u);           // start offset
    EXPECT_EQ(U32(b, bytecode + 4), 0xA0000008u);  // 8 bytes to the next use, top bits kept
    EXPECT_EQ(U32(b, bytecode + 12), 0x30000000u);  // the last use's distance is 0

    const size_t vari = code + U32(b, code - 4) + 8;
    ASSERT_EQ(std::memcmp(b.data() + vari - 8, "VARI", 4), 0);
    EXPECT_EQ(U32(b, vari), 1u);
    EXPECT_EQ(Text(b, U32(b, vari + 12)), "v");
    EXPECT_EQ(static_cast<int32_t>(U32(b, vari + 16)), -5);
    EXPECT_EQ(U32(b, vari + 24), 2u);             // uses
    EXPECT_EQ(U32(b, vari + 28), bytecode);       // the first use

    const size_t scpt = vari + U32(b, vari - 4) + 8;
    ASSERT_EQ(std::memcmp(b.data() + scpt - 8, "SCPT", 4), 0);
    EXPECT_EQ(U32(b, scpt), 1u);
    const size_t script = U32(b, scpt + 4);
    EXPECT_EQ(script, scpt + 8);
    EXPECT_EQ(Text(b, U32(b, script)), "s");
    EXPECT_EQ(U32(b, script + 4), 0u);
}
}  // namespace

namespace {
// Sprite and background records ahead of the TPAG chunk they point into.
TEST(FormWriterTest, LaysOutSpritesAndTileSetsByteForByte)
{
    gamedata::FormWriter w;
    gamedata::SpriteEntry s;
    s.name = "spr";
    s.width = 9;
    s.height = 2;
    s.bboxRight = 8;
    s.bboxBottom = 1;
    s.xOrigin = 4;
    s.yOrigin = 1;
    s.speed = 2.0f;
    s.frames = {1, std::nullopt};
    s.masks = {{0xFF, 0x80, 0x01, 0x00}};
    gamedata::SpriteEntry plain = s;
    plain.plainForm = true;
    plain.frames = {0};
    plain.masks.clear();
    w.Sprt({s, std::nullopt, plain});
    gamedata::BackgroundEntry bg;
    bg.name = "tiles";
    bg.entry = 0;
    gamedata::Tileset t;
    t.columns = 2;
    t.framesPerTile = 2;
    t.tileIds = {0, 1, 2, 3, 4, 5};
    bg.tileset = t;
    gamedata::BackgroundEntry bare;
    bare.name = "bare";
    w.Bgnd({bg, bare});
    gamedata::TexturePageEntry e;
    w.Tpag({e, e});
    const std::vector<uint8_t> b = w.Finish();

    ASSERT_EQ(std::memcmp(b.data() + 8, "SPRT", 4), 0);
    const size_t p = 16;
    EXPECT_EQ(U32(b, p), 3u);
    EXPECT_EQ(U32(b, p + 8), 0u);
    const size_t r = U32(b, p + 4);
    ASSERT_EQ(r, p + 16);
    EXPECT_EQ(Text(b, U32(b, r)), "spr");
    EXPECT_EQ(U32(b, r + 4), 9u);
    EXPECT_EQ(U32(b, r + 16), 8u);   // bbox right before bottom and top
    EXPECT_EQ(U32(b, r + 20), 1u);
    EXPECT_EQ(U32(b, r + 28), 1u);   // transparent
    EXPECT_EQ(U32(b, r + 36), 1u);   // preload
    EXPECT_EQ(U32(b, r + 48), 4u);
    EXPECT_EQ(U32(b, r + 56), 0xFFFFFFFFu);
    EXPECT_EQ(U32(b, r + 64), 0u);   // kind: bitmap
    EXPECT_EQ(U32(b, r + 68), 0x40000000u);
    EXPECT_EQ(U32(b, r + 76), 2u);   // frame count
    // TPAG comes after SPRT and BGND; find it by walking the chunks.
    size_t tpag = 0;
    for (size_t at = 8; at < b.size(); at += 8 + U32(b, at + 4))
        if (std::memcmp(b.data() + at, "TPAG", 4) == 0) tpag = at + 8;
    ASSERT_NE(tpag, 0u);
    EXPECT_EQ(U32(b, r + 80), tpag + 12 + 22);  // entry 1
    EXPECT_EQ(U32(b, r + 84), 0u);
    EXPECT_EQ(U32(b, r + 88), 1u);             // one mask of 2 rows x 2 bytes
    EXPECT_EQ(U32(b, r + 92), 0x000180FFu);
    const size_t plainAt = U32(b, p + 12);
    EXPECT_EQ(plainAt, r + 96);
    EXPECT_EQ(U32(b, plainAt + 56), 1u);
    EXPECT_EQ(U32(b, plainAt + 60), tpag + 12);
    EXPECT_EQ(U32(b, plainAt + 64), 0u);

    const size_t bgndHeader = 8 + 8 + U32(b, 12);
    ASSERT_EQ(std::memcmp(b.data() + bgndHeader, "BGND", 4), 0);
    const size_t g = bgndHeader + 8;
    EXPECT_EQ(U32(b, g), 2u);
    const size_t t0 = U32(b, g + 4);
    EXPECT_EQ(Text(b, U32(b, t0)), "tiles");
    EXPECT_EQ(U32(b, t0 + 12), 1u);
    EXPECT_EQ(U32(b, t0 + 16), tpag + 12);
    EXPECT_EQ(U32(b, t0 + 20), 2u);
    EXPECT_EQ(U32(b, t0 + 24), 16u);
    EXPECT_EQ(U32(b, t0 + 40), 2u);
    EXPECT_EQ(U32(b, t0 + 44), 2u);
    EXPECT_EQ(U32(b, t0 + 48), 3u);           // tile count: ids / frames per tile
    EXPECT_EQ(U32(b, t0 + 56), 66666u);
    EXPECT_EQ(U32(b, t0 + 60), 0u);
    EXPECT_EQ(U32(b, t0 + 64 + 20), 5u);
    const size_t t1 = U32(b, g + 8);
    EXPECT_EQ(t1, t0 + 64 + 24);
    EXPECT_EQ(Text(b, U32(b, t1)), "bare");
    EXPECT_EQ(U32(b, t1 + 16), 0u);
    EXPECT_EQ(bgndHeader + 8 + U32(b, bgndHeader + 4), t1 + 20);
}
}  // namespace

TEST(FormWriterTest, TheHeadersLastInstanceIdIsTheRoomsHighestUnlessGiven)
{
    for (const std::optional<uint32_t> given : {std::optional<uint32_t>(), std::optional<uint32_t>(100003u)}) {
        gamedata::FormWriter w;
        gamedata::GeneralHeader h;
        h.lastInstanceId = given;
        w.Gen8(h);
        gamedata::RoomEntry a, b;
        a.instances = {{0, 0, 0, 100009}, {0, 0, 0, 100002}};
        b.instances = {{0, 0, 0, 100004}};
        w.Room({a, std::nullopt, b});
        const std::vector<uint8_t> bytes = w.Finish();
        EXPECT_EQ(U32(bytes, 16 + 12), given.value_or(100009u));
    }
}
