#include "Physics/Physics_Box2D.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "Base/ErrorReport.h"

namespace {
bool s_reports = false;

// Coordinates beyond this many metres are refused: the library's sums of
// products would lose all precision long before they overflow.
constexpr float kMaxCoordinate = 1.0e6f;

bool Usable(float v) { return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate; }

float Cross(const PhysicsPoint& o, const PhysicsPoint& a, const PhysicsPoint& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

float DistanceSquared(const PhysicsPoint& a, const PhysicsPoint& b)
{
    const float dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}
}  // namespace

void Physics_EnableAssertReports() { s_reports = true; }

void Physics_ResetAssertReports() { s_reports = false; }

bool Physics_Check(bool condition, const char* expression)
{
    if (condition) return true;
    if (s_reports) {
        // The expression and the physics context text, which stays empty.
        char text[1024];
        std::snprintf(text, sizeof text, "%s %s", expression, "");
        ReportRuntimeError(text, false);
    }
    return false;
}

bool Physics_Unlocked(const b2World* world) { return PHYSICS_CHECK(!world->IsLocked()); }

void Physics_SetFilter(b2Fixture* fixture, uint32_t category, uint32_t mask, int16_t group)
{
    fixture->GetUserData().pointer = (static_cast<uintptr_t>(mask) << 32) | category;
    b2Filter filter;
    filter.categoryBits = 0xFFFF;
    filter.maskBits = 0xFFFF;
    filter.groupIndex = group;
    fixture->SetFilterData(filter);  // also makes existing contacts filter again
}

uint32_t Physics_CategoryOf(const b2Fixture* fixture)
{
    return static_cast<uint32_t>(const_cast<b2Fixture*>(fixture)->GetUserData().pointer);
}

uint32_t Physics_MaskOf(const b2Fixture* fixture)
{
    return static_cast<uint32_t>(const_cast<b2Fixture*>(fixture)->GetUserData().pointer >> 32);
}

bool PhysicsContactFilter::ShouldCollide(b2Fixture* fixtureA, b2Fixture* fixtureB)
{
    const int16_t groupA = fixtureA->GetFilterData().groupIndex;
    const int16_t groupB = fixtureB->GetFilterData().groupIndex;
    if (groupA == groupB && groupA != 0) return groupA > 0;
    return (Physics_MaskOf(fixtureA) & Physics_CategoryOf(fixtureB)) != 0 &&
           (Physics_CategoryOf(fixtureA) & Physics_MaskOf(fixtureB)) != 0;
}

bool Physics_PolygonUsable(const PhysicsPoint* points, int32_t count)
{
    if (count < 3 || count > b2_maxPolygonVertices) return false;
    // Points closer than the library's weld distance count once.
    PhysicsPoint kept[b2_maxPolygonVertices];
    int32_t n = 0;
    const float weld = 0.5f * b2_linearSlop;
    for (int32_t i = 0; i < count; ++i) {
        if (!Usable(points[i].x) || !Usable(points[i].y)) return false;
        bool unique = true;
        for (int32_t j = 0; j < n && unique; ++j) unique = DistanceSquared(points[i], kept[j]) >= weld * weld;
        if (unique) kept[n++] = points[i];
    }
    if (n < 3) return false;
    // The hull by gift wrapping from the rightmost point, collinear points
    // left out; bounded so that rounding cannot make it go round forever.
    int32_t start = 0;
    for (int32_t i = 1; i < n; ++i)
        if (kept[i].x > kept[start].x || (kept[i].x == kept[start].x && kept[i].y < kept[start].y)) start = i;
    PhysicsPoint hull[b2_maxPolygonVertices];
    int32_t m = 0;
    int32_t at = start;
    for (;;) {
        if (m == b2_maxPolygonVertices) return false;
        hull[m++] = kept[at];
        int32_t next = 0;
        for (int32_t j = 1; j < n; ++j) {
            if (next == at) {
                next = j;
                continue;
            }
            const float c = Cross(kept[at], kept[next], kept[j]);
            if (c < 0.0f || (c == 0.0f && DistanceSquared(kept[j], kept[at]) > DistanceSquared(kept[next], kept[at])))
                next = j;
        }
        at = next;
        if (at == start) break;
    }
    if (m < 3) return false;
    float area = 0;
    for (int32_t i = 1; i + 1 < m; ++i) area += 0.5f * Cross(hull[0], hull[i], hull[i + 1]);
    // The library sums the same triangles in the same order and asserts a
    // positive area; this asks for well more than its least.
    return area > b2_linearSlop * b2_linearSlop;
}

bool Physics_ChainUsable(const PhysicsPoint* points, int32_t count, bool loop)
{
    if (count < (loop ? 3 : 2)) return false;
    for (int32_t i = 0; i < count; ++i)
        if (!Usable(points[i].x) || !Usable(points[i].y)) return false;
    const float least = b2_linearSlop * b2_linearSlop;
    for (int32_t i = 1; i < count; ++i)
        if (!(DistanceSquared(points[i - 1], points[i]) > least)) return false;
    return !loop || DistanceSquared(points[count - 1], points[0]) > least;
}

bool Physics_MassResetSafe(const b2Body* body, const PhysicsMassChange& change)
{
    if (body->GetType() != b2_dynamicBody || body->IsFixedRotation()) return true;
    // The library's sums, in its order: the fixture list starts with the
    // newest fixture.
    float mass = 0, inertia = 0;
    b2Vec2 centre(0.0f, 0.0f);
    auto add = [&](const b2Shape* shape, float density) {
        if (density == 0.0f) return;
        b2MassData data;
        shape->ComputeMass(&data, density);
        mass += data.mass;
        centre += data.mass * data.center;
        inertia += data.I;
    };
    if (change.added) add(change.added, change.addedDensity);
    for (const b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
        if (f == change.removed) continue;
        add(f->GetShape(), f == change.changed ? change.changedDensity : f->GetDensity());
    }
    if (mass > 0.0f) centre *= 1.0f / mass;
    return !(inertia > 0.0f) || inertia - mass * b2Dot(centre, centre) > 0.0f;
}

namespace {
b2Vec2 Vec(const PhysicsPoint& p) { return b2Vec2(p.x, p.y); }

b2Fixture* Create(b2Body* body, b2FixtureDef& def, const b2Shape& shape, const PhysicsFixture& fixture,
                  uint32_t category, uint32_t mask)
{
    PhysicsMassChange change;
    change.added = &shape;
    change.addedDensity = def.density;
    if (!PHYSICS_CHECK(Physics_MassResetSafe(body, change))) return nullptr;
    def.shape = &shape;
    b2Fixture* created = body->CreateFixture(&def);
    Physics_SetFilter(created, category, mask, static_cast<int16_t>(fixture.collisionGroup));
    return created;
}
}  // namespace

b2Fixture* Physics_CreateFixture(b2Body* body, const PhysicsFixture& fixture, uint32_t category, uint32_t mask)
{
    if (!Physics_Unlocked(body->GetWorld())) return nullptr;
    if (!PHYSICS_CHECK(std::isfinite(fixture.density) && fixture.density >= 0.0f)) return nullptr;
    // The library mixes frictions by a square root of their product.
    if (!PHYSICS_CHECK(std::isfinite(fixture.friction) && fixture.friction >= 0.0f)) return nullptr;
    if (!PHYSICS_CHECK(std::isfinite(fixture.restitution))) return nullptr;
    b2FixtureDef def;
    def.friction = fixture.friction;
    def.restitution = fixture.restitution;
    def.density = fixture.density;
    def.isSensor = fixture.sensor;
    switch (fixture.shape) {
    case PHYSICS_SHAPE_CIRCLE: {
        if (!PHYSICS_CHECK(Usable(fixture.radius) && fixture.radius >= 0.0f)) return nullptr;
        b2CircleShape shape;
        shape.m_radius = fixture.radius;
        return Create(body, def, shape, fixture, category, mask);
    }
    case PHYSICS_SHAPE_EDGE: {
        if (!PHYSICS_CHECK(Physics_ChainUsable(fixture.points, fixture.pointCount, false))) return nullptr;
        b2EdgeShape shape;
        shape.SetTwoSided(Vec(fixture.points[0]), Vec(fixture.points[1]));
        return Create(body, def, shape, fixture, category, mask);
    }
    case PHYSICS_SHAPE_POLYGON: {
        b2PolygonShape shape;
        if (fixture.points) {
            if (!PHYSICS_CHECK(Physics_PolygonUsable(fixture.points, fixture.pointCount))) return nullptr;
            b2Vec2 vertices[b2_maxPolygonVertices];
            for (int32_t i = 0; i < fixture.pointCount; ++i) vertices[i] = Vec(fixture.points[i]);
            shape.Set(vertices, fixture.pointCount);
        } else {
            const float hx = fixture.halfWidth, hy = fixture.halfHeight;
            if (!PHYSICS_CHECK(Usable(hx) && Usable(hy) && 4.0f * hx * hy > b2_linearSlop * b2_linearSlop))
                return nullptr;
            shape.SetAsBox(hx, hy);
        }
        return Create(body, def, shape, fixture, category, mask);
    }
    case PHYSICS_SHAPE_CHAIN: {
        const int32_t n = fixture.pointCount;
        if (!PHYSICS_CHECK(Physics_ChainUsable(fixture.points, n, fixture.chainLoop))) return nullptr;
        std::vector<b2Vec2> vertices(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i) vertices[static_cast<size_t>(i)] = Vec(fixture.points[i]);
        // The chain frees its vertex array when it goes out of scope; the
        // fixture keeps its own copy.
        b2ChainShape shape;
        if (fixture.chainLoop) {
            shape.CreateLoop(vertices.data(), n);
        } else {
            // Ghost vertices continue the end edges straight on.
            const b2Vec2 before = 2.0f * vertices[0] - vertices[1];
            const b2Vec2 after = 2.0f * vertices[static_cast<size_t>(n - 1)] - vertices[static_cast<size_t>(n - 2)];
            shape.CreateChain(vertices.data(), n, before, after);
        }
        return Create(body, def, shape, fixture, category, mask);
    }
    default:
        return nullptr;
    }
}
