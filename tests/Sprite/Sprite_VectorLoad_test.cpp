// Vector sprites as loaded: from the "SPRT" record's extended form (written
// with the game-data writer, broken ones refused with their message) and from
// vector sprite files, with their items, timeline, masks and gradients.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <zlib.h>

#include "GameData/GameData.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturesM.h"
#include "IO/LoadSave.h"
#include "Sprite/Sprite_Main.h"
#include "Sprite/Sprite_Vector.h"
#include "support/FileWorld.h"
#include "support/GameFiles.h"
#include "support/GpuTestFrame.h"
#include "support/ImageFixtures.h"
#include "support/VectorSprites.h"

using namespace vectortest;

namespace {
constexpr uint32_t kRed = 0xFF0000FFu, kBlue = 0xFFFF0000u;  // red in the low byte

gamedata::SpriteEntry VectorEntry(const gamedata::VectorData& data, uint32_t precise = 1)
{
    gamedata::SpriteEntry s;
    s.name = "spr_vector";
    s.width = s.height = 1;
    s.bboxLeft = 1;
    s.bboxRight = 2;
    s.bboxTop = 3;
    s.bboxBottom = 4;
    s.xOrigin = 2;
    s.yOrigin = 1;
    s.precise = precise;
    s.vectorData = gamedata::EncodeVector(data);
    return s;
}

std::vector<uint8_t> GameOf(const gamedata::SpriteEntry& sprite)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    w.Sprt({sprite});
    w.Strg();
    return w.Finish();
}

gamedata::VectorFill Gradient(int32_t kind, std::vector<std::pair<int32_t, uint32_t>> stops)
{
    gamedata::VectorFill f;
    f.type = 2;
    f.kind = kind;
    f.stops = std::move(stops);
    return f;
}

// Items: a 2 x 1 bitmap (id 7), a shape with a solid, a gradient and two
// bitmap fills (one of an id no item has), and a placeholder. Two frames; one
// 4 x 2 run-length mask.
gamedata::VectorData RichData()
{
    gamedata::VectorItemData bitmap;
    bitmap.type = 2;
    bitmap.id = 7;
    bitmap.bitmapKind = 6;
    bitmap.width = 2;
    bitmap.height = 1;
    bitmap.blocks[0] = {0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x80};
    gamedata::VectorItemData shape = Shape(Solid(kRed), Rect(0, 0, 4, 2), 3);
    gamedata::VectorFill own, foreign;
    own.type = foreign.type = 3;
    own.bitmapId = 7;
    foreign.bitmapId = 99;
    shape.groups[0].fills.push_back(Gradient(0, {{0, kRed}, {255, kBlue}}));
    shape.groups[0].fills.push_back(own);
    shape.groups[0].fills.push_back(foreign);
    gamedata::VectorItemData placeholder;
    placeholder.type = 9;
    gamedata::VectorData d = OneFrame({bitmap, shape, placeholder}, {Place(1, 1)}, -1.5f, 10.75f, -2.25f, 5.5f);
    d.frames.push_back(d.frames[0]);
    d.frames[1].bounds[1] = 3 * kTwips;
    d.jpegTables = {1, 2, 3, 4, 5};
    d.maskWidth = 4;
    d.maskHeight = 2;
    d.masks = {{0x83, 0x03}};  // four solid pixels, then four free
    return d;
}

struct VectorLoadTest : ::testing::Test {
    void TearDown() override
    {
        Sprite_Init();
        testgames::Unload();
    }
};
}  // namespace

