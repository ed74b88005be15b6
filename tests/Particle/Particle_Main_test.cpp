// Type and system tables: id reuse, defaults and clearing, and what room
// changes do to systems with and without layers.
#include <gtest/gtest.h>

#include "Particle/ParticleFixture.h"
#include "Runner/Run_Room.h"
#include "World/Camera.h"
#include "World/Room_Layers.h"
#include "World/Room_Main.h"

TEST_F(ParticleFixture, DestroyedIdsComeBackLowestFirstWithoutGrowingTheTables)
{
    struct Table {
        int32_t (*create)();
        void (*destroy)(int32_t);
        int32_t (*count)();
    };
    for (const Table& table : {Table{ParticleType_Create, ParticleType_Destroy, ParticleType_Count},
                               Table{[] { return ParticleSystem_Create(-1, true); }, ParticleSystem_Destroy,
                                     ParticleSystem_Count}}) {
        auto [create, destroy, count] = table;
        EXPECT_EQ(create(), 0);
        EXPECT_EQ(create(), 1);
        EXPECT_EQ(create(), 2);
        destroy(1);
        EXPECT_EQ(create(), 1);
        destroy(2);
        EXPECT_EQ(create(), 2);
        EXPECT_EQ(count(), 3);
        destroy(7);
        destroy(-1);
        EXPECT_EQ(count(), 3);
    }
    EXPECT_FALSE(ParticleType_Exists(3));
    EXPECT_FALSE(ParticleSystem_Exists(-1));
    EXPECT_EQ(ParticleSystem_GetLayer(9), -1);
}

TEST_F(ParticleFixture, ClearingATypeRestoresDefaultsButKeepsBlendingAndTheLastColourParameters)
{
    const int32_t t = ParticleType_Create();
    ParticleType_SetAdditive(t, true);
    const int32_t rgb[6] = {1, 2, 3, 4, 5, 6};
    ParticleType_SetColour(t, 3, rgb);
    ParticleType_SetSprite(t, 4, false, true, true);
    ParticleType_SetLife(t, 5, 6);
    ParticleType_SetGravity(t, 1, 90);
    ParticleType_SetAlpha(t, 0.1f, 0.2f, 0.3f);
    ParticleType_Clear(t);
    const ParticleType& c = *ParticleType_Get(t);
    EXPECT_TRUE(c.additive);
    EXPECT_EQ(c.colourMode, 0);
    EXPECT_EQ(c.colour[0], 0xFFFFFF);
    EXPECT_EQ(c.colour[2], 0xFFFFFF);
    EXPECT_EQ(c.colour[3], 4);
    EXPECT_EQ(c.colour[5], 6);
    EXPECT_EQ(c.sprite, -1);
    EXPECT_TRUE(c.animate);
    EXPECT_FALSE(c.randomImage);
    EXPECT_EQ(c.lifeMin, 100);
    EXPECT_EQ(c.gravAmount, 0);
    EXPECT_EQ(c.gravDir, 270);
    EXPECT_EQ(c.alphaMiddle, 1);
    // A shape after a sprite draws the shape; a sprite after a shape keeps the shape stored.
    ParticleType_SetSprite(t, 3, true, false, false);
    ParticleType_SetShape(t, 5);
    EXPECT_EQ(c.sprite, -1);
    ParticleType_SetSprite(t, 3, true, false, false);
    EXPECT_EQ(c.shape, 5);
}

TEST_F(ParticleFixture, WithoutLayersRoomChangesLeaveSystemsAndDepthIsOnlyStored)
{
    const int32_t s = ParticleSystem_Create(-1, false);
    ParticleSystem_SetDepth(s, 42.5f);
    ParticleSystem_RoomEnd();
    ParticleSystem_RoomStart();
    ASSERT_TRUE(ParticleSystem_Exists(s));
    EXPECT_EQ(ParticleSystem_Get(s)->depth, 42.5f);
    EXPECT_EQ(ParticleSystem_Get(s)->elementId, -1);
    EXPECT_FALSE(ParticleSystem_Get(s)->transient);
}

