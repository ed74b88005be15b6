// Particles read back from the software device: shapes tinted by colour and
// alpha, additive blending switched per type and reset after each system,
// draw order, and systems drawn on their layer or between instances by depth.
#include <gtest/gtest.h>

#include "Draw/Draw_Frame.h"
#include "Graphics/BuiltinImages.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Particle/ParticleFixture.h"
#include "Sprite/Sprite_Main.h"
#include "World/Object_Lists.h"
#include "World/Room_Layers.h"
#include "support/GpuTestFrame.h"

namespace {
constexpr int kSquare = 2;

struct ParticleDraw : ParticleFixture {
    GpuTestFrame frame{64, 48};

    void SetUp() override
    {
        ParticleFixture::SetUp();
        ASSERT_TRUE(frame.ok);
        GR_D3D_SetBuiltinTextureSource(BuiltinImages_Table);
        Part_CreateTextures();
        room.width = 64;
        room.height = 48;
        room.colour = 0x000064;  // red 100
        room.showColour = true;
    }
    void TearDown() override
    {
        ParticleFixture::TearDown();  // the shape textures go before the device
        Object_FreeEventLists();
        Sprite_Init();
    }
    // A still square of 14 × 14 pixels in the colour.
    static int32_t Square(int32_t colour, bool additive, float alpha = 1)
    {
        const int32_t t = MovingType(0, 0, 100);
        ParticleType_SetShape(t, kSquare);
        ParticleType_SetSize(t, 0.25f, 0.25f, 0, 0);
        const int32_t one[1] = {colour};
        ParticleType_SetColour(t, 0, one);
        ParticleType_SetAlpha(t, alpha, alpha, alpha);
        ParticleType_SetAdditive(t, additive);
        return t;
    }
    void Clear() { GR_D3D_Clear(0xFF000064u, 1.0f, 0, CLEAR_COLOUR); }
    bool At(int x, int y, uint32_t rgba) const { return Near(frame.Pixel(x, y), rgba, 3); }
};
}  // namespace

TEST_F(ParticleDraw, AdditiveTypesAddToWhatIsBelowAndBlendingIsNormalAfterTheSystem)
{
    const int32_t glow = Square(0x006400, true), plain = Square(0x006400, false), faint = Square(0x640000, false, 0.5f);
    const int32_t first = ParticleSystem_Create(-1, true), second = ParticleSystem_Create(-1, true);
    Particles_Create(first, 10, 10, plain, 1);
    Particles_Create(first, 30, 10, glow, 1);  // the system's last particle is additive
    Particles_Create(second, 50, 10, plain, 1);
    Particles_Create(second, 10, 35, faint, 1);
    Clear();
    ParticleSystem_Draw(first);
    ParticleSystem_Draw(second);
    EXPECT_TRUE(At(10, 10, Rgba(0, 100, 0, 255))) << std::hex << frame.Pixel(10, 10);
    EXPECT_TRUE(At(30, 10, Rgba(100, 100, 0, 255))) << std::hex << frame.Pixel(30, 10);
    EXPECT_TRUE(At(50, 10, Rgba(0, 100, 0, 255))) << std::hex << frame.Pixel(50, 10);
    EXPECT_TRUE(Near(frame.Pixel(10, 35) & 0xFFFFFF, Rgba(50, 0, 50, 0), 3)) << std::hex << frame.Pixel(10, 35);
    EXPECT_TRUE(At(20, 10, Rgba(100, 0, 0, 255)));  // between the squares
}

TEST_F(ParticleDraw, OldToNewOffDrawsTheNewestFirstSoOlderParticlesEndOnTop)
{
    const int32_t red = Square(0x0000FF, false), blue = Square(0xFF0000, false);
    const int32_t s = ParticleSystem_Create(-1, true);
    Particles_Create(s, 20, 20, red, 1);
    Particles_Create(s, 24, 20, blue, 1);
    Clear();
    ParticleSystem_Draw(s);
    EXPECT_TRUE(At(22, 20, Rgba(0, 0, 255, 255)));
    ParticleSystem_SetDrawOrder(s, false);
    ParticleSystem_SetPosition(s, 20, 0);  // drawn 20 pixels to the right
    ParticleSystem_Draw(s);
    EXPECT_TRUE(At(42, 20, Rgba(255, 0, 0, 255))) << std::hex << frame.Pixel(42, 20);
    // A particle with lifetime 0 ends the drawing of the particles after it.
    ParticleType_SetLife(red, 0, 0);
    Particles_Create(s, 0, 0, red, 1);
    Particles_Create(s, 0, 40, blue, 1);
    ParticleSystem_SetDrawOrder(s, true);
    Clear();
    ParticleSystem_Draw(s);
    EXPECT_TRUE(At(42, 20, Rgba(0, 0, 255, 255)));
    EXPECT_TRUE(At(20, 40, Rgba(100, 0, 0, 255)));
}

