// The twelve ready-made effects: two persistent systems (below and above the
// instances) and 35 types made on first use and set up again before every
// effect, with speeds and lifetimes scaled so that an effect lasts about the
// same time at any frame rate.
#include <cmath>
#include <cstdint>

#include "Base/Random.h"
#include "Base/Timing.h"
#include "GameData/GameHeader.h"
#include "Particle/Particle_Main.h"
#include "Particle/Particle_Room.h"

namespace {

enum Shape { kLine = 3, kStar = 4, kRing = 6, kFlare = 8, kSpark = 9, kExplosion = 10, kSnow = 13 };
// First type of each kind in the table of 35 (two per size for the explosion).
enum Slot { kSlotExplosion = 0, kSlotRing = 6, kSlotEllipse = 9, kSlotFirework = 12, kSlotSmoke = 15,
            kSlotSmokeUp = 18, kSlotStar = 21, kSlotSpark = 24, kSlotFlare = 27, kSlotCloud = 30, kSlotRain = 33,
            kSlotSnow = 34, kTypeCount = 35 };

int32_t s_below = -1, s_above = -1;
bool s_typesMade = false;
int32_t s_types[kTypeCount];

// The speed factor: 1 up to 30 frames per second, else 30 over the target
// rate, or over the measured rate when the game falls behind by a fifth.
float SpeedFactor()
{
    double target = ParticleRoom_TargetRate();
    if (LayerMode) target = std::trunc(target);
    const double measured = fps;
    if (target > 30 && measured > 30)
        return static_cast<float>(target / measured < 1.2 ? 30 / target : 30 / measured);
    return 1;
}

int32_t Life(double steps, float e)
{
    const double v = std::nearbyint(steps / e);
    return v < 2147483647.0 ? static_cast<int32_t>(v) : INT32_MAX;
}

void EnsureSystem(int32_t* id, float plainDepth, float layerDepth)
{
    if (ParticleSystem_Exists(*id)) return;
    *id = ParticleSystem_Create(-1, true);
    ParticleSystem_SetDepth(*id, LayerMode ? layerDepth : plainDepth);
}

void Orientation360(int32_t t) { ParticleType_SetOrientation(t, 0, 360, 0, 0, false); }
void Direction360(int32_t t) { ParticleType_SetDirection(t, 0, 360, 0, 0); }
void Alpha2(int32_t t, float a, float b) { ParticleType_SetAlpha(t, a, (a + b) / 2, b); }

void Emit(int32_t system, float x, float y, int32_t type, int32_t colour, int32_t number)
{
    Particles_CreateColour(system, x, y, type, colour, number);
}

void Explosion(int32_t system, float x, float y, int size, int32_t colour, float e)
{
    static constexpr float kSize[3] = {0.1f, 0.3f, 0.4f}, kSizeIncr1[3] = {0.05f, 0.1f, 0.2f},
                           kSizeIncr2[3] = {0.1f, 0.2f, 0.4f}, kSpeed[3] = {2, 4, 7},
                           kSpeedIncr[3] = {-0.1f, -0.18f, -0.2f};
    static constexpr int kLifeMin[3] = {10, 12, 15}, kLife2[3] = {15, 17, 20};
    const int32_t first = s_types[kSlotExplosion + 2 * size], second = s_types[kSlotExplosion + 2 * size + 1];
    ParticleType_SetShape(first, kExplosion);
    ParticleType_SetSize(first, kSize[size], kSize[size], kSizeIncr1[size] * e, 0);
    Orientation360(first);
    Direction360(first);
    ParticleType_SetSpeed(first, kSpeed[size] * e, kSpeed[size] * e, kSpeedIncr[size] * e, 0);
    Alpha2(first, 0.6f, 0);
    ParticleType_SetLife(first, Life(kLifeMin[size], e), Life(kLifeMin[size] + 5, e));
    ParticleType_SetShape(second, kExplosion);
    ParticleType_SetSize(second, kSize[size], kSize[size], kSizeIncr2[size] * e, 0);
    Orientation360(second);
    Alpha2(second, 0.8f, 0);
    ParticleType_SetLife(second, Life(kLife2[size], e), Life(kLife2[size], e));
    Emit(system, x, y, first, colour, 20);
    Emit(system, x, y, second, 0, 1);
}

void Ring(int32_t system, float x, float y, int size, int32_t colour, float e, bool ellipse)
{
    static constexpr float kRingIncr[3] = {0.15f, 0.25f, 0.4f}, kEllipseIncr[3] = {0.2f, 0.35f, 0.6f};
    static constexpr int kLifeMin[3] = {10, 13, 18};
    const int32_t t = s_types[(ellipse ? kSlotEllipse : kSlotRing) + size];
    ParticleType_SetShape(t, kRing);
    Alpha2(t, 1, 0);
    ParticleType_SetSize(t, 0, 0, (ellipse ? kEllipseIncr : kRingIncr)[size] * e, 0);
    if (ellipse) ParticleType_SetScale(t, 1, 0.5f);
    ParticleType_SetLife(t, Life(kLifeMin[size], e), Life(kLifeMin[size] + 2, e));
    Emit(system, x, y, t, colour, 1);
}

void Firework(int32_t system, float x, float y, int size, int32_t colour, float e)
{
    static constexpr float kSpeedMax[3] = {3, 6, 8}, kGravity[3] = {0.1f, 0.15f, 0.17f};
    static constexpr int kLifeMin[3] = {15, 20, 30}, kCount[3] = {75, 150, 250};
    const int32_t t = s_types[kSlotFirework + 1];
    ParticleType_SetShape(t, kFlare);
    ParticleType_SetSize(t, 0.1f, 0.2f, 0, 0);
    ParticleType_SetSpeed(t, 0.5f * e, kSpeedMax[size] * e, 0, 0);
    Direction360(t);
    Alpha2(t, 1, 0.4f);
    ParticleType_SetLife(t, Life(kLifeMin[size], e), Life(kLifeMin[size] + 10, e));
    ParticleType_SetGravity(t, kGravity[size] * e, 270);
    Emit(system, x, y, t, colour, kCount[size]);
}

void Smoke(int32_t system, float x, float y, int size, int32_t colour, float e, bool up)
{
    static constexpr float kSizeMin[3] = {0.2f, 0.4f, 0.4f}, kSizeMax[3] = {0.4f, 0.7f, 1}, kSpeed[3] = {3, 5, 6};
    static constexpr int kLife[3] = {25, 30, 50}, kCount[3] = {6, 11, 16}, kOffset[3] = {10, 30, 60};
    const int32_t t = s_types[(up ? kSlotSmokeUp : kSlotSmoke) + size];
    ParticleType_SetShape(t, kExplosion);
    ParticleType_SetSize(t, kSizeMin[size], kSizeMax[size], -0.01f * e, 0);
    Alpha2(t, 0.4f, 0);
    ParticleType_SetLife(t, Life(kLife[size], e), Life(kLife[size], e));
    if (up) {
        ParticleType_SetSpeed(t, kSpeed[size] * e, (kSpeed[size] + 1) * e, 0, 0);
        ParticleType_SetDirection(t, 90, 90, 0, 0);
    }
    const int k = kOffset[size];
    for (int n = 0; n < kCount[size]; ++n) {
        const auto i = static_cast<float>(Random_NextInt(k));
        const auto j = static_cast<float>(Random_NextInt(k));
        Emit(system, x - k / 2 + j, y - k / 2 + i, t, colour, 1);
    }
}

void Star(int32_t system, float x, float y, int size, int32_t colour, float e, int slot, int shape)
{
    static constexpr float kSize[3] = {0.4f, 0.75f, 1.2f}, kIncr[3] = {-0.02f, -0.03f, -0.04f};
    static constexpr int kLife[3] = {20, 25, 30};
    const int32_t t = s_types[slot + size];
    ParticleType_SetShape(t, shape);
    ParticleType_SetSize(t, kSize[size], kSize[size], kIncr[size] * e, 0);
    Orientation360(t);
    ParticleType_SetLife(t, Life(kLife[size], e), Life(kLife[size], e));
    Emit(system, x, y, t, colour, 1);
}

void Cloud(int32_t system, float x, float y, int size, int32_t colour, float e)
{
    static constexpr float kSize[3] = {2, 4, 8};
    const int32_t t = s_types[kSlotCloud + size];
    ParticleType_SetShape(t, kExplosion);
    ParticleType_SetSize(t, kSize[size], kSize[size], 0, 0);
    ParticleType_SetScale(t, 1, 0.5f);
    ParticleType_SetAlpha(t, 0, 0.3f, 0);
    ParticleType_SetLife(t, Life(100, e), Life(100, e));
    Emit(system, x, y, t, colour, 1);
}

// Rain and snow fall over the whole room from a band above it; the position
// given is not used.
void Weather(int32_t system, int size, int32_t colour, float e, bool snow)
{
    static constexpr int kRainCount[3] = {2, 5, 9}, kSnowCount[3] = {1, 3, 7};
    const double width = ParticleRoom_Width(), height = ParticleRoom_Height();
    const int32_t t = s_types[snow ? kSlotSnow : kSlotRain];
    if (snow) {
        ParticleType_SetShape(t, kSnow);
        ParticleType_SetSize(t, 0.1f, 0.25f, 0, 0);
        ParticleType_SetAlpha(t, 0.6f, 0.6f, 0.6f);
        Orientation360(t);
        ParticleType_SetSpeed(t, 2.5f * e, 3 * e, 0, 0);
        ParticleType_SetDirection(t, 240, 300, 0, 20);
        ParticleType_SetLife(t, Life(height * 0.5, e), Life(height * 0.5, e));
    } else {
        ParticleType_SetShape(t, kLine);
        ParticleType_SetSize(t, 0.2f, 0.3f, 0, 0);
        ParticleType_SetOrientation(t, 0, 0, 0, 0, true);
        ParticleType_SetSpeed(t, 7 * e, 7 * e, 0, 0);
        ParticleType_SetDirection(t, 260, 260, 0, 0);
        ParticleType_SetAlpha(t, 0.4f, 0.4f, 0.4f);
        ParticleType_SetLife(t, Life(height * 0.2, e), Life(height * 0.2, e));
    }
    const int count = (snow ? kSnowCount : kRainCount)[size];
    for (int n = 0; n < count; ++n) {
        const double y = Random_NextReal(20) - 30;
        const double x = Random_NextReal(1) * 1.2 * width - (snow ? 60 : 0);
        Emit(system, static_cast<float>(x), static_cast<float>(y), t, colour, 1);
    }
}

}  // namespace

