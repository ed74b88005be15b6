// Birth of particles, the per-step update of a system (age and spawns,
// motion, appearance, streams) and the emitters that place particles in a
// region. Every random draw comes from the engine's generator, in a fixed
// order, so a seed reproduces the same particles.
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

#include "Code/Code_Profiler.h"
#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Base/Random.h"
#include "Graphics/Graphics_Colour.h"
#include "Particle/Particle_Internal.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kRadians = kPi / 180.0f;
// A system never holds more particles than this: creation beyond it, which
// only a runaway game reaches, is dropped instead of exhausting memory.
constexpr int32_t kMaxParticles = 16 * 1024 * 1024;

// A draw in [0, 1): a double just below 1 would round up to 1 as a float.
float Random01()
{
    const float r = static_cast<float>(Random_NextReal(1));
    return r < 1.0f ? r : 0.99999994f;
}

float RangeDraw(float min, float max)
{
    const float span = max - min;
    return span > 0 ? min + Random01() * span : min;
}

// Toward zero, held inside the int32 range.
int32_t TruncInt(double v)
{
    if (!(v == v)) return 0;
    const double t = std::trunc(v);
    return t <= -2147483648.0 ? INT32_MIN : t >= 2147483647.0 ? INT32_MAX : static_cast<int32_t>(t);
}

float Tri(float t) { return (t > 2 ? 4 - t : t) - 1; }

// A negative spawn count is a chance of 1 in |n| to spawn one.
int32_t SpawnCount(int32_t n)
{
    if (n >= 0) return n;
    const double draw = Random_NextReal(1) * std::fabs(static_cast<double>(n));
    return std::trunc(draw) == 0 ? 1 : 0;
}

uint32_t BirthColour(const ParticleType& t)
{
    auto channel = [&](int i) {
        return TruncInt(RangeDraw(static_cast<float>(static_cast<uint32_t>(t.colour[i])),
                                  static_cast<float>(static_cast<uint32_t>(t.colour[i + 1]))));
    };
    switch (t.colourMode) {
    case 3: {
        const int32_t r = channel(0), g = channel(2), b = channel(4);
        return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16;
    }
    case 4: {
        const int32_t h = channel(0), s = channel(2), v = channel(4);
        ColourBytes hsv;
        Colour_SetHSV(&hsv, h, s, v);
        return Colour_FromHSV(hsv);
    }
    case 5:
        return Colour_Merge(t.colour[0], t.colour[1], Random01());
    default:
        return t.colour[0];
    }
}

void Birth(Particle* p, const ParticleType& t, int32_t type, float x, float y)
{
    p->alive = true;
    p->type = type;
    p->x = p->xprev = x;
    p->y = p->yprev = y;
    p->speed = RangeDraw(t.speedMin, t.speedMax);
    p->direction = RangeDraw(t.dirMin, t.dirMax);
    p->angle = RangeDraw(t.angMin, t.angMax);
    p->age = 0;
    p->lifetime = TruncInt(RangeDraw(static_cast<float>(t.lifeMin), static_cast<float>(t.lifeMax)));
    p->colour = static_cast<int32_t>(BirthColour(t));
    p->alpha = t.alphaStart;
    p->size = RangeDraw(t.sizeMin, t.sizeMax);
    p->startImage = t.randomImage ? static_cast<int32_t>(Random_NextInt(10000)) : 0;
    p->seed = static_cast<int32_t>(Random_NextInt(100000));
    // No direction has these bits until it has been seen: a NaN moves to NaN either way.
    p->moveAngleBits = std::bit_cast<uint32_t>(std::numeric_limits<float>::quiet_NaN());
    p->moveCos = p->moveSin = std::numeric_limits<float>::quiet_NaN();
}

// Appends number particles; the number actually made.
int32_t Create(const char* caller, int32_t system, float x, float y, int32_t type, int32_t number)
{
    ParticleSystem* s = ParticleSystem_Get(system);
    if (!s) {
        LogConsole->Output("%s :: particle system does not exist!\n", caller);
        return 0;
    }
    const ParticleType* t = ParticleType_Get(type);
    if (!t) {
        LogConsole->Output("%s :: particle type does not exist!\n", caller);
        return 0;
    }
    if (number <= 0) return 0;
    if (number > kMaxParticles - s->count) number = kMaxParticles - s->count;
    if (!Particle_Reserve(s, s->count + number)) return 0;
    for (int32_t i = 0; i < number; ++i) Birth(&s->particles[s->count++], *t, type, x, y);
    return number;
}

