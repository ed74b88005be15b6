// A frame drawn by hand in a small world on the software device: the draw
// events in order, default drawing, the application surface with its
// letterbox, the GUI pass and two views.
#include <gtest/gtest.h>

#include <cstdint>

#include <functional>
#include <string>
#include <vector>

#include "Base/ErrorLast.h"
#include "Base/MemoryManager.h"
#include "Draw/Draw_Frame.h"
#include "GameData/GameData.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Graphics/ShaderM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/VertexBuilderM.h"
#include "Sprite/Sprite_Main.h"
#include "World/Object_Lists.h"
#include "World/Room_Layers.h"
#include "World/WorldFixture.h"
#include "support/EngineReset.h"
#include "support/GpuTestFrame.h"
#include "support/ShaderFixtures.h"

namespace {
struct DrawFrameTest : WorldFixture {
    GpuTestFrame frame{64, 48};
    int32_t red = -1;  // an 8 x 8 red sprite
    const bool keepAspect = GR_D3D_KeepAspect;

    void SetUp() override
    {
        WorldFixture::SetUp();
        ASSERT_TRUE(frame.ok);
        LayerMode = false;
        std::vector<uint32_t> pixels(64, 0xFFFF0000u);
        red = Sprite_AddEmpty();
        ASSERT_TRUE(Sprite_Get(red)->LoadFromPixels(pixels.data(), 8, 8, 1, false, false, false, 0, 0, true));
        room.width = 64;
        room.height = 48;
        room.colour = 0x00FF00;  // green
        room.showColour = true;
        eventmodule::Reset();
    }
    void TearDown() override
    {
        GR_D3D_KeepAspect = keepAspect;
        ApplicationSurface_Free();
        ApplicationSurfaceWidth = ApplicationSurfaceHeight = -1;
        WorldFixture::TearDown();
        Object_FreeEventLists();
        Sprite_Init();
    }
    CInstance* Place(int32_t object, float x, float y)
    {
        CInstance* instance = room.CreateInstance(x, y, object);
        instance->sprite_index = red;
        instance->visible = true;
        return instance;
    }
    bool At(int x, int y, uint32_t rgba) const { return Near(frame.Pixel(x, y), rgba, 3); }
};
}  // namespace

TEST_F(DrawFrameTest, DrawEventsRunInFrameOrderAndInstancesWithoutADrawEventDrawTheirSprite)
{
    const int32_t plain = NewObject(), custom = NewObject();
    const int32_t kinds[] = {76, 72, 0, 73, 77, 74, 64, 75};
    for (int32_t sub : kinds) eventmodule::SetHandler(Object_Get(custom), EVENT_DRAW, sub, 0);
    Object_BuildEventLists();
    Place(plain, 8, 8);
    CInstance* drawn = Place(custom, 32, 8);
    CInstance* hidden = Place(plain, 48, 30);
    hidden->visible = false;
    CInstance* seen = nullptr;
    eventmodule::Hooks[0] = [&](CInstance* self, CInstance*) { seen = CurrentDrawInstance; (void)self; };

    DrawFrame();
    std::vector<int> order;
    for (const eventmodule::Call& c : eventmodule::Trace) {
        EXPECT_EQ(c.self, drawn->id);
        order.push_back(c.number);
    }
    EXPECT_EQ(order, std::vector<int>(std::begin(kinds), std::end(kinds)));
    EXPECT_EQ(seen, nullptr);  // the last event run was a GUI event, outside instance drawing
    EXPECT_EQ(CurrentDrawInstance, nullptr);
    EXPECT_TRUE(At(10, 10, Rgba(255, 0, 0, 255)));  // default draw
    EXPECT_TRUE(At(34, 10, Rgba(0, 255, 0, 255)));  // its draw event drew nothing
    EXPECT_TRUE(At(50, 32, Rgba(0, 255, 0, 255)));  // invisible
}

