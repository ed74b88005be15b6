// Stand-ins: see PhysicsWorld.h.
#include "Physics/PhysicsWorld.h"

#include "Base/Hash.h"

namespace {
Hash<PhysicsFixture>* s_fixtures = nullptr;
int32_t s_nextId = 0;

Hash<PhysicsFixture>& Fixtures()
{
    if (!s_fixtures) s_fixtures = new Hash<PhysicsFixture>(16);
    return *s_fixtures;
}
}  // namespace

void PhysicsFixture::SetCircleShape(float newRadius)
{
    shape = FIXTURE_SHAPE_CIRCLE;
    radius = newRadius;
    pointCount = 0;
}

void PhysicsFixture::SetPolygonShape()
{
    shape = FIXTURE_SHAPE_POLYGON;
    pointCount = 0;
}

void PhysicsFixture::AddPoint(float x, float y)
{
    if (shape != FIXTURE_SHAPE_POLYGON || pointCount >= kMaxPoints) return;
    points[pointCount][0] = x;
    points[pointCount][1] = y;
    ++pointCount;
}

PhysicsFixture* PhysicsFixture_Create()
{
    auto* fixture = new PhysicsFixture;
    fixture->id = s_nextId++;
    Fixtures().Insert(fixture->id, fixture);
    return fixture;
}

bool PhysicsFixture_Delete(int32_t id) { return Fixtures().Delete(id, HASH_DELETE_VALUE); }

int32_t PhysicsFixture_Count() { return Fixtures().count; }

void PhysicsWorld::AddFixture(PhysicsFixture* fixture, PhysicsBody** body, float offsetX, float offsetY)
{
    if (!*body) *body = new PhysicsBody;
    ++(*body)->fixtureCount;
    ++fixturesAdded;
    lastFixture = *fixture;
    lastOffsetX = offsetX;
    lastOffsetY = offsetY;
}

void PhysicsWorld::DestroyBody(PhysicsBody* body) { delete body; }

int32_t PhysicsWorldSteps = 0;

void PhysicsWorld_Update(PhysicsWorld*, int32_t, bool) { ++PhysicsWorldSteps; }

void Physics_Reset()
{
    Fixtures().Clear(HASH_DELETE_VALUE);
    s_nextId = 0;
    PhysicsWorldSteps = 0;
}

void Physics_EnableAssertReports() {}