const char kCreate[] = "part_particles_create";

// Pass 1: ageing, deaths and their spawns, step spawns, then the dead removed.
void AgeAndSpawn(ParticleSystem* s, int32_t system)
{
    // Two types that step-spawn each other would grow the pass without end:
    // past this many spawned particles in one pass, step spawns stop.
    int64_t spawnBudget = 100000 + 10 * static_cast<int64_t>(s->count);
    for (int32_t i = 0; i < s->count; ++i) {
        Particle* p = &s->particles[i];
        ++p->age;
        const ParticleType* t = ParticleType_Get(p->type);
        if (p->age >= p->lifetime) {
            p->alive = false;
            if (!t) continue;
            const int32_t n = SpawnCount(t->deathNumber);
            const float x = p->x, y = p->y;  // the list may move while spawning
            if (n > 0) spawnBudget -= Create(kCreate, system, x, y, t->deathType, n);
            continue;
        }
        if (!t) continue;
        const int32_t n = SpawnCount(t->stepNumber);
        if (n <= 0) continue;
        if (t->stepType == p->type) {
            ReportRuntimeError("Error: a particle cannot spawn another of the same type", false);
        } else if (spawnBudget > 0) {
            const float x = p->x, y = p->y;
            spawnBudget -= Create(kCreate, system, x, y, t->stepType, n);
        }
    }
    int32_t kept = 0;
    for (int32_t i = 0; i < s->count; ++i) {
        if (s->particles[i].alive) {
            if (kept != i) s->particles[kept] = s->particles[i];
            ++kept;
        }
    }
    s->count = kept;
}

// Pass 2: speed, direction and angle change, gravity, then the move with wiggles.
void Move(Particle* p, const ParticleType* t)
{
    p->xprev = p->x;
    p->yprev = p->y;
    p->speed += t->speedIncr;
    if (p->speed < 0) p->speed = 0;
    p->direction += t->dirIncr;
    p->angle += t->angIncr;
    if (t->gravAmount != 0) {
        const float d = p->direction * kRadians, e = t->gravDir * kRadians, g = t->gravAmount;
        const float vx = std::cos(d) * p->speed + std::cos(e) * g;
        const float vy = -(std::sin(d) * p->speed) - std::sin(e) * g;
        p->speed = std::sqrt(vx * vx + vy * vy);
        if (vx != 0) {
            const float a = std::atan2(vy, vx) * 180.0f / kPi;
            p->direction = a <= 0 ? -a : 360 - a;
        } else if (vy > 0) {
            p->direction = 270;
        } else if (vy < 0) {
            p->direction = 90;
        }  // a zero sum keeps the old direction
        p->direction -= std::floor(p->direction / 360) * 360;
    }
    const int64_t age = p->age, seed = p->seed;
    const float wd = Tri(static_cast<float>((age + 3 * seed) % 24) / 6);
    const float ws = Tri(static_cast<float>((age + 4 * seed) % 20) / 5);
    const float direction = (p->direction + t->dirWiggle * wd) * kRadians;
    const float speed = p->speed + t->speedWiggle * ws;
    if (std::bit_cast<uint32_t>(direction) != p->moveAngleBits) {
        p->moveAngleBits = std::bit_cast<uint32_t>(direction);
        p->moveCos = std::cos(direction);
        p->moveSin = std::sin(direction);
    }
    p->x += p->moveCos * speed;
    p->y -= p->moveSin * speed;
}

