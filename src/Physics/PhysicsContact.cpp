// The contact stack: the listener records each touching fixture pair once per
// frame with the manifolds of every sub-step; after the step the records
// raise the collision events, last first.
#include <cstdlib>
#include <cstring>

#include "Base/Console.h"
#include "Physics/Physics_Box2D.h"

namespace {
constexpr int32_t kStackGrowth = 10;

bool Involves(const PhysicsContactRecord* record, const void* instance)
{
    if (!record || !record->fixtureA || !record->fixtureB) return false;
    const PhysicsBody* a = Physics_Wrapper(record->fixtureA->GetBody());
    const PhysicsBody* b = Physics_Wrapper(record->fixtureB->GetBody());
    return (a && a->instance == instance) || (b && b->instance == instance);
}

// The manifold that holds point n of the record, and n's index in it.
int32_t FindManifold(const PhysicsContactRecord* record, int32_t* n)
{
    if (*n < 0) return -1;
    int32_t before = 0;
    for (int32_t m = 0; m < record->manifoldCount; ++m) {
        const int32_t count = record->manifolds[m].pointCount;
        if (*n < before + count) {
            *n -= before;
            return m;
        }
        before += count;
    }
    return -1;
}
}  // namespace

void PhysicsContactRecord::AddManifold(const b2Manifold& manifold, const b2WorldManifold& world)
{
    if (manifoldCount >= PhysicsWorld::kMaxManifolds) {
        LogConsole->Output("WARNING: Too many manifolds in collision\n");
        return;
    }
    manifolds[manifoldCount] = manifold;
    worldManifolds[manifoldCount].normal = world.normal;
    for (int32_t i = 0; i < b2_maxManifoldPoints; ++i) worldManifolds[manifoldCount].points[i] = world.points[i];
    ++manifoldCount;
}

void Physics_RecordContact(PhysicsWorld* world, b2Contact* contact)
{
    b2Fixture* a = contact->GetFixtureA();
    b2Fixture* b = contact->GetFixtureB();
    const b2Manifold* manifold = contact->GetManifold();
    b2WorldManifold worldManifold;
    worldManifold.Initialize(manifold, a->GetBody()->GetTransform(), a->GetShape()->m_radius,
                             b->GetBody()->GetTransform(), b->GetShape()->m_radius);
    for (int32_t i = 0; i < world->contactCount; ++i) {
        PhysicsContactRecord& r = world->contacts[i];
        if ((r.fixtureA == a && r.fixtureB == b) || (r.fixtureA == b && r.fixtureB == a)) {
            r.AddManifold(*manifold, worldManifold);
            return;
        }
    }
    if (world->contactCount == world->contactCapacity) {
        const int32_t capacity = world->contactCapacity + kStackGrowth;
        auto* grown = static_cast<PhysicsContactRecord*>(
            std::realloc(static_cast<void*>(world->contacts), sizeof(PhysicsContactRecord) * static_cast<size_t>(capacity)));
        if (!grown) return;
        world->contacts = grown;
        world->contactCapacity = capacity;
    }
    PhysicsContactRecord& r = world->contacts[world->contactCount++];
    r.manifoldCount = 0;
    r.fixtureA = a;
    r.fixtureB = b;
    r.AddManifold(*manifold, worldManifold);
}

void PhysicsContactListener::BeginContact(b2Contact* contact)
{
    if (contact->GetFixtureA()->IsSensor() || contact->GetFixtureB()->IsSensor()) Physics_RecordContact(m_world, contact);
}

void PhysicsContactListener::PostSolve(b2Contact* contact, const b2ContactImpulse*)
{
    Physics_RecordContact(m_world, contact);
}

PhysicsContactRecord* PhysicsWorld::PopContact()
{
    if (contactCount == 0) return nullptr;
    return &contacts[--contactCount];
}

void PhysicsWorld::ForgetFixture(PhysicsLibFixture* fixture)
{
    b2Fixture* f = LibFixture(fixture);
    for (int32_t i = 0; i < contactCount; ++i) {
        if (contacts[i].fixtureA == f) contacts[i].fixtureA = nullptr;
        if (contacts[i].fixtureB == f) contacts[i].fixtureB = nullptr;
    }
    // The record whose events run is off the stack but still read.
    if (currentContact) {
        if (currentContact->fixtureA == f) currentContact->fixtureA = nullptr;
        if (currentContact->fixtureB == f) currentContact->fixtureB = nullptr;
    }
}

void PhysicsWorld::FireCollisionEvents(void (*collide)(void* instanceA, void* instanceB))
{
    while (PhysicsContactRecord* record = PopContact()) {
        if (!record->fixtureA || !record->fixtureB) continue;
        const PhysicsBody* a = Physics_Wrapper(record->fixtureA->GetBody());
        const PhysicsBody* b = Physics_Wrapper(record->fixtureB->GetBody());
        if (!a || !b) continue;
        // Events may record nothing (the world does not step in them), but
        // they may destroy fixtures, which ForgetFixture clears here too.
        currentContact = record;
        if (a->instance && b->instance) collide(a->instance, b->instance);
        currentContact = nullptr;
    }
}

int32_t PhysicsWorld::GetCollisionPointCount(const void* instance) const
{
    if (!Involves(currentContact, instance)) return 0;
    int32_t total = 0;
    for (int32_t m = 0; m < currentContact->manifoldCount; ++m) total += currentContact->manifolds[m].pointCount;
    return total;
}

bool PhysicsWorld::GetCollisionPoint(const void* instance, int32_t n, float* x, float* y) const
{
    if (!Involves(currentContact, instance)) return false;
    const int32_t m = FindManifold(currentContact, &n);
    if (m < 0) return false;
    const b2Vec2& p = currentContact->worldManifolds[m].points[n];
    *x = p.x / scale;
    *y = p.y / scale;
    return true;
}

bool PhysicsWorld::GetCollisionNormal(const void* instance, int32_t n, float* x, float* y) const
{
    if (!Involves(currentContact, instance)) return false;
    const int32_t m = FindManifold(currentContact, &n);
    if (m < 0) return false;
    *x = currentContact->worldManifolds[m].normal.x;
    *y = currentContact->worldManifolds[m].normal.y;
    return true;
}
