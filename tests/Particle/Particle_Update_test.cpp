// One step of a system: ageing and spawns, motion with gravity, appearance
// over the lifetime, streams; and the emitters' regions and distributions.
#include <gtest/gtest.h>

#include <cmath>

#include "Base/ErrorLast.h"
#include "Graphics/Graphics_Colour.h"
#include "Particle/ParticleFixture.h"

namespace {
struct ParticleUpdate : ParticleFixture {
    int32_t system = -1;
    void SetUp() override
    {
        ParticleFixture::SetUp();
        system = ParticleSystem_Create(-1, true);
    }
};
}  // namespace

TEST_F(ParticleUpdate, BirthDrawsInAFixedOrderFromTheEnginesGenerator)
{
    const int32_t t = ParticleType_Create();
    ParticleType_SetSpeed(t, 1, 3, 0, 0);
    ParticleType_SetDirection(t, 0, 360, 0, 0);
    ParticleType_SetOrientation(t, 10, 20, 0, 0, false);
    ParticleType_SetLife(t, 10, 15);
    const int32_t mix[2] = {0x0000FF, 0xFF0000};
    ParticleType_SetColour(t, 5, mix);
    ParticleType_SetSize(t, 0.5f, 1.5f, 0, 0);
    ParticleType_SetSprite(t, -1, true, false, true);
    Random_Seed(77);
    float r[9];
    for (float& v : r) v = static_cast<float>(Random_NextReal(1));
    Random_Seed(77);
    Particles_Create(system, 5, 6, t, 1);
    const Particle& p = At(system, 0);
    EXPECT_EQ(p.speed, 1 + r[0] * 2);
    EXPECT_EQ(p.direction, r[1] * 360);
    EXPECT_EQ(p.angle, 10 + r[2] * 10);
    EXPECT_EQ(p.lifetime, static_cast<int32_t>(10 + r[3] * 5));
    EXPECT_EQ(static_cast<uint32_t>(p.colour), Colour_Merge(0x0000FF, 0xFF0000, r[4]));
    EXPECT_EQ(p.size, 0.5f + r[5]);
    Random_Seed(77);
    for (int i = 0; i < 6; ++i) Random_NextReal(1);
    const uint32_t image = Random_NextInt(10000), seed = Random_NextInt(100000);
    EXPECT_EQ(p.startImage, static_cast<int32_t>(image));
    EXPECT_EQ(p.seed, static_cast<int32_t>(seed));
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.yprev, 6);
    // Equal ends draw nothing: the next particle of a fixed type takes only image and seed draws.
    const int32_t fixed = MovingType(2, 45, 7);
    Random_Seed(5);
    Random_NextInt(100000);
    const uint32_t second = Random_NextInt(100000);
    Random_Seed(5);
    Particles_Create(system, 0, 0, fixed, 2);
    EXPECT_EQ(At(system, 2).seed, static_cast<int32_t>(second));
    EXPECT_EQ(At(system, 2).lifetime, 7);
}

TEST_F(ParticleUpdate, PositionsAfterStepsFollowSpeedIncrementsAndGravity)
{
    const int32_t up = MovingType(2, 90, 10);
    ParticleType_SetSpeed(up, 2, 2, 0.5f, 0);
    const int32_t falling = MovingType(0, 0, 10);
    ParticleType_SetGravity(falling, 1, 270);
    const int32_t slowing = MovingType(1, 0, 10);
    ParticleType_SetSpeed(slowing, 1, 1, -0.4f, 0);
    Particles_Create(system, 100, 100, up, 1);
    Particles_Create(system, 50, 10, falling, 1);
    Particles_Create(system, 0, 0, slowing, 1);
    Steps(system, 3);
    // 2.5 + 3 + 3.5 upward; gravity adds 1 per step: 1 + 2 + 3 down; 0.6 + 0.2 + 0 right.
    EXPECT_NEAR(At(system, 0).x, 100, 1e-4);
    EXPECT_NEAR(At(system, 0).y, 91, 1e-4);
    EXPECT_NEAR(At(system, 0).yprev, 94.5f, 1e-4);
    EXPECT_NEAR(At(system, 1).y, 16, 1e-4);
    EXPECT_NEAR(At(system, 1).x, 50, 1e-4);
    EXPECT_NEAR(At(system, 1).direction, 270, 1e-3);
    EXPECT_NEAR(At(system, 1).speed, 3, 1e-5);
    EXPECT_NEAR(At(system, 2).x, 0.8f, 1e-5);
    EXPECT_EQ(At(system, 2).speed, 0);
    // Without gravity the direction is not wrapped.
    const int32_t turning = MovingType(0, 0, 100);
    ParticleType_SetDirection(turning, 0, 0, 10, 0);
    Particles_Clear(system);
    Particles_Create(system, 0, 0, turning, 1);
    Steps(system, 37);
    EXPECT_NEAR(At(system, 0).direction, 370, 1e-3);
    // Each step moves along that step's direction: up, left, down, right.
    const int32_t square = MovingType(1, 0, 100);
    ParticleType_SetDirection(square, 0, 0, 90, 0);
    Particles_Clear(system);
    Particles_Create(system, 10, 10, square, 1);
    Steps(system, 2);
    EXPECT_NEAR(At(system, 0).x, 9, 1e-4);
    EXPECT_NEAR(At(system, 0).y, 9, 1e-4);
    Steps(system, 2);
    EXPECT_NEAR(At(system, 0).x, 10, 1e-4);
    EXPECT_NEAR(At(system, 0).y, 10, 1e-4);
}