void Effect_Create(bool below, int32_t kind, float x, float y, int32_t size, int32_t colour)
{
    EnsureSystem(&s_below, 100000, 50);
    EnsureSystem(&s_above, -100000, -15000);
    if (!s_typesMade) {
        s_typesMade = true;
        for (int32_t& t : s_types) t = ParticleType_Create();
    }
    const int32_t system = below ? s_below : s_above;
    const int sizeIndex = size == 0 ? 0 : size == 2 ? 2 : 1;
    const float e = SpeedFactor();
    switch (kind) {
    case 0: Explosion(system, x, y, sizeIndex, colour, e); break;
    case 1: Ring(system, x, y, sizeIndex, colour, e, false); break;
    case 2: Ring(system, x, y, sizeIndex, colour, e, true); break;
    case 3: Firework(system, x, y, sizeIndex, colour, e); break;
    case 4: Smoke(system, x, y, sizeIndex, colour, e, false); break;
    case 5: Smoke(system, x, y, sizeIndex, colour, e, true); break;
    case 6: Star(system, x, y, sizeIndex, colour, e, kSlotStar, kStar); break;
    case 7: Star(system, x, y, sizeIndex, colour, e, kSlotSpark, kSpark); break;
    case 8: Star(system, x, y, sizeIndex, colour, e, kSlotFlare, kFlare); break;
    case 9: Cloud(system, x, y, sizeIndex, colour, e); break;
    case 10: Weather(system, sizeIndex, colour, e, false); break;
    case 11: Weather(system, sizeIndex, colour, e, true); break;
    default: break;
    }
}

void Effect_Clear()
{
    Particles_Clear(s_below);
    Particles_Clear(s_above);
}

int32_t Effect_SystemBelow() { return s_below; }
int32_t Effect_SystemAbove() { return s_above; }

void Effect_ForgetTypes() { s_typesMade = false; }

void Effect_ForgetSystems() { s_below = s_above = -1; }
