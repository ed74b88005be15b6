// The ready-made effects: particle counts, the frame-rate factor, the two
// persistent systems, and their clearing by effect_clear and room changes.
#include <gtest/gtest.h>

#include "Particle/ParticleFixture.h"
#include "Runner/Run_Main.h"
#include "Runner/Run_Room.h"
#include "World/Camera.h"
#include "World/Room_Main.h"

namespace {
constexpr int32_t kExplosion = 0, kFirework = 3, kStar = 6, kRain = 10, kSnow = 11;

struct ParticleEffects : ParticleFixture {
    int32_t savedFps = fps;
    void SetUp() override
    {
        ParticleFixture::SetUp();
        room.speed = 30;
        room.width = 200;
        room.height = 100;
        fps = 30;
    }
    void TearDown() override
    {
        fps = savedFps;
        ParticleFixture::TearDown();
    }
    static int32_t Below() { return Particles_Count(Effect_SystemBelow()); }
    static int32_t Above() { return Particles_Count(Effect_SystemAbove()); }
};
}  // namespace

TEST_F(ParticleEffects, ExplosionsAndFireworksMakeTheirParticlesInTheirSystem)
{
    Effect_Create(false, kExplosion, 50, 60, 0, 0x00FF00);
    ASSERT_EQ(Above(), 21);
    EXPECT_EQ(Below(), 0);
    const ParticleSystem& above = *ParticleSystem_Get(Effect_SystemAbove());
    for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(above.particles[i].colour, 0x00FF00);
    EXPECT_EQ(above.particles[20].colour, 0);
    EXPECT_EQ(above.depth, -100000);
    EXPECT_EQ(ParticleSystem_Get(Effect_SystemBelow())->depth, 100000);
    // The first effect made 35 types; the game's next type comes after them.
    EXPECT_EQ(ParticleType_Create(), 35);

    Effect_Create(true, kFirework, 0, 0, 1, 0xFF);
    ASSERT_EQ(Below(), 150);
    const Particle& spark = ParticleSystem_Get(Effect_SystemBelow())->particles[0];
    EXPECT_FLOAT_EQ(ParticleType_Get(spark.type)->gravAmount, 0.15f);
    Effect_Create(true, 12, 0, 0, 1, 0xFF);  // no such kind
    EXPECT_EQ(Below(), 150);
}

TEST_F(ParticleEffects, SpeedsAndLifetimesFollowTheFrameRate)
{
    struct Case {
        int32_t speed, measured, life;
    };
    // Lifetime 20 / e of a small star: e = 1 up to 30 frames, 30 / 60 at
    // full speed, 30 / 40 when the game runs a fifth or more behind.
    for (const Case& c : {Case{30, 30, 20}, Case{60, 60, 40}, Case{60, 55, 40}, Case{60, 40, 27}, Case{20, 20, 20}}) {
        SCOPED_TRACE(c.measured);
        room.speed = c.speed;
        fps = c.measured;
        Effect_Clear();
        Effect_Create(false, kStar, 0, 0, 0, 0);
        ASSERT_EQ(Above(), 1);
        EXPECT_EQ(ParticleSystem_Get(Effect_SystemAbove())->particles[0].lifetime, c.life);
    }
}

TEST_F(ParticleEffects, RainAndSnowFallFromABandAboveTheRoomWhateverThePosition)
{
    Effect_Create(false, kRain, 5000, 5000, 2, 0);
    Effect_Create(false, kSnow, 5000, 5000, 2, 0);
    ASSERT_EQ(Above(), 16);
    const ParticleSystem& s = *ParticleSystem_Get(Effect_SystemAbove());
    for (int32_t i = 0; i < 16; ++i) {
        const float left = i < 9 ? 0 : -60;
        EXPECT_GE(s.particles[i].x, left);
        EXPECT_LT(s.particles[i].x, left + 240);
        EXPECT_GE(s.particles[i].y, -30);
        EXPECT_LT(s.particles[i].y, -10);
    }
    EXPECT_EQ(s.particles[0].lifetime, 20);  // a fifth of the room height
    EXPECT_EQ(s.particles[15].lifetime, 50);
}

TEST_F(ParticleEffects, EffectClearLeavesGameSystemsAndDestroyedEffectSystemsAreMadeAgain)
{
    const int32_t game = ParticleSystem_Create(-1, true);
    Particles_Create(game, 0, 0, ParticleType_Create(), 3);
    Effect_Create(true, kStar, 0, 0, 1, 0);
    Effect_Create(false, kStar, 0, 0, 1, 0);
    Effect_Clear();
    EXPECT_EQ(Below() + Above(), 0);
    EXPECT_EQ(Particles_Count(game), 3);
    ParticleSystem_Destroy(Effect_SystemBelow());
    Effect_Create(true, kStar, 0, 0, 1, 0);
    EXPECT_EQ(Below(), 1);
    // Every type gone: the effects make theirs again.
    Particle_Init();
    Effect_Create(false, kStar, 0, 0, 1, 0);
    EXPECT_EQ(Above(), 1);
    EXPECT_EQ(ParticleType_Count(), 35);
}

TEST_F(ParticleEffects, ARoomChangeClearsTheEffects)
{
    Room_Init();
    for (int32_t i = 0; i < 2; ++i) ASSERT_EQ(Room_Add(), i);
    CameraList::CreateCamera();
    Run_StartRoom(0, true);
    Effect_Create(false, kExplosion, 10, 10, 2, 0xFF);
    Effect_Create(true, kStar, 10, 10, 2, 0xFF);
    const int32_t game = ParticleSystem_Create(-1, true);
    Particles_Create(game, 0, 0, 0, 2);
    SwitchRoom(1);
    EXPECT_EQ(Above() + Below(), 0);
    EXPECT_TRUE(ParticleSystem_Exists(Effect_SystemAbove()));
    EXPECT_EQ(Particles_Count(game), 2);
    Run_EndGame();
    PendingRoomCode = -1;
}