TEST_F(ParticleDraw, SystemsAreDrawnOnTheirLayerWhenDrawnAutomatically)
{
    LayerMode = true;
    RoomLayer* layer = Layer_Create(&room, 10, "fx");
    ASSERT_NE(layer, nullptr);
    const int32_t shown = ParticleSystem_Create(layer->id, true), hidden = ParticleSystem_Create(layer->id, true);
    ASSERT_NE(shown, -1);
    ParticleSystem_SetAutoDraw(hidden, false);
    Particles_Create(shown, 16, 24, Square(0x006400, true), 1);
    Particles_Create(hidden, 48, 24, Square(0x006400, false), 1);
    DrawFrame();
    EXPECT_TRUE(At(16, 24, Rgba(100, 100, 0, 255))) << std::hex << frame.Pixel(16, 24);
    EXPECT_TRUE(At(48, 24, Rgba(100, 0, 0, 255))) << std::hex << frame.Pixel(48, 24);
    ParticleSystem_Clear(shown);  // off its layer: not drawn until placed again
    Particles_Create(shown, 16, 24, Square(0xFF0000, false), 1);
    DrawFrame();
    EXPECT_TRUE(At(16, 24, Rgba(100, 0, 0, 255))) << std::hex << frame.Pixel(16, 24);
    Layer_FreeAll(&room);
}

TEST_F(ParticleDraw, WithoutLayersSystemsAreDrawnBeforeAnInstanceOfSmallerDepthAndAfterOneOfLarger)
{
    std::vector<uint32_t> pixels(64, 0xFFFFFFFFu);
    const int32_t white = Sprite_AddEmpty();
    ASSERT_TRUE(Sprite_Get(white)->LoadFromPixels(pixels.data(), 8, 8, 1, false, false, false, 4, 4, true));
    const int32_t object = NewObject(-1, 0);
    Object_BuildEventLists();
    for (float x : {16.0f, 48.0f}) {
        CInstance* instance = room.CreateInstance(x, 24, object);
        instance->sprite_index = white;
        instance->visible = true;
    }
    const int32_t behind = ParticleSystem_Create(-1, true), front = ParticleSystem_Create(-1, true);
    const int32_t hidden = ParticleSystem_Create(-1, true);
    ParticleSystem_SetDepth(behind, 10);
    ParticleSystem_SetDepth(front, -10);
    ParticleSystem_SetDepth(hidden, -20);
    ParticleSystem_SetAutoDraw(hidden, false);
    const int32_t blue = Square(0xFF0000, false);
    Particles_Create(behind, 16, 24, blue, 1);
    Particles_Create(front, 48, 24, blue, 1);
    Particles_Create(hidden, 32, 40, blue, 1);
    EXPECT_EQ(ParticleSystem_MaxDepth(), 10);
    EXPECT_EQ(ParticleSystem_NextDepthBelow(10), -10);
    EXPECT_EQ(ParticleSystem_NextDepthBelow(-10), -1e9f);
    DrawFrame();
    EXPECT_TRUE(At(16, 24, Rgba(255, 255, 255, 255))) << std::hex << frame.Pixel(16, 24);
    EXPECT_TRUE(At(22, 24, Rgba(0, 0, 255, 255))) << std::hex << frame.Pixel(22, 24);
    EXPECT_TRUE(At(48, 24, Rgba(0, 0, 255, 255))) << std::hex << frame.Pixel(48, 24);
    EXPECT_TRUE(At(32, 40, Rgba(100, 0, 0, 255)));
}