TEST_F(ParticleUpdate, ParticlesDieWhenTheirAgeReachesTheLifetimeAndSpawnAtDeath)
{
    const int32_t child = MovingType(0, 0, 5);
    const int32_t parent = MovingType(1, 0, 3);
    ParticleType_SetDeath(parent, 3, child);
    const int32_t flash = MovingType(4, 0, 1);
    Particles_Create(system, 10, 20, parent, 2);
    Particles_Create(system, 0, 0, flash, 1);
    Particles_Create(system, 0, 0, flash, 0);
    Particles_Create(system, 0, 0, flash, -5);
    ASSERT_EQ(Particles_Count(system), 3);
    Steps(system, 1);
    EXPECT_EQ(Particles_Count(system), 2);  // lifetime 1: gone in the first step, never moved
    Steps(system, 1);
    EXPECT_EQ(Particles_Count(system), 2);
    Steps(system, 1);
    ASSERT_EQ(Particles_Count(system), 6);
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(At(system, i).type, child);
        EXPECT_EQ(At(system, i).age, 1);  // spawned this step and aged in it
        EXPECT_NEAR(At(system, i).x, 12, 1e-5);
        EXPECT_EQ(At(system, i).y, 20);
    }
    Steps(system, 4);
    EXPECT_EQ(Particles_Count(system), 0);
}

TEST_F(ParticleUpdate, NegativeSpawnNumbersAreChancesAndSelfSpawningIsReported)
{
    const int32_t child = MovingType(0, 0, 1000);
    const int32_t parent = MovingType(0, 0, 1);
    ParticleType_SetDeath(parent, -4, child);
    Particles_Create(system, 0, 0, parent, 4000);
    Steps(system, 1);
    EXPECT_GT(Particles_Count(system), 850);
    EXPECT_LT(Particles_Count(system), 1150);

    Particles_Clear(system);
    const int32_t selfish = MovingType(0, 0, 10);
    ParticleType_SetStep(selfish, 1, selfish);
    Particles_Create(system, 0, 0, selfish, 2);
    ErrorLast_Set(nullptr);
    Steps(system, 1);
    EXPECT_EQ(Particles_Count(system), 2);
    EXPECT_NE(LastReport().find("Error: a particle cannot spawn another of the same type"), std::string::npos);
}

TEST_F(ParticleUpdate, TypesThatSpawnEachOtherEveryStepStopGrowingWithinAStep)
{
    const int32_t a = MovingType(0, 0, 10), b = MovingType(0, 0, 10);
    ParticleType_SetStep(a, 1, b);
    ParticleType_SetStep(b, 1, a);
    Particles_Create(system, 0, 0, a, 1);
    Steps(system, 1);
    EXPECT_GT(Particles_Count(system), 1000);
    EXPECT_LE(Particles_Count(system), 200000);
}

TEST_F(ParticleUpdate, ColourAndAlphaChangeOverTheLifetime)
{
    const int32_t t = MovingType(0, 0, 4);
    const int32_t colours[3] = {0x000000, 0x0000FF, 0x00FF00};
    ParticleType_SetColour(t, 2, colours);
    ParticleType_SetAlpha(t, 1, 0.5f, 0);
    ParticleType_SetSize(t, 1, 1, -0.4f, 0);
    Particles_Create(system, 0, 0, t, 1);
    Steps(system, 1);  // age 1 of 4: half way to the middle colour and alpha
    EXPECT_EQ(At(system, 0).colour, 0x000080);
    EXPECT_FLOAT_EQ(At(system, 0).alpha, 0.75f);
    Steps(system, 2);  // age 3 of 4: half way from the middle to the end
    EXPECT_EQ(At(system, 0).colour, 0x008080);
    EXPECT_FLOAT_EQ(At(system, 0).alpha, 0.25f);
    EXPECT_EQ(At(system, 0).size, 0);
}