// Pass 3: size, colour and alpha over the lifetime.
void Appear(Particle* p, const ParticleType* t)
{
    p->size += t->sizeIncr;
    if (p->size < 0) p->size = 0;
    const float age = static_cast<float>(p->age), life = static_cast<float>(p->lifetime);
    if (t->colourMode == 1) {
        p->colour = static_cast<int32_t>(Colour_Merge(t->colour[0], t->colour[1], std::fmin(1.0f, age / life)));
    } else if (t->colourMode == 2) {
        const float f = std::fmin(2.0f, 2 * age / life);
        p->colour = static_cast<int32_t>(f < 1 ? Colour_Merge(t->colour[0], t->colour[1], f)
                                               : Colour_Merge(t->colour[1], t->colour[2], f - 1));
    }
    const float f = 2 * age / life;
    p->alpha = f < 1 ? (1 - f) * t->alphaStart + f * t->alphaMiddle
                     : (2 - f) * t->alphaMiddle + (f - 1) * t->alphaEnd;
}

// Passes 2 and 3 touch one particle each, without drawing at random: they
// run in one sweep over the list.
void MoveAndAppear(ParticleSystem* s)
{
    for (int32_t i = 0; i < s->count; ++i) {
        Particle* p = &s->particles[i];
        const ParticleType* t = ParticleType_Get(p->type);
        if (!t) continue;
        Move(p, t);
        Appear(p, t);
    }
}

// A value in [0, 1) by distribution: uniform, or a Gaussian over [-3, 3)
// folded to [0, 1) (centred, or pushed to both ends for the inverse).
float Fraction(int32_t distribution)
{
    if (distribution != 1 && distribution != 2) return Random01();
    float g;
    for (;;) {
        g = (Random01() - 0.5f) * 6;
        const float r2 = Random01();
        if (std::exp(-g * g / 2) > r2) break;
    }
    return distribution == 1 ? (g + 3) / 6 : (g < 0 ? g + 6 : g) / 6;
}

ParticleEmitter* EmitterAt(ParticleSystem* s, int32_t emitter)
{
    return s && emitter >= 0 && emitter < s->emitterCount ? &s->emitters[emitter] : nullptr;
}

}  // namespace

bool Particle_Reserve(ParticleSystem* s, int32_t n)
{
    if (n <= s->capacity) return true;
    // Grown in steps of at least 100; larger steps for large systems keep
    // appending linear in time.
    int64_t capacity = s->capacity + 100;
    if (capacity < s->capacity + s->capacity / 2) capacity = s->capacity + s->capacity / 2;
    if (capacity < n) capacity = n;
    if (capacity > kMaxParticles) capacity = kMaxParticles;
    if (!MemoryManager::ReallocPtr(reinterpret_cast<void**>(&s->particles), sizeof(Particle) * capacity, __FILE__,
                                   __LINE__))
        return false;
    s->capacity = static_cast<int32_t>(capacity);
    return true;
}

void Particles_Create(int32_t system, float x, float y, int32_t type, int32_t number)
{
    Create(kCreate, system, x, y, type, number);
}

void Particles_CreateColour(int32_t system, float x, float y, int32_t type, int32_t colour, int32_t number)
{
    const int32_t made = Create("part_particles_create_colour", system, x, y, type, number);
    ParticleSystem* s = ParticleSystem_Get(system);
    for (int32_t i = s ? s->count - made : 0; s && i < s->count; ++i) s->particles[i].colour = colour;
}

void Particles_Clear(int32_t system)
{
    ParticleSystem* s = ParticleSystem_Get(system);
    if (!s) return;
    QS_FREE(s->particles);
    s->particles = nullptr;
    s->capacity = s->count = 0;
}

int32_t Particles_Count(int32_t system)
{
    const ParticleSystem* s = ParticleSystem_Get(system);
    return s ? s->count : 0;
}

void ParticleSystem_Update(int32_t id)
{
    ParticleSystem* s = ParticleSystem_Get(id);
    if (!s) return;
    AgeAndSpawn(s, id);
    MoveAndAppear(s);
    for (int32_t e = 0; e < s->emitterCount; ++e) {
        const ParticleEmitter& emitter = s->emitters[e];
        if (emitter.exists && emitter.number != 0) ParticleEmitter_Burst(id, e, emitter.type, emitter.number);
    }
}

void ParticleSystem_UpdateAll()
{
    const ProfilerSection section(SECTION_PARTICLE_UPDATE_ALL);
    for (int32_t id = 0; id < ParticleSystem_Count(); ++id) {
        const ParticleSystem* s = ParticleSystem_Get(id);
        if (s && s->autoUpdate) ParticleSystem_Update(id);
    }
}

// ---------------------------------------------------------------- emitters