TEST_F(VectorLoadTest, ARecordLoadsItsItemsTimelineAndMasks)
{
    ASSERT_TRUE(testgames::LoadBoth(GameOf(VectorEntry(RichData())))) << GameData_LastError();
    CSprite* s = Sprite_Get(0);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SPRITE_KIND_VECTOR);
    EXPECT_TRUE(s->loadedFromDataFile);
    EXPECT_EQ(s->frameCount, 2);
    // The masks give the size; a precise data-file sprite takes the timeline's box and the record's origin.
    EXPECT_EQ(s->width, 4);
    EXPECT_EQ(s->height, 2);
    ASSERT_TRUE(s->MasksBuilt());
    EXPECT_EQ(std::memcmp(s->GetMask(1), "\1\1\1\1\0\0\0\0", 8), 0);
    EXPECT_EQ(std::vector<int32_t>({s->bboxLeft, s->bboxTop, s->bboxRight, s->bboxBottom}),
              (std::vector<int32_t>{-1, -2, 10, 5}));
    EXPECT_EQ(s->xorigin, 2);
    EXPECT_EQ(s->extent, 8);  // (10, 5) from (2, 1): sqrt(80) truncated
    int32_t bounds[4];
    s->GetFrameBounds(1, bounds);
    EXPECT_EQ(std::vector<int32_t>(bounds, bounds + 4), (std::vector<int32_t>{-1, -2, 3, 5}));
    EXPECT_EQ(s->GetTexture(0), -1);

    ASSERT_EQ(s->GetVectorItemCount(), 3);
    const VectorItem* items = s->GetVectorItems();
    // The bitmap's pixels are stored red first, as textures take them.
    ASSERT_GE(items[0].texture, 0);
    const D3DTexture* bitmap = GR_Texture_GetD3D(items[0].texture);
    ASSERT_TRUE(bitmap && bitmap->pixels);
    EXPECT_EQ(bitmap->pixels[0], 0xFF302010u);
    EXPECT_EQ(bitmap->pixels[1], 0x80605040u);
    const VectorStyleGroup& group = items[1].groups[0];
    ASSERT_EQ(group.fillStyleCount, 4);
    EXPECT_EQ(group.fillStyles[0].colour, kRed);
    EXPECT_GE(group.fillStyles[1].texture, 0);
    EXPECT_EQ(group.fillStyles[2].bitmapItem, 0);
    EXPECT_EQ(group.fillStyles[3].bitmapItem, -1);
    const VectorMesh& fill = group.subShapes[0].fill;
    EXPECT_EQ(fill.pointCount, 4);
    EXPECT_EQ(fill.triangleCount, 2);
    EXPECT_EQ(fill.edgeCount, 4);
    EXPECT_EQ(fill.offsetCount, 4);
    EXPECT_FLOAT_EQ(fill.points[2], 80.0f);
    EXPECT_EQ(items[2].groupCount, 0);
    const VectorTimeline* t = s->GetVectorTimeline();
    EXPECT_FLOAT_EQ(t->right, 10.75f);
    EXPECT_EQ(t->frames[0].placements[0].item, 1);
}

TEST_F(VectorLoadTest, ARecordWithoutMasksTakesItsSizeFromTheTimelineAndKeepsItsOwnBox)
{
    gamedata::VectorData d = OneFrame({Shape(Solid(kRed), Rect(0, 0, 4, 2))}, {Place(0, 1)}, 0, 12.9f, 0, 6.2f);
    d.version = 4;  // no anti-aliasing arrays
    d.items[0].groups[0].subShapes[0].fill.edges.clear();
    d.items[0].groups[0].subShapes[0].fill.offsets.clear();
    ASSERT_TRUE(testgames::LoadBoth(GameOf(VectorEntry(d, 0)))) << GameData_LastError();
    const CSprite* s = Sprite_Get(0);
    EXPECT_EQ(s->width, 12);
    EXPECT_EQ(s->height, 6);
    EXPECT_FALSE(s->precise);
    EXPECT_FALSE(s->MasksBuilt());
    EXPECT_EQ(std::vector<int32_t>({s->bboxLeft, s->bboxTop, s->bboxRight, s->bboxBottom}),
              (std::vector<int32_t>{1, 3, 2, 4}));
    EXPECT_EQ(s->GetVectorItems()[0].groups[0].subShapes[0].fill.edgeCount, 0);
}

