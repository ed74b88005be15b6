#include "Physics/PhysicsWorld.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Base/ErrorReport.h"
#include "Physics/Physics_Box2D.h"

namespace {
constexpr float kPi = 3.1415927f;
}  // namespace

PhysicsWorld::PhysicsWorld(float pixelsToMetres, int32_t speed)
    : scale(pixelsToMetres), updateSpeed(speed), engine(new PhysicsEngine(this))
{
    for (int32_t i = 0; i < kCategories; ++i) categories[i] = {-1, 0, 0};
    engine->world.SetContactListener(&engine->listener);
    engine->world.SetContactFilter(&engine->filter);
    // Forces are cleared once after all the sub-steps of a frame.
    engine->world.SetAutoClearForces(false);
}

PhysicsWorld::PhysicsWorld(const PhysicsWorld& other) : PhysicsWorld(other.scale, other.updateSpeed)
{
    iterations = other.iterations;
    engine->world.SetGravity(other.engine->world.GetGravity());
}

PhysicsWorld::~PhysicsWorld()
{
    // Wrappers held by instances outlive the world: they let go of it.
    for (PhysicsBody* b = bodies; b;) {
        PhysicsBody* next = b->nextInWorld;
        b->world = nullptr;
        b->body = nullptr;
        b->nextInWorld = b->previousInWorld = nullptr;
        b = next;
    }
    engine->world.SetContactListener(nullptr);
    delete engine;
    std::free(contacts);
    std::free(pairSlots);
}

void PhysicsWorld::SetGravity(float x, float y)
{
    if (!PHYSICS_CHECK(std::isfinite(x) && std::isfinite(y))) return;
    engine->world.SetGravity(b2Vec2(x, y));
    if (x == 0.0f && y == 0.0f) return;
    for (b2Body* b = engine->world.GetBodyList(); b; b = b->GetNext())
        if (b->GetType() == b2_dynamicBody && !b->IsAwake()) b->SetAwake(true);
}

void PhysicsWorld::GetGravity(float* x, float* y) const
{
    const b2Vec2 g = engine->world.GetGravity();
    *x = g.x;
    *y = g.y;
}

int32_t PhysicsWorld::BodyCount() const { return engine->world.GetBodyCount(); }

int32_t PhysicsWorld::GetCategory(int32_t key, const char* objectName)
{
    for (int32_t i = 0; i < kCategories; ++i)
        if (categories[i].key == key) return i;
    for (int32_t i = 0; i < kCategories; ++i) {
        if (categories[i].key != -1) continue;
        categories[i] = {key, 1u << i, 0};
        return i;
    }
    char text[1024];
    std::snprintf(text, sizeof text,
                  "Unable to assign a collision category for object %s.\n"
                  "Consider using parenting to reduce collision overheads where possible.",
                  objectName ? objectName : "<undefined>");
    ReportRuntimeError(text, false);
    return -1;
}

int32_t PhysicsWorld::AssignCategory(int32_t key, const int32_t* partners, int32_t partnerCount, const char* objectName)
{
    if (partnerCount <= 0) return -1;
    const int32_t index = GetCategory(key, objectName);
    if (index < 0) return -1;
    PhysicsCategory& own = categories[index];
    for (int32_t p = 0; p < partnerCount; ++p) {
        for (PhysicsCategory& other : categories) {
            if (other.key != partners[p] || partners[p] == -1) continue;
            own.mask |= other.bit;
            other.mask |= own.bit;
        }
    }
    return index;
}

void PhysicsWorld::RefreshFilters()
{
    for (b2Body* b = engine->world.GetBodyList(); b; b = b->GetNext()) {
        const PhysicsBody* wrapper = Physics_Wrapper(b);
        if (!wrapper || wrapper->category < 0) continue;
        const PhysicsCategory& c = categories[wrapper->category];
        for (b2Fixture* f = b->GetFixtureList(); f; f = f->GetNext())
            if (Physics_MaskOf(f) != c.mask || Physics_CategoryOf(f) != c.bit)
                Physics_SetFilter(f, c.bit, c.mask, f->GetFilterData().groupIndex);
    }
}