int32_t ParticleEmitter_Create(int32_t system)
{
    ParticleSystem* s = ParticleSystem_Get(system);
    if (!s) return -1;
    int32_t id = 0;
    while (id < s->emitterCount && s->emitters[id].exists) ++id;
    if (id == s->emitterCount) {
        if (!MemoryManager::ReallocPtr(reinterpret_cast<void**>(&s->emitters), sizeof(ParticleEmitter) * (id + 1),
                                       __FILE__, __LINE__))
            return -1;
        ++s->emitterCount;
    }
    s->emitters[id] = ParticleEmitter{};
    s->emitters[id].exists = true;
    return id;
}

void ParticleEmitter_Destroy(int32_t system, int32_t emitter)
{
    if (ParticleEmitter* e = EmitterAt(ParticleSystem_Get(system), emitter)) e->exists = false;
}

void ParticleEmitter_DestroyAll(int32_t system)
{
    ParticleSystem* s = ParticleSystem_Get(system);
    if (!s) return;
    QS_FREE(s->emitters);
    s->emitters = nullptr;
    s->emitterCount = 0;
}

bool ParticleEmitter_Exists(int32_t system, int32_t emitter)
{
    const ParticleEmitter* e = EmitterAt(ParticleSystem_Get(system), emitter);
    return e && e->exists;
}

void ParticleEmitter_Clear(int32_t system, int32_t emitter)
{
    ParticleEmitter* e = EmitterAt(ParticleSystem_Get(system), emitter);
    if (e && e->exists) *e = ParticleEmitter{true, 0, 0, 0, 0, 0, 0, 0, 0};
}

void ParticleEmitter_SetRegion(int32_t system, int32_t emitter, float xmin, float xmax, float ymin, float ymax,
                               int32_t shape, int32_t distribution)
{
    ParticleEmitter* e = EmitterAt(ParticleSystem_Get(system), emitter);
    if (!e || !e->exists) return;
    e->xmin = xmin;
    e->xmax = xmax;
    e->ymin = ymin;
    e->ymax = ymax;
    e->shape = shape;
    e->distribution = distribution;
}

void ParticleEmitter_SetStream(int32_t system, int32_t emitter, int32_t type, int32_t number)
{
    ParticleSystem* s = ParticleSystem_Get(system);
    if (!s) {
        LogConsole->Output("part_emitter_stream :: particle system does not exist!\n");
        return;
    }
    ParticleEmitter* e = EmitterAt(s, emitter);
    if (!e) {
        LogConsole->Output("part_emitter_stream :: specified emitter does not exist\n");
        return;
    }
    e->type = type;
    e->number = number;
}

void ParticleEmitter_Burst(int32_t system, int32_t emitter, int32_t type, int32_t number)
{
    ParticleSystem* s = ParticleSystem_Get(system);
    const ParticleEmitter* e = EmitterAt(s, emitter);
    if (!e || !e->exists) return;
    if (number < 0) {
        if (Random_NextInt(number) != 0) return;
        number = 1;
    }
    if (number > kMaxParticles - s->count) number = kMaxParticles - s->count;
    if (!Particle_Reserve(s, s->count + number)) return;
    // The record is copied: creating particles never moves the emitters, but
    // the region must not change under the loop either way.
    const ParticleEmitter region = *e;
    for (int32_t i = 0; i < number; ++i) {
        float fx, fy;
        for (;;) {
            fx = Fraction(region.distribution);
            fy = Fraction(region.distribution);
            if (region.distribution == 2 && region.shape != 3) {
                if (Random01() >= 0.5f) fy = Random01();
                else fx = Random01();
            }
            if (region.shape == 1) {
                if ((fx - 0.5f) * (fx - 0.5f) + (fy - 0.5f) * (fy - 0.5f) > 0.25f) continue;
            } else if (region.shape == 2) {
                if (std::fabs(fx - 0.5f) + std::fabs(fy - 0.5f) > 0.5f) continue;
            } else if (region.shape == 3) {
                fy = fx;
            }
            break;
        }
        Create(kCreate, system, region.xmin + (region.xmax - region.xmin) * fx,
               region.ymin + (region.ymax - region.ymin) * fy, type, 1);
    }
}