TEST_F(VectorLoadTest, BrokenVectorDataRefuseTheChunkWithTheirMessage)
{
    const auto base = [] { return OneFrame({Shape(Solid(kRed), Rect(0, 0, 4, 2))}, {Place(0, 1)}, 0, 4, 0, 2); };
    const auto sub = [](gamedata::VectorData& d) -> gamedata::VectorSubShapeData& {
        return d.items[0].groups[0].subShapes[0];
    };
    struct Case {
        const char* what;
        std::function<void(gamedata::VectorData&)> edit;
        std::function<void(std::vector<uint8_t>&)> garble;  // the encoded vector data
        const char* message;
    } cases[] = {
        {"triangle index past the points", [&](auto& d) { sub(d).fill.triangles[5] = 4; }, nullptr,
         "fill triangle index 4 is not below the 4 points"},
        {"edge index past the points", [&](auto& d) { sub(d).fill.edges[7] = 70000 + 65536; }, nullptr,
         "fill edge index 4464 is not below the 4 points"},
        {"fill style past the styles", [&](auto& d) { sub(d).fillStyle = 1; }, nullptr, "fill style 1 of 1 styles"},
        {"line style without lines", [&](auto& d) { sub(d).lineStyle = 0; }, nullptr, "line style 0 of 0 styles"},
        {"offsets for some points", [&](auto& d) { sub(d).fill.offsets.resize(6); }, nullptr,
         "3 and 0 edge offsets for 4 and 0 points"},
        {"placement of a missing item", [](auto& d) { d.frames[0].placements[0].item = 1; }, nullptr,
         "frame 0 places item 1 of 1 items"},
        {"mask that does not cover its size",
         [](auto& d) {
             d.maskWidth = d.maskHeight = 3;
             d.masks = {{0x85}};
         },
         nullptr, "collision masks do not cover 3 x 3 pixels"},
        {"mask of no size",
         [](auto& d) {
             d.maskWidth = 0;
             d.masks = {{0x00}};
         },
         nullptr, "collision masks of 0 x 0 pixels"},
        {"item count past the data", nullptr,
         [](auto& b) {
             const uint32_t huge = 0x10000000u;
             std::memcpy(b.data() + 8, &huge, 4);
         },
         "268435456 items at byte 12 do not fit"},
        {"negative sub-shape count", nullptr,
         [](auto& b) {
             const int32_t negative = -1;
             std::memcpy(b.data() + 48, &negative, 4);
         },
         "-1 sub-shapes"},
        {"data cut short", nullptr, [](auto& b) { b.resize(b.size() - 8); }, "1 placements at byte 284 do not fit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gamedata::VectorData d = base();
        if (c.edit) c.edit(d);
        gamedata::SpriteEntry entry = VectorEntry(d);
        if (c.garble) c.garble(*entry.vectorData);
        EXPECT_FALSE(testgames::LoadBoth(GameOf(entry)));
        const std::string error = GameData_LastError();
        EXPECT_NE(error.find("chunk SPRT: sprite 0: vector data"), std::string::npos) << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(Sprite_Count(), 0);
        testgames::Unload();
    }
}

TEST(VectorGradient, ColoursBetweenStopsAndTheRadialTexture)
{
    VectorFillStyle g{};
    EXPECT_EQ(CSprite::GradientColourAt(g, 10), 0u);  // no stops
    VectorGradientStop stops[2] = {{0, kRed}, {255, kBlue}};
    g.stops = stops;
    g.stopCount = 2;
    // t = 128: each byte is the sum of the halves of the two stops, each rounded down.
    EXPECT_EQ(CSprite::GradientColourAt(g, 128), 0xFE7F007Fu);
    EXPECT_EQ(CSprite::GradientColourAt(g, -40), kRed);
    EXPECT_EQ(CSprite::GradientColourAt(g, 900), kBlue);
    stops[0].ratio = 100;
    EXPECT_EQ(CSprite::GradientColourAt(g, 50), kRed);  // before the first stop
    stops[1].ratio = 100;
    EXPECT_EQ(CSprite::GradientColourAt(g, 100), kRed);  // two stops at one ratio: t = 0
    stops[1].ratio = 255;

    g.kind = VECTOR_GRADIENT_RADIAL;
    g.stopCount = 2;
    stops[0].ratio = 0;
    const int32_t texture = CSprite::CreateGradientTexture(g);
    ASSERT_GE(texture, 0);
    const D3DTexture* t = GR_Texture_GetD3D(texture);
    ASSERT_TRUE(t && t->pixels);
    EXPECT_EQ(t->width, 64);
    EXPECT_EQ(t->pixels[31 * 64 + 31], kRed);  // ratio 0 at the centre
    EXPECT_EQ(t->pixels[0], kBlue);            // 43.84 from the centre: ratio 255
    GR_Texture_Free(texture);
    g.kind = 5;
    EXPECT_EQ(CSprite::CreateGradientTexture(g), -1);
}

TEST(VectorBitmaps, EachKindDecodesIntoATextureOfBytesRedGreenBlueAlpha)
{
    using ImageFixtures::Bytes;
    Bytes alpha(4, 0x80);
    Bytes packed(compressBound(4));
    uLongf packedSize = packed.size();
    ASSERT_EQ(compress(packed.data(), &packedSize, alpha.data(), alpha.size()), Z_OK);
    packed.resize(packedSize);
    ImageFixtures::JpegParams grey;
    grey.width = grey.height = 2;
    grey.components = 1;
    grey.samples = Bytes(4, 200);
    const Bytes jpeg = ImageFixtures::EncodeJpeg(grey);
    // The same image with its tables in a stream of their own: shared tables and the image without them.
    grey.tablesFirst = true;
    const Bytes split = ImageFixtures::EncodeJpeg(grey);
    size_t tablesEnd = 2;
    while (tablesEnd < split.size() && !(split[tablesEnd - 2] == 0xFF && split[tablesEnd - 1] == 0xD9)) ++tablesEnd;
    const Bytes tables(split.begin(), split.begin() + long(tablesEnd)), image(split.begin() + long(tablesEnd), split.end());
    ImageFixtures::GifParams gif;
    gif.globalMap = {{1, 2, 3}};
    gif.indices = {0};
    struct Case {
        const char* what;
        int32_t kind, width, height;
        Bytes blocks[3];
        int64_t first;  // the first pixel as a word, -1 for no texture
        Bytes tables = {};
    } cases[] = {
        {"JPEG after the shared tables", 0, 0, 0, {image, {}, {}}, 0xFFC8C8C8, tables},
        {"JPEG without its tables", 1, 0, 0, {image, {}, {}}, -1, tables},
        {"no shared tables: a whole JPEG", 0, 0, 0, {jpeg, {}, {}}, 0xFFC8C8C8},
        {"JPEG", 1, 0, 0, {jpeg, {}, {}}, 0xFFC8C8C8},
        {"JPEG with zlib alpha", 2, 0, 0, {jpeg, packed, {}}, 0x80C8C8C8},
        {"PNG", 3, 0, 0, {ImageFixtures::EncodeRgbaPng(1, 1, {10, 20, 30, 40}), {}, {}}, 0x281E140A},
        {"GIF", 4, 0, 0, {ImageFixtures::EncodeGif(gif), {}, {}}, 0xFF030201},
        {"palette", 5, 2, 1, {{1, 0, 0, 0}, {}, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}}, 0x88776655},
        {"palette index past the palette", 8, 1, 1, {{9, 0, 0, 0}, {}, {1, 2, 3, 4}}, 0},
        {"32-bit", 9, 1, 1, {{5, 6, 7, 8}, {}, {}}, 0x08070605},
        {"32-bit short of its size", 7, 2, 2, {{5, 6, 7, 8}, {}, {}}, 0x08070605},
        {"JPEG that does not decode", 1, 0, 0, {{1, 2, 3}, {}, {}}, -1},
        {"unknown kind", 10, 1, 1, {{5, 6, 7, 8}, {}, {}}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gamedata::VectorItemData item;
        item.type = 2;
        item.bitmapKind = c.kind;
        item.width = c.width;
        item.height = c.height;
        for (int b = 0; b < 3; ++b) item.blocks[b] = c.blocks[b];
        gamedata::VectorData vector = OneFrame({item}, {Place(0, 1)}, 0, 1, 0, 1);
        vector.jpegTables = c.tables;
        const Bytes data = gamedata::EncodeVector(vector);
        CSprite s;
        char why[200] = "";
        ASSERT_TRUE(s.LoadVector(data.data(), uint32_t(data.size()), 0, 0, why, sizeof why)) << why;
        const VectorItem& loaded = s.GetVectorItems()[0];
        if (c.first < 0) {
            EXPECT_EQ(loaded.texture, -1);
            continue;
        }
        ASSERT_GE(loaded.texture, 0);
        const D3DTexture* t = GR_Texture_GetD3D(loaded.texture);
        ASSERT_TRUE(t && t->pixels);
        EXPECT_TRUE(Near(t->pixels[0], uint32_t(c.first), 2)) << std::hex << t->pixels[0];
        if (c.kind == 7) {
            EXPECT_EQ(t->pixels[1], 0u);  // pixels past the block stay clear
        }
    }
}

namespace {
struct VectorFileTest : ::testing::Test, FileWorld {
    const std::string save = root / "save/";
    void SetUp() override { ASSERT_TRUE(Enter()); }
    void TearDown() override
    {
        Sprite_Init();
        EXPECT_TRUE(Leave());
    }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream(save + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }
};
}  // namespace

TEST_F(VectorFileTest, AddedFilesAreVectorSpritesPreciseOnlyWithMasks)
{
    gamedata::VectorData d = OneFrame({Shape(Solid(kRed), Rect(0, 0, 4, 2))}, {Place(0, 1)}, 1, 9, 2, 7);
    Write("plain.KVS", gamedata::EncodeVector(d));
    d.maskWidth = 3;
    d.maskHeight = 1;
    d.masks = {{0x80, 0x00, 0x80}};  // solid, free, solid
    Write("masked.kvs", gamedata::EncodeVector(d));
    Write("broken.kvs", {1, 2, 3});

    const int32_t plain = Sprite_Add("plain.KVS", 1, true, true, false, true, 3, 4);
    ASSERT_GE(plain, 0);
    const CSprite* s = Sprite_Get(plain);
    EXPECT_EQ(s->kind, SPRITE_KIND_VECTOR);
    EXPECT_FALSE(s->loadedFromDataFile);
    EXPECT_FALSE(s->precise);
    EXPECT_STREQ(s->name, "__newsprite0");
    EXPECT_EQ(std::vector<int32_t>({s->bboxLeft, s->bboxTop, s->bboxRight, s->bboxBottom}),
              (std::vector<int32_t>{1, 2, 9, 7}));
    EXPECT_EQ(s->xorigin, 3);
    EXPECT_EQ(s->yorigin, 4);
    EXPECT_EQ(s->width, 9);

    const CSprite* masked = Sprite_Get(Sprite_Add("masked.kvs", 1, false, true, false, true, 0, 0));
    ASSERT_TRUE(masked);
    EXPECT_TRUE(masked->precise);
    EXPECT_TRUE(masked->MasksBuilt());
    EXPECT_EQ(masked->width, 3);
    // Collisions test against the decoded mask.
    const SpritePose pose{0, {10, 10, 12, 10}, 10, 10, 1, 1, 0};
    CSprite* tested = Sprite_Get(masked->index);
    EXPECT_TRUE(tested->CollidePoint(pose, 10, 10));
    EXPECT_FALSE(tested->CollidePoint(pose, 11, 10));
    EXPECT_TRUE(tested->CollidePoint(pose, 12, 10));

    testgames::CapturedLog log;
    EXPECT_EQ(Sprite_Add("broken.kvs", 1, false, true, false, true, 0, 0), -1);
    EXPECT_NE(log.Text().find("vector data end at byte"), std::string::npos) << log.Text();
    EXPECT_EQ(Sprite_Add("missing.kvs", 1, false, true, false, true, 0, 0), -1);
}