int32_t PhysicsWorld::AddFixture(PhysicsFixture* fixture, const PhysicsBindTarget& target, float offsetX,
                                 float offsetY)
{
    if (!fixture->ApplyPoints(target.objectName)) return -1;
    if (fixture->shape == PHYSICS_SHAPE_NONE) {
        char text[1024];
        std::snprintf(text, sizeof text, "No fixture shape data present for %s\n",
                      target.objectName ? target.objectName : "<undefined>");
        ShowRuntimeError(text, true);
        return -1;
    }
    const int32_t c = AssignCategory(target.categoryKey, target.partners, target.partnerCount, target.objectName);
    const uint32_t bits = c < 0 ? 0 : categories[c].bit;
    const uint32_t mask = c < 0 ? 0 : categories[c].mask;
    PhysicsBody* wrapper = *target.body;
    if (wrapper && wrapper->world != this) {
        // A body left from a world that is gone, or from another room's.
        delete wrapper;
        *target.body = wrapper = nullptr;
    }
    if (wrapper) {
        b2Fixture* created = Physics_CreateFixture(LibBody(wrapper->body), *fixture, bits, mask);
        return created ? wrapper->AddBinding(OurFixture(created)) : -1;
    }
    b2World& world = engine->world;
    if (!Physics_Unlocked(&world)) return -1;
    const float a = -target.imageAngle * kPi / 180.0f;
    float rx = offsetX, ry = offsetY;
    if (offsetX != 0.0f || offsetY != 0.0f) {
        rx = offsetX * std::cos(a) - offsetY * std::sin(a);
        ry = offsetX * std::sin(a) + offsetY * std::cos(a);
    }
    b2BodyDef def;
    def.type = fixture->density > 0.0f ? b2_dynamicBody : fixture->kinematic ? b2_kinematicBody : b2_staticBody;
    def.linearDamping = fixture->linearDamping;
    def.angularDamping = fixture->angularDamping;
    def.awake = fixture->awake;
    def.angle = a;
    def.position.Set((target.x - rx) * scale, (target.y - ry) * scale);
    if (!PHYSICS_CHECK(def.position.IsValid() && b2IsValid(def.angle))) return -1;
    if (!PHYSICS_CHECK(b2IsValid(def.linearDamping) && def.linearDamping >= 0.0f)) return -1;
    if (!PHYSICS_CHECK(b2IsValid(def.angularDamping) && def.angularDamping >= 0.0f)) return -1;
    b2Body* body = world.CreateBody(&def);
    b2Fixture* created = Physics_CreateFixture(body, *fixture, bits, mask);
    if (!created) {
        world.DestroyBody(body);
        return -1;
    }
    wrapper = new PhysicsBody(this, OurBody(body), target.instance, c, offsetX, offsetY);
    *target.body = wrapper;
    const int32_t id = wrapper->AddBinding(OurFixture(created));
    RefreshFilters();
    return id;
}

void PhysicsWorld::DestroyBody(PhysicsBody* body) { delete body; }

void PhysicsWorld::SavePreviousPositions()
{
    for (PhysicsBody* b = bodies; b; b = b->nextInWorld) b->GetPosition(&b->previousX, &b->previousY);
}

void PhysicsWorld::Step(int32_t roomSpeed)
{
    if (roomSpeed <= 0 || updateSpeed <= 0) return;
    const float dt = 1.0f / static_cast<float>(updateSpeed);
    const auto its = static_cast<int32_t>(iterations);
    for (float n = static_cast<float>(updateSpeed) / static_cast<float>(roomSpeed); n > 0.0f; n -= 1.0f)
        engine->world.Step(n > 1.0f ? dt : n * dt, its, its);
    engine->world.ClearForces();
}

void PhysicsWorld::WriteBackPositions(void (*place)(void* instance, float x, float y, float imageAngle))
{
    const float k = 1.0f / scale;
    for (b2Body* b = engine->world.GetBodyList(); b; b = b->GetNext()) {
        const PhysicsBody* wrapper = Physics_Wrapper(b);
        if (!wrapper || !wrapper->instance) continue;
        const float a = b->GetAngle();
        float rx = wrapper->offsetX, ry = wrapper->offsetY;
        if (rx != 0.0f || ry != 0.0f) {
            rx = wrapper->offsetX * std::cos(a) - wrapper->offsetY * std::sin(a);
            ry = wrapper->offsetX * std::sin(a) + wrapper->offsetY * std::cos(a);
        }
        const b2Vec2& p = b->GetPosition();
        place(wrapper->instance, p.x * k + rx, p.y * k + ry, a * -180.0f / kPi);
    }
}
