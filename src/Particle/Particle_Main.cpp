// The tables of particle types and systems, their records and settings, and
// what the room start and end do to systems on layers.
#include "Particle/Particle_Main.h"

#include <cmath>
#include <cstring>

#include "Base/MemoryManager.h"
#include "GameData/GameHeader.h"
#include "Particle/Particle_Internal.h"
#include "Particle/Particle_Room.h"

namespace {

// A table of record pointers; an empty slot holds null.
template <typename T>
struct IdTable {
    T** slots = nullptr;
    int32_t count = 0;

    T* At(int32_t id) const { return id >= 0 && id < count ? slots[id] : nullptr; }
    // The lowest empty slot, or the one a growth by one slot would add.
    int32_t FreeSlot() const
    {
        for (int32_t i = 0; i < count; ++i)
            if (!slots[i]) return i;
        return count;
    }
    // Puts a record at a slot FreeSlot gave; false when the table cannot grow.
    bool Place(int32_t id, T* record)
    {
        if (id == count) {
            if (!MemoryManager::ReallocPtr(reinterpret_cast<void**>(&slots), sizeof(T*) * (count + 1), __FILE__,
                                           __LINE__))
                return false;
            slots[count++] = nullptr;
        }
        slots[id] = record;
        return true;
    }
};

IdTable<ParticleType> s_types;
IdTable<ParticleSystem> s_systems;

int32_t TruncatedDepth(float depth)
{
    const double t = std::trunc(static_cast<double>(depth));
    return t > -2147483648.0 && t < 2147483647.0 ? static_cast<int32_t>(t) : 0;
}

void SetTypeDefaults(ParticleType* t)
{
    const bool additive = t->additive;
    int32_t keep[3];
    std::memcpy(keep, t->colour + 3, sizeof keep);
    *t = ParticleType{};
    t->sprite = -1;
    t->animate = true;
    t->sizeMin = t->sizeMax = 1;
    t->xscale = t->yscale = 1;
    t->lifeMin = t->lifeMax = 100;
    t->gravDir = 270;
    t->colour[0] = t->colour[1] = t->colour[2] = 0xFFFFFF;
    std::memcpy(t->colour + 3, keep, sizeof keep);
    t->alphaStart = t->alphaMiddle = t->alphaEnd = 1;
    t->additive = additive;
}

void RemoveElement(ParticleSystem* s)
{
    if (s->elementId != -1) ParticleRoom_RemoveElement(s->elementId);
    s->elementId = -1;
}

int32_t AddAtDepth(int32_t id, float depth)
{
    return ParticleRoom_AddAtDepth(id, TruncatedDepth(depth));
}

void ClearSystem(ParticleSystem* s)
{
    QS_FREE(s->particles);
    s->particles = nullptr;
    s->capacity = s->count = 0;
    QS_FREE(s->emitters);
    s->emitters = nullptr;
    s->emitterCount = 0;
    s->oldToNew = true;
    s->depth = 0;
    s->x = s->y = 0;
    s->autoUpdate = s->autoDraw = true;
    if (LayerMode) {
        RemoveElement(s);
        s->layerId = -1;
        s->transient = false;
    }
}

void FreeSystemAt(int32_t id)
{
    ParticleSystem* s = s_systems.At(id);
    if (!s) return;
    ClearSystem(s);
    QS_FREE(s);
    s_systems.slots[id] = nullptr;
}

void DestroyAllTypes()
{
    for (int32_t i = 0; i < s_types.count; ++i) QS_FREE(s_types.slots[i]);
    QS_FREE(s_types.slots);
    s_types = {};
    Effect_ForgetTypes();
}

void DestroyAllSystems()
{
    for (int32_t i = 0; i < s_systems.count; ++i) FreeSystemAt(i);
    QS_FREE(s_systems.slots);
    s_systems = {};
    Effect_ForgetSystems();
}

}  // namespace

// ---------------------------------------------------------------- module

void Particle_Init()
{
    DestroyAllTypes();
    DestroyAllSystems();
}

void ParticleSystem_FreeAll()
{
    DestroyAllSystems();
    DestroyAllTypes();
    Particle_FreeTextures();
}

