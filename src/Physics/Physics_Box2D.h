#pragma once
// The physics library as this folder uses it. Its assertions end the
// process, so every call whose preconditions game code can break goes through
// a check here first; a failed check refuses the call and, with reports on,
// raises a non-fatal error naming the condition. Only src/Physics includes
// this header.
#include <box2d/box2d.h>

#include "Physics/PhysicsWorld.h"

inline b2Body* LibBody(PhysicsLibBody* body) { return reinterpret_cast<b2Body*>(body); }
inline PhysicsLibBody* OurBody(b2Body* body) { return reinterpret_cast<PhysicsLibBody*>(body); }
inline b2Fixture* LibFixture(PhysicsLibFixture* fixture) { return reinterpret_cast<b2Fixture*>(fixture); }
inline PhysicsLibFixture* OurFixture(b2Fixture* fixture) { return reinterpret_cast<PhysicsLibFixture*>(fixture); }

// True when condition holds; otherwise reports expression (when reports are
// on) and returns false.
bool Physics_Check(bool condition, const char* expression);
#define PHYSICS_CHECK(condition) Physics_Check((condition), #condition)
void Physics_ResetAssertReports();

// The 32-bit category and mask of a fixture ride in its user data; the
// library's own 16-bit filter keeps only the group index.
void Physics_SetFilter(b2Fixture* fixture, uint32_t category, uint32_t mask, int16_t group);
uint32_t Physics_CategoryOf(const b2Fixture* fixture);
uint32_t Physics_MaskOf(const b2Fixture* fixture);

// Shapes the library accepts without asserting: a polygon whose welded
// points have a hull of 3 or more points and some area, a chain of 2 or more
// (a loop of 3 or more) points that do not repeat.
bool Physics_PolygonUsable(const PhysicsPoint* points, int32_t count);
bool Physics_ChainUsable(const PhysicsPoint* points, int32_t count, bool loop);

// A fixture on body from the template, with the filter given; null (after
// the check's report) when the template's shape or values are unusable.
b2Fixture* Physics_CreateFixture(b2Body* body, const PhysicsFixture& fixture, uint32_t category, uint32_t mask);
bool Physics_Unlocked(const b2World* world);
// Whether the library's mass reset of a dynamic body, after adding a shape,
// removing a fixture or changing one's density, leaves a positive inertia
// about the centre of mass (it asserts so; a small shape far from the body
// origin loses it to rounding).
struct PhysicsMassChange {
    const b2Shape* added = nullptr;
    float addedDensity = 0;
    const b2Fixture* removed = nullptr;
    const b2Fixture* changed = nullptr;
    float changedDensity = 0;
};
bool Physics_MassResetSafe(const b2Body* body, const PhysicsMassChange& change);

// The wrapper a library body carries.
inline PhysicsBody* Physics_Wrapper(const b2Body* body)
{
    return reinterpret_cast<PhysicsBody*>(const_cast<b2Body*>(body)->GetUserData().pointer);
}

struct PhysicsContactRecord {
    int32_t manifoldCount;
    b2Fixture* fixtureA;
    b2Fixture* fixtureB;
    b2Manifold manifolds[PhysicsWorld::kMaxManifolds];
    struct {
        b2Vec2 normal;
        b2Vec2 points[b2_maxManifoldPoints];
    } worldManifolds[PhysicsWorld::kMaxManifolds];

    void AddManifold(const b2Manifold& manifold, const b2WorldManifold& world);
};

class PhysicsContactListener : public b2ContactListener {
public:
    explicit PhysicsContactListener(PhysicsWorld* world) : m_world(world) {}
    void BeginContact(b2Contact* contact) override;
    void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;

private:
    PhysicsWorld* m_world;
};

class PhysicsContactFilter : public b2ContactFilter {
public:
    bool ShouldCollide(b2Fixture* fixtureA, b2Fixture* fixtureB) override;
};

struct PhysicsEngine {
    explicit PhysicsEngine(PhysicsWorld* owner) : world(b2Vec2(0.0f, 10.0f)), listener(owner) {}
    b2World world;
    PhysicsContactListener listener;
    PhysicsContactFilter filter;
};

void Physics_RecordContact(PhysicsWorld* world, b2Contact* contact);
