// Room content drawn by hand on the software device: the legacy passes merge
// tiles, instances and backgrounds by depth; layers draw deepest first with
// their sprites, tiles, instances and plain-colour backgrounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Draw/Draw_Frame.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"
#include "Sprite/Sprite_Main.h"
#include "World/Object_Lists.h"
#include "World/Room_Layers.h"
#include "World/WorldFixture.h"
#include "support/GpuTestFrame.h"
#include "support/TestBackgrounds.h"
#include "support/VectorSprites.h"

namespace {
std::vector<std::string> g_Order;

struct DrawViewTest : WorldFixture {
    GpuTestFrame frame{64, 48};

    void SetUp() override
    {
        WorldFixture::SetUp();
        ASSERT_TRUE(frame.ok);
        room.width = 64;
        room.height = 48;
        room.colour = 0x000000;
        room.showColour = true;
        eventmodule::Reset();
        g_Order.clear();
        Background_DeleteAll();
    }
    void TearDown() override
    {
        ApplicationSurface_Free();
        ApplicationSurfaceWidth = ApplicationSurfaceHeight = -1;
        WorldFixture::TearDown();
        Layer_FreeAll(&room);
        Object_FreeEventLists();
        Sprite_Init();
        Background_ObserveDrawsForTest(nullptr);
        Background_DeleteAll();
        LayerMode = false;
        LayerForceDrawDepth = false;
    }
    static int32_t SolidSprite(uint32_t argb)
    {
        std::vector<uint32_t> pixels(64, argb);
        const int32_t index = Sprite_AddEmpty();
        EXPECT_TRUE(Sprite_Get(index)->LoadFromPixels(pixels.data(), 8, 8, 1, false, false, false, 0, 0, true));
        return index;
    }
    bool At(int x, int y, uint32_t rgba) const { return Near(frame.Pixel(x, y), rgba, 3); }
};

STile Tile(int32_t background, float x, float depth)
{
    STile t{};
    t.background = background;
    t.width = t.height = 8;
    t.x = x;
    t.depth = depth;
    t.xscale = t.yscale = 1;
    t.blend = 0xFFFFFF;
    t.alpha = 1;
    t.visible = true;
    return t;
}
}  // namespace

TEST_F(DrawViewTest, LegacyRoomsMergeTilesAndInstancesByDepthBetweenBackgroundsAndForegrounds)
{
    LayerMode = false;
    const int32_t bg = TestBackground_Add(8, 8);
    Background_ObserveDrawsForTest([](char kind, int32_t, float x, float) {
        g_Order.push_back(kind == 't' ? "bg" + std::to_string(static_cast<int>(x))
                                      : "tile" + std::to_string(static_cast<int>(x)));
    });
    room.backgrounds[0] = RoomBackground{true, false, bg, 1, 0};
    room.backgrounds[1] = RoomBackground{true, true, bg, 2, 0};
    room.backgrounds[2] = RoomBackground{true, false, bg + 5, 3, 0};  // no such background
    room.AddTile(Tile(bg, 10, 100));
    room.AddTile(Tile(bg, 20, 200));
    STile hidden = Tile(bg, 30, 150);
    hidden.visible = false;
    room.AddTile(hidden);
    room.AddTile(Tile(bg, 1000, 50));  // outside the view
    room.AddTile(Tile(bg, 40, -5));
    room.AddTile(Tile(bg + 7, 50, 0));  // no such background
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_DRAW, 0, 0);
    Object_BuildEventLists();
    eventmodule::Hooks[0] = [](CInstance* self, CInstance*) {
        g_Order.push_back("inst" + std::to_string(static_cast<int>(self->depth)));
    };
    for (float depth : {100.0f, 150.0f, -10.0f}) room.CreateInstanceAtDepth(0, 0, depth, object);

    DrawFrame();
    const std::vector<std::string> expected = {"bg1",      "tile20", "inst150", "inst100",
                                               "tile10",   "tile40", "inst-10", "bg2"};
    EXPECT_EQ(g_Order, expected);
}

