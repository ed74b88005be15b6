// The contact stack: the listener records each touching fixture pair once per
// frame with the manifolds of every sub-step; after the step the records
// raise the collision events, last first.
#include <cstdlib>
#include <cstring>

#include "Base/Console.h"
#include "Physics/Physics_Box2D.h"

namespace {
constexpr int32_t kStackGrowth = 10;

size_t PairHash(const b2Fixture* a, const b2Fixture* b)
{
    // Either order of the pair lands in the same slot.
    const auto x = reinterpret_cast<uintptr_t>(a), y = reinterpret_cast<uintptr_t>(b);
    const uint64_t h = (static_cast<uint64_t>(x < y ? x : y) * 0x9E3779B97F4A7C15ull) ^ (x < y ? y : x);
    return static_cast<size_t>(h ^ (h >> 29));
}

bool SamePair(const PhysicsContactRecord& r, const b2Fixture* a, const b2Fixture* b)
{
    return (r.fixtureA == a && r.fixtureB == b) || (r.fixtureA == b && r.fixtureB == a);
}

// The slot of the record of (a, b), or the free slot where it goes.
int32_t* FindSlot(PhysicsWorld* world, const b2Fixture* a, const b2Fixture* b)
{
    const size_t mask = static_cast<size_t>(world->pairSlotCount) - 1;
    for (size_t i = PairHash(a, b) & mask;; i = (i + 1) & mask) {
        int32_t* slot = &world->pairSlots[i];
        if (*slot < 0 || SamePair(world->contacts[*slot], a, b)) return slot;
    }
}

// Keeps the index at least twice the capacity, so that it always has free
// slots, and holding exactly the records on the stack (after records were
// popped it is built again; an empty stack makes that a clear).
bool FitPairIndex(PhysicsWorld* world)
{
    if (world->pairSlotCount < 2 * world->contactCapacity || !world->pairSlots) {
        int32_t count = world->pairSlotCount > 0 ? world->pairSlotCount : 32;
        while (count < 2 * world->contactCapacity) count *= 2;
        auto* slots = static_cast<int32_t*>(std::malloc(sizeof(int32_t) * static_cast<size_t>(count)));
        if (!slots) return false;
        std::free(world->pairSlots);
        world->pairSlots = slots;
        world->pairSlotCount = count;
        world->pairsIndexed = -1;
    }
    if (world->pairsIndexed == world->contactCount) return true;
    std::memset(world->pairSlots, 0xFF, sizeof(int32_t) * static_cast<size_t>(world->pairSlotCount));
    for (int32_t i = 0; i < world->contactCount; ++i)
        *FindSlot(world, world->contacts[i].fixtureA, world->contacts[i].fixtureB) = i;
    world->pairsIndexed = world->contactCount;
    return true;
}

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
    // The pair's record, found through the index rather than a walk of the
    // stack (a frame of a large world records thousands of pairs).
    if (!FitPairIndex(world)) return;
    int32_t* slot = FindSlot(world, a, b);
    if (*slot >= 0) {
        world->contacts[*slot].AddManifold(*manifold, worldManifold);
        return;
    }
    if (world->contactCount == world->contactCapacity) {
        const int32_t capacity = world->contactCapacity + kStackGrowth;
        auto* grown = static_cast<PhysicsContactRecord*>(
            std::realloc(static_cast<void*>(world->contacts), sizeof(PhysicsContactRecord) * static_cast<size_t>(capacity)));
        if (!grown) return;
        world->contacts = grown;
        world->contactCapacity = capacity;
        if (!FitPairIndex(world)) return;
        slot = FindSlot(world, a, b);
    }
    *slot = world->contactCount;
    world->pairsIndexed = world->contactCount + 1;
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
