#pragma once
// Fixture templates: a shape with its material and body settings, kept by id
// until game code deletes it, bound to any number of instances. Sizes and
// points are in metres (the callers scale room pixels by their world's
// pixels-to-metres).
#include <cstdint>

enum PhysicsShapeKind : int32_t {
    PHYSICS_SHAPE_NONE = -1,
    PHYSICS_SHAPE_CIRCLE = 0,
    PHYSICS_SHAPE_EDGE = 1,
    PHYSICS_SHAPE_POLYGON = 2,
    PHYSICS_SHAPE_CHAIN = 3,
};

struct PhysicsPoint {
    float x, y;
};

struct PhysicsFixture {
    static constexpr int32_t kMaxPolygonPoints = 8;
    static constexpr int32_t kFirstCapacity = 8;

    PhysicsFixture() = default;
    ~PhysicsFixture();
    PhysicsFixture(const PhysicsFixture&) = delete;
    PhysicsFixture& operator=(const PhysicsFixture&) = delete;

    // Each setter replaces the shape and drops the points.
    void SetCircleShape(float radius);
    void SetBoxShape(float halfWidth, float halfHeight);
    void SetEdgeShape(float x1, float y1, float x2, float y2);
    void SetPolygonShape();
    void SetChainShape(bool loop);
    // A polygon takes up to 8 points, each checked for convexity (a fatal
    // error when the points turn the wrong way); a chain takes any number.
    bool AddPoint(float x, float y);
    bool CheckConvex() const;
    // Before each binding: checks that the points make a shape the library
    // accepts; false after a fatal error naming objectName when they do not.
    bool ApplyPoints(const char* objectName) const;

    float linearDamping = 0;
    float angularDamping = 0;
    bool awake = true;
    int32_t pointCount = 0;
    int32_t pointCapacity = 0;
    PhysicsPoint* points = nullptr;  // owned; null when the shape keeps none
    bool kinematic = false;
    bool chainLoop = false;
    int32_t id = 0;

    int32_t shape = PHYSICS_SHAPE_NONE;
    float radius = 0;                       // circle
    float halfWidth = 0, halfHeight = 0;    // a box: a polygon without points
    float friction = 0.2f;
    float restitution = 0;
    float density = 0;
    bool sensor = false;
    int32_t collisionGroup = 0;             // kept to 16 bits when bound

private:
    void DropShape();
};

// New template, filed under the next id (the first is 1; ids are not reused).
PhysicsFixture* PhysicsFixture_Create();
PhysicsFixture* PhysicsFixture_Find(int32_t id);
bool PhysicsFixture_Delete(int32_t id);
int32_t PhysicsFixture_Count();
