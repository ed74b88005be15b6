// STAND-IN: see PhysicsWorld_Stub.h.
#include "Object/PhysicsWorld_Stub.h"

#include "Base/Hash.h"
#include "Object/Instance.h"

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

void PhysicsWorld::AddFixture(PhysicsFixture* fixture, CInstance* instance, float offsetX, float offsetY)
{
    if (!instance->m_physicsBody) instance->m_physicsBody = new PhysicsBody;
    ++instance->m_physicsBody->fixtureCount;
    ++fixturesAdded;
    lastFixture = *fixture;
    lastOffsetX = offsetX;
    lastOffsetY = offsetY;
}

void PhysicsWorld::DestroyBody(PhysicsBody* body) { delete body; }