namespace {
// Two rooms in layer mode; room 0 has a layer "fx" at depth 20 (id kept).
struct ParticleLayers : ParticleFixture {
    int32_t fxLayer = -1;
    void SetUp() override
    {
        ParticleFixture::SetUp();
        LayerMode = true;
        Room_Init();
        for (int32_t i = 0; i < 2; ++i) ASSERT_EQ(Room_Add(), i);
        CameraList::CreateCamera();
        Run_StartRoom(0, true);
        RoomLayer* layer = Layer_Create(Run_Room, 20, "fx");
        ASSERT_NE(layer, nullptr);
        fxLayer = layer->id;
    }
    void TearDown() override
    {
        ParticleSystem_FreeAll();
        Run_EndGame();
        PendingRoomCode = -1;
        ParticleFixture::TearDown();
    }
    static RoomLayer* LayerOf(int32_t system)
    {
        RoomLayer* layer = nullptr;
        const int32_t element = ParticleSystem_Get(system)->elementId;
        return element != -1 && Layer_FindElement(Run_Room, element, &layer) ? layer : nullptr;
    }
};
}  // namespace

TEST_F(ParticleLayers, SystemsStandOnLayersAndTransientOnesEndWithTheRoom)
{
    EXPECT_EQ(ParticleSystem_Create(fxLayer + 100, true), -1);
    EXPECT_EQ(ParticleSystem_Count(), 0);
    const int32_t kept = ParticleSystem_Create(fxLayer, true), gone = ParticleSystem_Create(fxLayer, false);
    const int32_t plain = ParticleSystem_Create(-1, true);
    ASSERT_NE(LayerOf(kept), nullptr);
    EXPECT_EQ(LayerOf(kept)->id, fxLayer);
    EXPECT_EQ(ParticleSystem_Get(kept)->depth, 20);
    ASSERT_NE(LayerOf(plain), nullptr);
    EXPECT_EQ(LayerOf(plain)->depth, 0);
    EXPECT_TRUE(LayerOf(plain)->dynamic);

    SwitchRoom(1);  // no layer of that id: the kept system goes at its depth
    EXPECT_FALSE(ParticleSystem_Exists(gone));
    ASSERT_NE(LayerOf(kept), nullptr);
    EXPECT_EQ(LayerOf(kept)->depth, 20);
    EXPECT_TRUE(LayerOf(kept)->dynamic);
    EXPECT_EQ(ParticleSystem_GetLayer(kept), fxLayer);

    // Clearing takes the system off its layer until its depth is set.
    ParticleSystem_Clear(kept);
    EXPECT_EQ(LayerOf(kept), nullptr);
    EXPECT_EQ(ParticleSystem_GetLayer(kept), -1);
    ParticleSystem_SetDepth(kept, -7.9f);
    ASSERT_NE(LayerOf(kept), nullptr);
    EXPECT_EQ(LayerOf(kept)->depth, -7);
}

TEST_F(ParticleLayers, ALayerOfAnotherTargetRoomPutsTheSystemAtItsDepthInTheCurrentRoom)
{
    const int32_t s = ParticleSystem_Create(-1, true);
    ParticleSystem_SetDepth(s, 33);
    CGameRoom* other = Room_Get(1);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(other, Run_Room);
    RoomLayer* far = Layer_Create(other, 20, "far");
    ASSERT_NE(far, nullptr);
    LayerTargetRoom = 1;
    ParticleSystem_SetLayer(s, far->id);
    LayerTargetRoom = -1;
    ASSERT_NE(LayerOf(s), nullptr);
    EXPECT_EQ(LayerOf(s)->depth, 33);
    EXPECT_TRUE(LayerOf(s)->dynamic);
    EXPECT_EQ(ParticleSystem_GetLayer(s), far->id);
}
