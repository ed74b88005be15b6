#pragma once
// Particle types and systems, their update, emitters, drawing and shape
// textures, and the ready-made effects built on them. Type, system and
// emitter ids are small integers: indices into tables whose lowest empty slot
// is reused; a bad id makes an operation do nothing (queries answer false, 0
// or -1), it is never followed.
#include <cstdint>

constexpr int PARTICLE_SHAPE_COUNT = 14;

struct ParticleType {
    int32_t sprite;
    bool animate, stretch, randomImage;
    int32_t shape;
    float sizeMin, sizeMax, sizeIncr, sizeWiggle;
    float xscale, yscale;
    int32_t lifeMin, lifeMax;
    int32_t deathType, deathNumber;
    int32_t stepType, stepNumber;
    float speedMin, speedMax, speedIncr, speedWiggle;
    float dirMin, dirMax, dirIncr, dirWiggle;
    float gravAmount, gravDir;
    float angMin, angMax, angIncr, angWiggle;
    bool angRelative;
    int32_t colourMode;  // 0 one, 1 two, 2 three colours, 3 random RGB, 4 random HSV, 5 random mix
    int32_t colour[6];
    float alphaStart, alphaMiddle, alphaEnd;
    bool additive;
};

struct Particle {
    bool alive;
    int32_t type;
    int32_t age, lifetime;
    float x, y, xprev, yprev;
    float speed, direction, angle;
    int32_t colour;
    float alpha, size;
    int32_t startImage;
    int32_t seed;  // 0..99999, phase of the wiggles
    // The cosine and sine of the last moving direction (radians, compared by
    // its bits): a particle that keeps its direction needs them only once.
    uint32_t moveAngleBits;
    float moveCos, moveSin;
};

struct ParticleEmitter {
    bool exists;
    int32_t number;  // per step; 0 no stream, negative a chance of 1 in |number|
    float xmin, xmax, ymin, ymax;
    int32_t distribution;  // 0 linear, 1 gaussian, 2 inverse gaussian
    int32_t shape;         // 0 rectangle, 1 ellipse, 2 diamond, 3 line
    int32_t type;
};

struct ParticleSystem {
    int32_t capacity;
    Particle* particles;  // oldest first
    int32_t count;
    int32_t emitterCount;
    ParticleEmitter* emitters;
    bool oldToNew;
    float depth;
    float x, y;
    bool autoUpdate, autoDraw;
    int32_t elementId;  // layer element in the current room (layer mode), -1 none
    int32_t layerId;    // layer asked for (layer mode), -1 none
    bool transient;     // destroyed at room end
};

// Where a layer asked for lies (Particle_Room.h).
enum ParticleLayerPlace { PARTICLE_LAYER_NO_ROOM = -2, PARTICLE_LAYER_MISSING = -1, PARTICLE_LAYER_OTHER_ROOM = 0,
                          PARTICLE_LAYER_CURRENT_ROOM = 1 };

// ---------------------------------------------------------------- module
void Particle_Init();
void ParticleSystem_FreeAll();
void ParticleSystem_RoomStart();
void ParticleSystem_RoomEnd();
void ParticleSystem_UpdateAll();

// ---------------------------------------------------------------- types
int32_t ParticleType_Create();
void ParticleType_Destroy(int32_t id);
void ParticleType_Clear(int32_t id);
bool ParticleType_Exists(int32_t id);
// The record, null for a bad id. Setters write the fields unchanged.
ParticleType* ParticleType_Get(int32_t id);
int32_t ParticleType_Count();
void ParticleType_SetShape(int32_t id, int32_t shape);
void ParticleType_SetSprite(int32_t id, int32_t sprite, bool animate, bool stretch, bool randomImage);
void ParticleType_SetSize(int32_t id, float min, float max, float incr, float wiggle);
void ParticleType_SetScale(int32_t id, float x, float y);
void ParticleType_SetLife(int32_t id, int32_t min, int32_t max);
void ParticleType_SetDeath(int32_t id, int32_t number, int32_t type);
void ParticleType_SetStep(int32_t id, int32_t number, int32_t type);
void ParticleType_SetSpeed(int32_t id, float min, float max, float incr, float wiggle);
void ParticleType_SetDirection(int32_t id, float min, float max, float incr, float wiggle);
void ParticleType_SetGravity(int32_t id, float amount, float direction);
void ParticleType_SetOrientation(int32_t id, float min, float max, float incr, float wiggle, bool relative);
// mode 0..5 with its parameters (unused ones ignored; modes 3 and 4 take six).
void ParticleType_SetColour(int32_t id, int32_t mode, const int32_t* parameters);
void ParticleType_SetAlpha(int32_t id, float start, float middle, float end);
void ParticleType_SetAdditive(int32_t id, bool additive);

