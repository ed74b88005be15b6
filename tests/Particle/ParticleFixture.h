#pragma once
// The particle module over a world run by hand: empty tables, a seeded
// generator, the log captured; everything freed afterwards.
#include <string>

#include "Base/Console.h"
#include "Base/Random.h"
#include "Particle/Particle_Main.h"
#include "World/WorldFixture.h"
#include "support/RecordingConsole.h"

struct ParticleFixture : WorldFixture {
    RecordingConsole log;
    tagIConsole* savedLog = nullptr;

    void SetUp() override
    {
        WorldFixture::SetUp();
        LayerMode = false;
        savedLog = LogConsole;
        LogConsole = &log;
        Particle_Init();
        Random_Seed(1234);
    }
    void TearDown() override
    {
        ParticleSystem_FreeAll();
        LogConsole = savedLog;
        LayerMode = false;
        WorldFixture::TearDown();
    }
    static void Steps(int32_t system, int n)
    {
        for (int i = 0; i < n; ++i) ParticleSystem_Update(system);
    }
    static const Particle& At(int32_t system, int32_t i) { return ParticleSystem_Get(system)->particles[i]; }
    // A type with fixed speed, direction and lifetime (no random draws but the seed).
    static int32_t MovingType(float speed, float direction, int32_t life)
    {
        const int32_t t = ParticleType_Create();
        ParticleType_SetSpeed(t, speed, speed, 0, 0);
        ParticleType_SetDirection(t, direction, direction, 0, 0);
        ParticleType_SetLife(t, life, life);
        return t;
    }
};
