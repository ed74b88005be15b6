#include "Physics/PhysicsFixture.h"

#include <cstdio>
#include <cstdlib>

#include "Base/ErrorReport.h"
#include "Base/Hash.h"
#include "Physics/Physics_Box2D.h"

namespace {
Hash<PhysicsFixture>* s_fixtures = nullptr;
int32_t s_lastId = 0;

Hash<PhysicsFixture>& Fixtures()
{
    if (!s_fixtures) s_fixtures = new Hash<PhysicsFixture>(1024);
    return *s_fixtures;
}

PhysicsPoint* NewPoints(int32_t capacity)
{
    return static_cast<PhysicsPoint*>(std::calloc(static_cast<size_t>(capacity), sizeof(PhysicsPoint)));
}

void ReportShape(const char* format, const char* objectName)
{
    char text[1024];
    std::snprintf(text, sizeof text, format, objectName ? objectName : "<undefined>");
    ReportRuntimeError(text, true);
}
}  // namespace

PhysicsFixture::~PhysicsFixture() { DropShape(); }

void PhysicsFixture::DropShape()
{
    std::free(points);
    points = nullptr;
    pointCount = 0;
    pointCapacity = 0;
}

void PhysicsFixture::SetCircleShape(float newRadius)
{
    DropShape();
    shape = PHYSICS_SHAPE_CIRCLE;
    radius = newRadius;
}

void PhysicsFixture::SetBoxShape(float newHalfWidth, float newHalfHeight)
{
    DropShape();
    shape = PHYSICS_SHAPE_POLYGON;
    halfWidth = newHalfWidth;
    halfHeight = newHalfHeight;
}

void PhysicsFixture::SetEdgeShape(float x1, float y1, float x2, float y2)
{
    DropShape();
    shape = PHYSICS_SHAPE_EDGE;
    points = NewPoints(2);
    if (!points) return;
    points[0] = {x1, y1};
    points[1] = {x2, y2};
    pointCount = pointCapacity = 2;
}

void PhysicsFixture::SetPolygonShape()
{
    DropShape();
    shape = PHYSICS_SHAPE_POLYGON;
    points = NewPoints(kFirstCapacity);
    if (points) pointCapacity = kFirstCapacity;
}

void PhysicsFixture::SetChainShape(bool loop)
{
    DropShape();
    shape = PHYSICS_SHAPE_CHAIN;
    chainLoop = loop;
    points = NewPoints(kFirstCapacity);
    if (points) pointCapacity = kFirstCapacity;
}

bool PhysicsFixture::AddPoint(float x, float y)
{
    if (!points) return false;
    if (shape == PHYSICS_SHAPE_POLYGON) {
        if (pointCount >= kMaxPolygonPoints) return false;
        points[pointCount++] = {x, y};
        return CheckConvex();
    }
    if (shape != PHYSICS_SHAPE_CHAIN) return false;
    if (pointCount == pointCapacity) {
        const int32_t capacity = pointCapacity * 3 / 2;
        // A chain as long as an int holds is refused, not overflowed.
        if (capacity <= pointCapacity) return false;
        auto* grown = static_cast<PhysicsPoint*>(std::realloc(points, sizeof(PhysicsPoint) * static_cast<size_t>(capacity)));
        if (!grown) return false;
        points = grown;
        pointCapacity = capacity;
    }
    points[pointCount++] = {x, y};
    return true;
}

bool PhysicsFixture::CheckConvex() const
{
    const int32_t n = pointCount;
    if (n <= 2) return true;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t k = (i + 1) % n;
        for (int32_t j = 0; j < n; ++j) {
            if (j == i || j == k) continue;
            const float c = (points[j].y - points[i].y) * (points[k].x - points[i].x) -
                            (points[j].x - points[i].x) * (points[k].y - points[i].y);
            if (c <= -0.00001f) {
                FatalRuntimeError("ERROR: The polygon shape for fixture %d is concave or ordered anti-clockwise", id);
                return false;
            }
        }
    }
    return true;
}

bool PhysicsFixture::ApplyPoints(const char* objectName) const
{
    if (!points) return true;
    if (shape == PHYSICS_SHAPE_POLYGON) {
        if (pointCount <= 2) {
            ReportShape("Too few vertices in polygon shape fixture for %s", objectName);
            return false;
        }
        // Points that weld together or lie on one line make no area.
        if (!Physics_PolygonUsable(points, pointCount)) {
            ReportShape("Degenerate polygon shape fixture for %s", objectName);
            return false;
        }
    } else if (shape == PHYSICS_SHAPE_CHAIN) {
        if (pointCount < (chainLoop ? 3 : 2)) {
            ReportShape("Too few vertices in chain shape fixture for %s", objectName);
            return false;
        }
        if (!Physics_ChainUsable(points, pointCount, chainLoop)) {
            ReportShape("Degenerate chain shape fixture for %s", objectName);
            return false;
        }
    }
    return true;
}

PhysicsFixture* PhysicsFixture_Create()
{
    auto* fixture = new PhysicsFixture;
    fixture->id = ++s_lastId;
    Fixtures().Insert(fixture->id, fixture);
    return fixture;
}

PhysicsFixture* PhysicsFixture_Find(int32_t id) { return Fixtures().Find(id); }

bool PhysicsFixture_Delete(int32_t id) { return Fixtures().Delete(id, HASH_DELETE_VALUE); }

int32_t PhysicsFixture_Count() { return Fixtures().count; }

void Physics_Reset()
{
    if (s_fixtures) s_fixtures->Clear(HASH_DELETE_VALUE);
    s_lastId = 0;
    Physics_ResetAssertReports();
}