TEST_F(DrawViewTest, LegacyRoomsWithoutTilesDrawInstancesInListOrder)
{
    LayerMode = false;
    const int32_t red = SolidSprite(0xFFFF0000u), blue = SolidSprite(0xFF0000FFu);
    const int32_t object = NewObject();
    Object_BuildEventLists();
    CInstance* back = room.CreateInstanceAtDepth(0, 0, 10, object);
    back->sprite_index = red;
    CInstance* front = room.CreateInstanceAtDepth(4, 4, -10, object);
    front->sprite_index = blue;
    front->image_alpha = 0.999f;  // through the transformed draw: alpha 254
    DrawFrame();
    EXPECT_TRUE(At(2, 2, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(6, 6, Rgba(0, 0, 254, 255))) << std::hex << frame.Pixel(6, 6);
}

TEST_F(DrawViewTest, InstancesDrawTheirVectorSprites)
{
    LayerMode = false;
    // A green 8 x 8 square masked to its left half.
    const gamedata::VectorData data = vectortest::OneFrame(
        {vectortest::Shape(vectortest::Solid(0xFF00FF00u), vectortest::Rect(0, 0, 8, 8)),
         vectortest::Shape(vectortest::Solid(0xFFFFFFFFu), vectortest::Rect(0, 0, 4, 8))},
        {vectortest::Place(1, 1, 0, 0, 2), vectortest::Place(0, 2)}, 0, 8, 0, 8);
    const std::vector<uint8_t> bytes = gamedata::EncodeVector(data);
    const int32_t vector = Sprite_AddEmpty();
    char why[200] = "";
    ASSERT_TRUE(Sprite_Get(vector)->LoadVector(bytes.data(), uint32_t(bytes.size()), 0, 0, why, sizeof why)) << why;
    Sprite_Get(vector)->kind = SPRITE_KIND_VECTOR;
    const int32_t object = NewObject();
    Object_BuildEventLists();
    room.CreateInstanceAtDepth(8, 8, 0, object)->sprite_index = vector;
    CInstance* scaled = room.CreateInstanceAtDepth(32, 8, 0, object);
    scaled->sprite_index = vector;
    scaled->image_xscale = scaled->image_yscale = 2;
    DrawFrame();
    EXPECT_TRUE(At(9, 9, Rgba(0, 254, 0, 255))) << std::hex << frame.Pixel(9, 9);
    EXPECT_TRUE(At(13, 9, Rgba(0, 0, 0, 255)));
    EXPECT_TRUE(At(39, 23, Rgba(0, 254, 0, 255)));
    EXPECT_TRUE(At(41, 23, Rgba(0, 0, 0, 255)));
}

TEST_F(DrawViewTest, LayersDrawDeepestFirstWithTheirSpritesTilesAndInstances)
{
    LayerMode = true;
    const int32_t red = SolidSprite(0xFFFF0000u), green = SolidSprite(0xFF00FF00u), blue = SolidSprite(0xFF0000FFu);
    RoomLayer* far = Layer_Create(&room, 100, "far");
    RoomLayer* near = Layer_Create(&room, 0, "near");
    ASSERT_TRUE(far && near);
    LayerElement_Sprite* sprite = Layer_NewSpriteElement();
    sprite->sprite = red;
    sprite->blend = 0xFFFFFF;
    Layer_AddElement(&room, far, sprite, true);
    LayerElement_Tile* tile = Layer_NewTileElement();
    tile->visible = true;
    tile->source = blue;
    tile->x = 20;
    tile->width = tile->height = 4;
    tile->blend = 0xFFFFFF;
    Layer_AddElement(&room, far, tile, true);
    LayerElement_Tile* culled = Layer_NewTileElement();
    *culled = *tile;
    culled->x = 70;  // outside the view, whatever the layer offset
    culled->source = red;
    far->x = -10;
    Layer_AddElement(&room, far, culled, true);
    const int32_t object = NewObject();
    Object_BuildEventLists();
    CInstance* instance = room.CreateInstanceOnLayerId(4, 4, near->id, object);
    instance->sprite_index = green;

    DrawFrame();
    EXPECT_TRUE(At(0, 0, Rgba(0, 0, 0, 255)));      // the sprite sits at the layer's x = -10
    EXPECT_TRUE(At(6, 6, Rgba(0, 255, 0, 255)));    // the instance's layer is nearer
    EXPECT_TRUE(At(11, 1, Rgba(0, 0, 255, 255)));   // the tile: x 20 - 10, 4 x 4
    EXPECT_TRUE(At(15, 1, Rgba(0, 0, 0, 255)));
    EXPECT_TRUE(At(60, 1, Rgba(0, 0, 0, 255)));     // the culled tile would land at 60

    far->x = 0;
    Layer_SetDepth(&room, near, 200, false);  // the instance goes behind the sprite
    DrawFrame();
    EXPECT_TRUE(At(6, 6, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(10, 10, Rgba(0, 255, 0, 255)));
}

TEST_F(DrawViewTest, ForcedLayerDepthAndSkippedLayers)
{
    LayerMode = true;
    RoomLayer* shown = Layer_Create(&room, 100, "shown");
    RoomLayer* hidden = Layer_Create(&room, 50, "hidden");
    hidden->visible = false;
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_DRAW, 0, 0);
    Object_BuildEventLists();
    std::vector<float> depths;
    eventmodule::Hooks[0] = [&](CInstance*, CInstance*) { depths.push_back(DrawDepth); };
    room.CreateInstanceOnLayerId(0, 0, shown->id, object);
    room.CreateInstanceOnLayerId(0, 0, hidden->id, object);
    DrawFrame();
    LayerForceDrawDepth = true;
    LayerForcedDepth = 7;
    DrawFrame();
    EXPECT_EQ(depths, (std::vector<float>{100, 7}));
}

TEST_F(DrawViewTest, BackgroundWithoutSpriteFillsTheTargetAndKeepsTheMatrices)
{
    LayerMode = true;
    RoomLayer* layer = Layer_Create(&room, 0, "fill");
    LayerElement_Background* fill = Layer_NewBackgroundElement();
    fill->data->visible = true;
    fill->data->sprite = -1;
    fill->data->blend = 0x0000FF;  // red
    fill->data->alpha = 0.5f;
    Layer_AddElement(&room, layer, fill, true);
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_DRAW, 72, 1);  // draw begin: before the layers
    eventmodule::SetHandler(Object_Get(object), EVENT_DRAW, 0, 0);   // after the fill on its layer
    Object_BuildEventLists();
    float before[16], after[16];
    eventmodule::Hooks[1] = [&](CInstance*, CInstance*) { GR_D3D_GetMatrix(MATRIX_VIEW, before); };
    eventmodule::Hooks[0] = [&](CInstance*, CInstance*) { GR_D3D_GetMatrix(MATRIX_VIEW, after); };
    LayerElement_Background* none = Layer_NewBackgroundElement();  // invisible: nothing
    none->data->sprite = -1;
    none->data->blend = 0xFF0000;
    Layer_AddElement(&room, layer, none, true);
    room.CreateInstanceOnLayerId(0, 0, layer->id, object);

    DrawFrame();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]) << i;
    // Half red over the black clear, in every corner.
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{63, 47}})
        EXPECT_TRUE(Near(frame.Pixel(x, y) & 0xFFFFFF, Rgba(128, 0, 0, 0), 3)) << std::hex << frame.Pixel(x, y);
}