void ParticleSystem_RoomStart()
{
    if (!LayerMode) return;
    for (int32_t i = 0; i < s_systems.count; ++i) {
        ParticleSystem* s = s_systems.slots[i];
        if (!s || s->elementId != -1) continue;
        int32_t depth = 0;
        if (s->layerId != -1 && ParticleRoom_FindLayer(s->layerId) == PARTICLE_LAYER_CURRENT_ROOM)
            s->elementId = ParticleRoom_AddToLayer(i, s->layerId, &depth);
        if (s->elementId == -1) s->elementId = AddAtDepth(i, s->depth);
    }
}

void ParticleSystem_RoomEnd()
{
    if (!LayerMode) return;
    for (int32_t i = 0; i < s_systems.count; ++i) {
        ParticleSystem* s = s_systems.slots[i];
        if (!s) continue;
        RemoveElement(s);
        if (s->transient) FreeSystemAt(i);
    }
}

// ---------------------------------------------------------------- types

int32_t ParticleType_Create()
{
    const int32_t id = s_types.FreeSlot();
    auto* t = static_cast<ParticleType*>(QS_ALLOC(sizeof(ParticleType), true));
    if (!t) return -1;
    SetTypeDefaults(t);
    if (!s_types.Place(id, t)) {
        QS_FREE(t);
        return -1;
    }
    return id;
}

void ParticleType_Destroy(int32_t id)
{
    ParticleType* t = s_types.At(id);
    if (!t) return;
    QS_FREE(t);
    s_types.slots[id] = nullptr;
}

void ParticleType_Clear(int32_t id)
{
    if (ParticleType* t = s_types.At(id)) SetTypeDefaults(t);
}

bool ParticleType_Exists(int32_t id) { return s_types.At(id) != nullptr; }
ParticleType* ParticleType_Get(int32_t id) { return s_types.At(id); }
int32_t ParticleType_Count() { return s_types.count; }

void ParticleType_SetShape(int32_t id, int32_t shape)
{
    if (ParticleType* t = s_types.At(id)) {
        t->shape = shape;
        t->sprite = -1;
    }
}

void ParticleType_SetSprite(int32_t id, int32_t sprite, bool animate, bool stretch, bool randomImage)
{
    if (ParticleType* t = s_types.At(id)) {
        t->sprite = sprite;
        t->animate = animate;
        t->stretch = stretch;
        t->randomImage = randomImage;
    }
}

void ParticleType_SetSize(int32_t id, float min, float max, float incr, float wiggle)
{
    if (ParticleType* t = s_types.At(id)) {
        t->sizeMin = min;
        t->sizeMax = max;
        t->sizeIncr = incr;
        t->sizeWiggle = wiggle;
    }
}

void ParticleType_SetScale(int32_t id, float x, float y)
{
    if (ParticleType* t = s_types.At(id)) {
        t->xscale = x;
        t->yscale = y;
    }
}

void ParticleType_SetLife(int32_t id, int32_t min, int32_t max)
{
    if (ParticleType* t = s_types.At(id)) {
        t->lifeMin = min;
        t->lifeMax = max;
    }
}

void ParticleType_SetDeath(int32_t id, int32_t number, int32_t type)
{
    if (ParticleType* t = s_types.At(id)) {
        t->deathNumber = number;
        t->deathType = type;
    }
}

void ParticleType_SetStep(int32_t id, int32_t number, int32_t type)
{
    if (ParticleType* t = s_types.At(id)) {
        t->stepNumber = number;
        t->stepType = type;
    }
}

void ParticleType_SetSpeed(int32_t id, float min, float max, float incr, float wiggle)
{
    if (ParticleType* t = s_types.At(id)) {
        t->speedMin = min;
        t->speedMax = max;
        t->speedIncr = incr;
        t->speedWiggle = wiggle;
    }
}

void ParticleType_SetDirection(int32_t id, float min, float max, float incr, float wiggle)
{
    if (ParticleType* t = s_types.At(id)) {
        t->dirMin = min;
        t->dirMax = max;
        t->dirIncr = incr;
        t->dirWiggle = wiggle;
    }
}

void ParticleType_SetGravity(int32_t id, float amount, float direction)
{
    if (ParticleType* t = s_types.At(id)) {
        t->gravAmount = amount;
        t->gravDir = direction;
    }
}

void ParticleType_SetOrientation(int32_t id, float min, float max, float incr, float wiggle, bool relative)
{
    if (ParticleType* t = s_types.At(id)) {
        t->angMin = min;
        t->angMax = max;
        t->angIncr = incr;
        t->angWiggle = wiggle;
        t->angRelative = relative;
    }
}

