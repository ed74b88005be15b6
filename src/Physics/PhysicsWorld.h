#pragma once
// The physics world of a room, bodies, fixture templates, the world's step,
// and the -debug assertion reports. Until physics exists
// (PhysicsWorld_Stub.cpp) the world records the fixtures bound to it and
// counts its steps.
#include <cstdint>


struct PhysicsBody {
    int32_t fixtureCount = 0;
};

enum : int32_t { FIXTURE_SHAPE_NONE = 0, FIXTURE_SHAPE_CIRCLE = 1, FIXTURE_SHAPE_POLYGON = 2 };

struct PhysicsFixture {
    static constexpr int32_t kMaxPoints = 8;

    void SetCircleShape(float newRadius);
    void SetPolygonShape();
    void AddPoint(float x, float y);

    int32_t id = 0;
    int32_t shape = FIXTURE_SHAPE_NONE;
    float radius = 0;
    int32_t pointCount = 0;
    float points[kMaxPoints][2] = {};
    float linearDamping = 0;
    float angularDamping = 0;
    bool awake = true;
    bool kinematic = false;
    float friction = 0;
    float restitution = 0;
    float density = 0;
    bool sensor = false;
    int32_t collisionGroup = 0;
};

PhysicsFixture* PhysicsFixture_Create();
bool PhysicsFixture_Delete(int32_t id);
int32_t PhysicsFixture_Count();
// Deletes every fixture template and the step count; ids start again from 0
// (between tests).
void Physics_Reset();

class PhysicsWorld {
public:
    explicit PhysicsWorld(float pixelsToMetres) : scale(pixelsToMetres) {}
    // Binds a copy of the template to an instance's body, made when absent.
    void AddFixture(PhysicsFixture* fixture, PhysicsBody** body, float offsetX, float offsetY);
    void DestroyBody(PhysicsBody* body);

    void SetGravity(float x, float y)
    {
        gravityX = x;
        gravityY = y;
    }

    float scale;
    float gravityX = 0;
    float gravityY = 0;
    int32_t updateRate = 30;  // steps per second
    int32_t fixturesAdded = 0;
    PhysicsFixture lastFixture;
    float lastOffsetX = 0;
    float lastOffsetY = 0;
};

// Physics: one step of the room's world; the stand-in counts the steps.
void PhysicsWorld_Update(PhysicsWorld* world, int32_t rate, bool anyPath);
extern int32_t PhysicsWorldSteps;

// -debug: failed physics assertions are reported as errors.
void Physics_EnableAssertReports();