// ---------------------------------------------------------------- systems
int32_t ParticleSystem_Create(int32_t layerId, bool persistent);
void ParticleSystem_Destroy(int32_t id);
void ParticleSystem_Clear(int32_t id);
bool ParticleSystem_Exists(int32_t id);
ParticleSystem* ParticleSystem_Get(int32_t id);
int32_t ParticleSystem_Count();
void ParticleSystem_SetDrawOrder(int32_t id, bool oldToNew);
void ParticleSystem_SetPosition(int32_t id, float x, float y);
void ParticleSystem_SetAutoUpdate(int32_t id, bool on);
void ParticleSystem_SetAutoDraw(int32_t id, bool on);
void ParticleSystem_SetDepth(int32_t id, float depth);
void ParticleSystem_SetLayer(int32_t id, int32_t layerId);
int32_t ParticleSystem_GetLayer(int32_t id);

// ---------------------------------------------------------------- particles and emitters
void ParticleSystem_Update(int32_t id);
void Particles_Create(int32_t system, float x, float y, int32_t type, int32_t number);
void Particles_CreateColour(int32_t system, float x, float y, int32_t type, int32_t colour, int32_t number);
void Particles_Clear(int32_t system);
int32_t Particles_Count(int32_t system);
int32_t ParticleEmitter_Create(int32_t system);
void ParticleEmitter_Destroy(int32_t system, int32_t emitter);
void ParticleEmitter_DestroyAll(int32_t system);
bool ParticleEmitter_Exists(int32_t system, int32_t emitter);
void ParticleEmitter_Clear(int32_t system, int32_t emitter);
void ParticleEmitter_SetRegion(int32_t system, int32_t emitter, float xmin, float xmax, float ymin, float ymax,
                               int32_t shape, int32_t distribution);
void ParticleEmitter_SetStream(int32_t system, int32_t emitter, int32_t type, int32_t number);
void ParticleEmitter_Burst(int32_t system, int32_t emitter, int32_t type, int32_t number);

// ---------------------------------------------------------------- drawing
// The start-up step "Part Create Textures": the 14 shape textures and a white one.
void Part_CreateTextures();
// After the "EMBI" chunk: images of the game data named after a shape replace it.
void Particle_LoadShapes();
void ParticleSystem_Draw(int32_t id);
void ParticleSystem_DrawElement(int32_t id);
void ParticleSystem_DrawAtDepth(float depth);
// Depths of systems drawn automatically: the largest, and the largest below
// depth; -1e9 when there is none.
float ParticleSystem_MaxDepth();
float ParticleSystem_NextDepthBelow(float depth);

// ---------------------------------------------------------------- effects
// kind 0..11 (explosion, ring, ellipse, firework, smoke, smoke up, star,
// spark, flare, cloud, rain, snow); size 0 small, 2 large, else medium.
void Effect_Create(bool below, int32_t kind, float x, float y, int32_t size, int32_t colour);
void Effect_Clear();
// Ids of the two effect systems, -1 until the first effect.
int32_t Effect_SystemBelow();
int32_t Effect_SystemAbove();
// Forget the effect types (every type was destroyed) and the effect systems
// (every system was destroyed).
void Effect_ForgetTypes();
void Effect_ForgetSystems();