void ParticleType_SetColour(int32_t id, int32_t mode, const int32_t* parameters)
{
    ParticleType* t = s_types.At(id);
    if (!t) return;
    static constexpr int kUsed[6] = {1, 2, 3, 6, 6, 2};
    if (mode < 0 || mode > 5) return;
    t->colourMode = mode;
    for (int i = 0; i < kUsed[mode]; ++i) t->colour[i] = parameters[i];
}

void ParticleType_SetAlpha(int32_t id, float start, float middle, float end)
{
    if (ParticleType* t = s_types.At(id)) {
        t->alphaStart = start;
        t->alphaMiddle = middle;
        t->alphaEnd = end;
    }
}

void ParticleType_SetAdditive(int32_t id, bool additive)
{
    if (ParticleType* t = s_types.At(id)) t->additive = additive;
}

// ---------------------------------------------------------------- systems

int32_t ParticleSystem_Create(int32_t layerId, bool persistent)
{
    const int32_t id = s_systems.FreeSlot();
    int32_t element = -1;
    int32_t depth = 0;
    if (LayerMode) {
        if (layerId == -1) {
            element = AddAtDepth(id, 0);
        } else {
            const ParticleLayerPlace place = ParticleRoom_FindLayer(layerId);
            if (place == PARTICLE_LAYER_NO_ROOM || place == PARTICLE_LAYER_MISSING) return -1;
            element = place == PARTICLE_LAYER_CURRENT_ROOM ? ParticleRoom_AddToLayer(id, layerId, &depth)
                                                           : AddAtDepth(id, 0);
        }
        if (element == -1) return -1;
    }
    auto* s = static_cast<ParticleSystem*>(QS_ALLOC(sizeof(ParticleSystem), true));
    if (s) {
        s->elementId = s->layerId = -1;
        ClearSystem(s);
    }
    if (!s || !s_systems.Place(id, s)) {
        QS_FREE(s);
        if (element != -1) ParticleRoom_RemoveElement(element);
        return -1;
    }
    if (LayerMode) {
        s->elementId = element;
        s->transient = !persistent;
        if (layerId != -1) {
            s->layerId = layerId;
            s->depth = static_cast<float>(depth);
        }
    }
    return id;
}

void ParticleSystem_Destroy(int32_t id) { FreeSystemAt(id); }

void ParticleSystem_Clear(int32_t id)
{
    if (ParticleSystem* s = s_systems.At(id)) ClearSystem(s);
}

bool ParticleSystem_Exists(int32_t id) { return s_systems.At(id) != nullptr; }
ParticleSystem* ParticleSystem_Get(int32_t id) { return s_systems.At(id); }
int32_t ParticleSystem_Count() { return s_systems.count; }

void ParticleSystem_SetDrawOrder(int32_t id, bool oldToNew)
{
    if (ParticleSystem* s = s_systems.At(id)) s->oldToNew = oldToNew;
}

void ParticleSystem_SetPosition(int32_t id, float x, float y)
{
    if (ParticleSystem* s = s_systems.At(id)) {
        s->x = x;
        s->y = y;
    }
}

void ParticleSystem_SetAutoUpdate(int32_t id, bool on)
{
    if (ParticleSystem* s = s_systems.At(id)) s->autoUpdate = on;
}

void ParticleSystem_SetAutoDraw(int32_t id, bool on)
{
    if (ParticleSystem* s = s_systems.At(id)) s->autoDraw = on;
}

void ParticleSystem_SetDepth(int32_t id, float depth)
{
    ParticleSystem* s = s_systems.At(id);
    if (!s) return;
    s->depth = depth;
    if (!LayerMode) return;
    RemoveElement(s);
    s->layerId = -1;
    s->elementId = AddAtDepth(id, depth);
}

void ParticleSystem_SetLayer(int32_t id, int32_t layerId)
{
    ParticleSystem* s = s_systems.At(id);
    if (!s || !LayerMode) return;
    RemoveElement(s);
    s->layerId = layerId;
    const ParticleLayerPlace place = ParticleRoom_FindLayer(layerId);
    if (place == PARTICLE_LAYER_NO_ROOM) return;
    int32_t depth = 0;
    if (place == PARTICLE_LAYER_CURRENT_ROOM) s->elementId = ParticleRoom_AddToLayer(id, layerId, &depth);
    if (s->elementId == -1) s->elementId = AddAtDepth(id, s->depth);
}

int32_t ParticleSystem_GetLayer(int32_t id)
{
    const ParticleSystem* s = s_systems.At(id);
    return s ? s->layerId : -1;
}