TEST_F(DrawFrameTest, DefaultDrawTakesScaleAngleBlendAndAlpha)
{
    const int32_t plain = NewObject();
    Object_BuildEventLists();
    CInstance* wide = Place(plain, 4, 4);
    wide->image_xscale = 4;
    wide->image_blend = 0xFF0000;  // tints red to black
    CInstance* faint = Place(plain, 4, 30);
    faint->image_alpha = 0.5f;
    DrawFrame();
    EXPECT_TRUE(At(30, 8, Rgba(0, 0, 0, 255)));
    EXPECT_TRUE(At(36, 8, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(Near(frame.Pixel(8, 34) & 0xFFFFFF, Rgba(128, 128, 0, 0), 4)) << std::hex << frame.Pixel(8, 34);
}

TEST_F(DrawFrameTest, ApplicationSurfaceIsLetterboxedAndTheGuiSitsOnIt)
{
    const int32_t gui = NewObject();
    eventmodule::SetHandler(Object_Get(gui), EVENT_DRAW, EVENT_DRAW_GUI, 1);
    eventmodule::SetHandler(Object_Get(gui), EVENT_DRAW, 0, 2);  // draws nothing in the room
    Object_BuildEventLists();
    Place(gui, 0, 0);
    eventmodule::Hooks[1] = [&](CInstance*, CInstance*) { Sprite_Get(red)->Draw(0, 0, 0); };
    room.clearDisplayBuffer = true;
    GR_Window_SetColour(0xFF0000);  // blue bars
    GR_D3D_KeepAspect = true;
    ApplicationSurfaceWidth = 32;  // 2:1 in a 4:3 back buffer: 64 x 32 at y = 8
    ApplicationSurfaceHeight = 16;

    DrawFrame();
    // The bars: the back buffer cleared to the window colour, its alpha byte 0 as stored.
    EXPECT_TRUE(At(32, 2, Rgba(0, 0, 255, 0))) << std::hex << frame.Pixel(32, 2);
    EXPECT_TRUE(At(32, 45, Rgba(0, 0, 255, 0)));
    EXPECT_TRUE(At(32, 24, Rgba(0, 255, 0, 255)));
    // GUI (0, 0) is the top-left of the drawn surface.
    EXPECT_TRUE(At(1, 9, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(7, 15, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(9, 17, Rgba(0, 255, 0, 255)));

    // Drawing the surface switched off: the back buffer keeps only what was drawn on it.
    ApplicationSurfaceDrawEnabled = false;
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, 1);
    DrawFrame();
    ApplicationSurfaceDrawEnabled = true;
    EXPECT_TRUE(At(32, 24, Rgba(0, 0, 255, 0)));
}

TEST_F(DrawFrameTest, SurfaceLandsPixelForPixelUnlessThePostDrawEventChangedTheView)
{
    const int32_t post = NewObject();
    eventmodule::SetHandler(Object_Get(post), EVENT_DRAW, 77, 1);
    eventmodule::SetHandler(Object_Get(post), EVENT_DRAW, 0, 2);  // draws nothing in the room
    Object_BuildEventLists();
    Place(post, 0, 0);
    CInstance* faint = Place(NewObject(), 8, 8);
    faint->image_alpha = 0.5f;
    Object_BuildEventLists();
    room.clearDisplayBuffer = true;
    GR_Window_SetColour(0xFF0000);
    std::function<void()> postDraw = [] {};
    eventmodule::Hooks[1] = [&](CInstance*, CInstance*) { postDraw(); };

    // The surface's own pixels, alpha included, reach the back buffer unchanged.
    DrawFrame();
    EXPECT_TRUE(At(10, 10, Rgba(128, 128, 0, 191))) << std::hex << frame.Pixel(10, 10);
    EXPECT_TRUE(At(20, 20, Rgba(0, 255, 0, 255)));

    // A world matrix set in the post-draw event moves the surface.
    postDraw = [] {
        const float shift[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1};
        GR_D3D_SetMatrix(MATRIX_WORLD, shift);
    };
    DrawFrame();
    EXPECT_TRUE(At(5, 20, Rgba(0, 0, 255, 0))) << std::hex << frame.Pixel(5, 20);
    EXPECT_TRUE(At(20, 12, Rgba(128, 128, 0, 191))) << std::hex << frame.Pixel(20, 12);

    // Colour writes switched off leave the back buffer as the event left it.
    postDraw = [] { StateManagerM::SetRenderState(RS_COLORWRITEENABLE, 0); };
    DrawFrame();
    StateManagerM::SetRenderState(RS_COLORWRITEENABLE, 15);
    EXPECT_TRUE(At(20, 20, Rgba(0, 0, 255, 0))) << std::hex << frame.Pixel(20, 20);
}

TEST_F(DrawFrameTest, TwoViewsDrawIntoTheirPortsScaledToTheSurface)
{
    const int32_t plain = NewObject();
    Object_BuildEventLists();
    Place(plain, 8, 8);
    room.enableViews = true;
    for (int i = 0; i < 2; ++i) {
        RoomView& v = room.views[i];
        v.visible = true;
        v.viewX = v.viewY = 0;
        v.viewWidth = 32;
        v.viewHeight = 24;
        v.portX = 32 * i;
        v.portY = 0;
        v.portWidth = 32;
        v.portHeight = 24;
    }
    DrawFrame();
    // Ports span 64 x 24 on a 64 x 48 surface: y is scaled by 2.
    EXPECT_TRUE(At(10, 17, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(42, 30, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(42, 34, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(20, 40, Rgba(0, 255, 0, 255)));
    EXPECT_EQ(view_current, 0);
}

TEST_F(DrawFrameTest, AViewWithASurfaceDrawsIntoItInsteadOfItsPort)
{
    const int32_t plain = NewObject();
    Object_BuildEventLists();
    Place(plain, 8, 8);
    const int32_t target = GR_Surface_Create(32, 24, -1);
    room.enableViews = true;
    RoomView& v = room.views[0];
    v.visible = true;
    v.viewWidth = 32;
    v.viewHeight = 24;
    v.portWidth = 64;
    v.portHeight = 48;
    v.spare = target;
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, 1);
    DrawFrame();
    uint32_t* pixels = GR_Surface_ReadPixels(target, 0, 0, 32, 24);
    ASSERT_NE(pixels, nullptr);
    EXPECT_TRUE(Near(pixels[10 * 32 + 10], Rgba(255, 0, 0, 255), 3));
    EXPECT_TRUE(Near(pixels[20 * 32 + 20], Rgba(0, 255, 0, 255), 3));
    MemoryManager::Free(pixels);
    EXPECT_FALSE(At(20, 20, Rgba(255, 0, 0, 255)));  // the port shows nothing of it
    EXPECT_EQ(GR_Surface_StackDepth(), 0);

    // The surface gone, the view draws into its port again.
    GR_Surface_Free(target, false);
    DrawFrame();
    EXPECT_TRUE(At(20, 20, Rgba(255, 0, 0, 255)));
}

TEST_F(DrawFrameTest, ATargetLeftSetIsReportedAndTheFrameEndsBeforeTheGui)
{
    const int32_t leaky = NewObject();
    eventmodule::SetHandler(Object_Get(leaky), EVENT_DRAW, 0, 0);
    eventmodule::SetHandler(Object_Get(leaky), EVENT_DRAW, EVENT_DRAW_GUI, 1);
    Object_BuildEventLists();
    Place(leaky, 0, 0);
    const int32_t target = GR_Surface_Create(8, 8, -1);
    bool leak = true;
    int guiRuns = 0;
    eventmodule::Hooks[0] = [&](CInstance*, CInstance*) {
        if (leak) GR_Surface_SetTarget(0, target);
    };
    eventmodule::Hooks[1] = [&](CInstance*, CInstance*) { ++guiRuns; };
    ForgetErrors();
    DrawFrame();
    EXPECT_NE(LastReport().find("Unbalanced surface stack. You MUST use surface_reset_target() for each set."),
              std::string::npos);
    EXPECT_EQ(guiRuns, 0);
    // Unwound: the next frame draws from its own target again.
    EXPECT_EQ(GR_Surface_StackDepth(), 0);
    ForgetErrors();
    leak = false;
    DrawFrame();
    EXPECT_EQ(LastReport(), "");
    EXPECT_EQ(guiRuns, 1);
}

TEST_F(DrawFrameTest, AResizeOfTheApplicationSurfaceTakesEffectWithTheNextFrame)
{
    DrawFrame();
    const int32_t id = ApplicationSurface;
    ASSERT_TRUE(GR_Surface_Exists(id));
    EXPECT_EQ(GR_Surface_GetWidth(id), 64);
    ApplicationSurface_RequestResize(128, 96);
    EXPECT_EQ(GR_Surface_GetWidth(id), 64);
    DrawFrame();
    EXPECT_EQ(ApplicationSurface, id);
    EXPECT_EQ(GR_Surface_GetWidth(id), 128);
    EXPECT_EQ(GR_Surface_GetHeight(id), 96);
    // Lost with the device, it is made again by the next frame.
    GR_D3D_RecreateDevice();
    ASSERT_TRUE(Start_Frame());
    DrawFrame();
    EXPECT_TRUE(GR_Surface_Exists(ApplicationSurface));
    EXPECT_NE(ApplicationSurface, id);
}

TEST_F(DrawFrameTest, RoomAsksForItsSizeOrItsPortsAtLeastEightPixels)
{
    room.width = 40;
    room.height = 30;
    UpdateWindowSizeForRoom();
    int width = 0, height = 0;
    GR_D3D_GetBackBufferSize(&width, &height);
    EXPECT_EQ(width, 40);
    EXPECT_EQ(height, 30);
    room.enableViews = true;
    room.views[3].visible = true;
    room.views[3].portX = room.views[3].portY = 1;
    room.views[3].portWidth = room.views[3].portHeight = 3;
    UpdateWindowSizeForRoom();
    GR_D3D_GetBackBufferSize(&width, &height);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(height, 8);
    // Ports from a damaged saved game: their sums would not fit an int.
    room.views[3].portX = INT32_MIN;
    room.views[3].portWidth = -100;
    UpdateWindowSizeForRoom();
    GR_D3D_GetBackBufferSize(&width, &height);
    EXPECT_EQ(width, 8);
}

TEST(DrawViewFollow, ViewFollowsItsTargetWithinBordersSpeedAndRoom)
{
    // Kept separate from drawing: the view update alone.
    CGameRoom room;
    room.width = 1000;
    room.height = 480;
    room.enableViews = true;
    RoomView& v = room.views[0];
    v.visible = true;
    v.viewX = 100;
    v.viewWidth = 320;
    v.viewHeight = 480;
    v.borderH = 32;
    CInstance* target = room.CreateInstance(500, 100, -1);
    v.followObject = target->id;
    CGameRoom* previous = Run_Room;
    Run_Room = &room;
    UpdateViews();
    EXPECT_FLOAT_EQ(v.viewX, 212);  // 500 + 32 - 320
    v.viewX = 100;
    v.hspeed = 50;
    UpdateViews();
    EXPECT_FLOAT_EQ(v.viewX, 150);
    v.hspeed = -1;
    v.viewWidth = 1200;  // wider than the room
    UpdateViews();
    EXPECT_FLOAT_EQ(v.viewX, -200);
    room.DeleteActiveInstances();
    Run_Room = previous;
}

// A layer with a shader draws its instances with it: the shader here halves
// red, and the built-in shaders are back once the layer is drawn.
TEST_F(DrawFrameTest, ALayerWithAShaderDrawsItsInstancesWithIt)
{
    const std::vector<uint8_t> image = shaderfixtures::Game({shaderfixtures::TintShader("sh_half", true)});
    GameData_SetImage(image.data(), static_cast<uint32_t>(image.size()));
    uint32_t pos = 8;
    GameChunk chunk{};
    while (GameData_NextChunk(image.data(), static_cast<uint32_t>(image.size()), &pos, &chunk) &&
           std::string(chunk.tag) != "SHDR") {
    }
    ASSERT_TRUE(Shader_Load(chunk.payload, chunk.length, image.data()));
    ASSERT_TRUE(Shader_Select(0));
    const float half[4] = {0.5f, 1, 1, 1};
    ASSERT_TRUE(Shader_SetUniformF(Shader_GetUniformIndex(Shader_Get(0), "tint"), 4, half));
    Shader_Reset();

    LayerMode = true;
    const int32_t plain = NewObject();
    Object_BuildEventLists();
    RoomLayer* shaded = Layer_Create(&room, 0, "shaded");
    shaded->shader = 0;
    CInstance* instance = room.CreateInstanceOnLayerId(8, 8, shaded->id, plain);
    instance->sprite_index = red;
    instance->visible = true;
    DrawFrame();
    EXPECT_TRUE(At(10, 10, Rgba(128, 0, 0, 255))) << std::hex << frame.Pixel(10, 10);
    EXPECT_TRUE(At(30, 30, Rgba(0, 255, 0, 255)));
    EXPECT_EQ(Shader_GetCurrent(), -1);
    Shader_FreeAll();
    GameData_SetImage(nullptr, 0);
}