TEST_F(ParticleUpdate, MissingTypesAndSystemsAreLoggedOrIgnored)
{
    Particles_Create(system, 0, 0, 99, 1);
    Particles_Create(system + 5, 0, 0, 0, 1);
    EXPECT_EQ(log.text,
              "part_particles_create :: particle type does not exist!\n"
              "part_particles_create :: particle system does not exist!\n");
    // A particle whose type went away ages and dies without moving.
    const int32_t t = MovingType(3, 0, 2);
    Particles_Create(system, 0, 0, t, 1);
    ParticleType_Destroy(t);
    Steps(system, 1);
    EXPECT_EQ(At(system, 0).x, 0);
    Steps(system, 1);
    EXPECT_EQ(Particles_Count(system), 0);
    EXPECT_EQ(Particles_Count(-3), 0);
}

TEST_F(ParticleUpdate, RegionsPlaceEveryParticleInsideTheirShape)
{
    const int32_t t = MovingType(0, 0, 100);
    const int32_t e = ParticleEmitter_Create(system);
    for (int32_t distribution : {0, 1, 2}) {
        SCOPED_TRACE(distribution);
        Particles_Clear(system);
        ParticleEmitter_SetRegion(system, e, 0, 100, 0, 50, 3, distribution);
        ParticleEmitter_Burst(system, e, t, 200);
        ASSERT_EQ(Particles_Count(system), 200);
        for (int32_t i = 0; i < 200; ++i) EXPECT_NEAR(At(system, i).y, At(system, i).x / 2, 1e-3);
        for (int32_t shape : {1, 2}) {
            Particles_Clear(system);
            ParticleEmitter_SetRegion(system, e, 100, 300, 50, 150, shape, distribution);
            ParticleEmitter_Burst(system, e, t, 300);
            for (int32_t i = 0; i < 300; ++i) {
                const float u = (At(system, i).x - 200) / 100, v = (At(system, i).y - 100) / 50;
                EXPECT_LE(shape == 1 ? u * u + v * v : std::fabs(u) + std::fabs(v), 1.0001f);
            }
        }
    }
    // Gaussian puts most values near the middle, the inverse near the ends.
    for (auto [distribution, middle] : {std::pair{1, true}, std::pair{2, false}}) {
        Particles_Clear(system);
        ParticleEmitter_SetRegion(system, e, 0, 100, 0, 0, 0, distribution);
        ParticleEmitter_Burst(system, e, t, 1000);
        int32_t central = 0;
        for (int32_t i = 0; i < 1000; ++i) central += std::fabs(At(system, i).x - 50) < 25 ? 1 : 0;
        if (middle) EXPECT_GT(central, 800);
        else EXPECT_LT(central, 500);
    }
}

TEST_F(ParticleUpdate, StreamsEmitEachStepOnlyFromExistingEmitters)
{
    const int32_t t = MovingType(0, 0, 1);
    const int32_t e0 = ParticleEmitter_Create(system), e1 = ParticleEmitter_Create(system);
    ASSERT_EQ(e1, 1);
    ParticleEmitter_SetStream(system, e0, t, 2);
    ParticleEmitter_SetStream(system, e1, t, 5);
    ParticleEmitter_Destroy(system, e1);
    Steps(system, 1);
    EXPECT_EQ(Particles_Count(system), 2);  // lifetime 1, so only this step's particles remain
    EXPECT_EQ(ParticleEmitter_Create(system), 1);  // the id comes back, cleared
    Steps(system, 1);
    EXPECT_EQ(Particles_Count(system), 2);

    ParticleEmitter_SetStream(system, e0, t, -3);
    int32_t total = 0;
    for (int i = 0; i < 3000; ++i) {
        Steps(system, 1);
        total += Particles_Count(system);
    }
    EXPECT_GT(total, 850);
    EXPECT_LT(total, 1150);

    ParticleEmitter_SetStream(system + 1, 0, t, 1);
    ParticleEmitter_SetStream(system, 9, t, 1);
    EXPECT_EQ(log.text,
              "part_emitter_stream :: particle system does not exist!\n"
              "part_emitter_stream :: specified emitter does not exist\n");
    ParticleEmitter_DestroyAll(system);
    EXPECT_FALSE(ParticleEmitter_Exists(system, 0));
    EXPECT_EQ(ParticleEmitter_Create(system + 1), -1);
}
