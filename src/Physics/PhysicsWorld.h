#pragma once
// A room's physics world: the library world in the room's units (one
// pixels-to-metres factor scales positions, lengths and linear velocities;
// body angle = -image_angle in radians), its sub-steps, the 32 collision
// categories handed out per object, binding fixture templates to instances'
// bodies, and the contact stack whose records raise collision events after
// the step. Instances are opaque here: the world layer above walks them.
#include <cstdint>

#include "Physics/PhysicsBody.h"
#include "Physics/PhysicsFixture.h"

struct PhysicsEngine;          // the library world, its listener and filter
struct PhysicsContactRecord;   // one fixture pair's contacts in a frame

struct PhysicsCategory {
    int32_t key;  // object index, -1 for a free entry
    uint32_t bit;
    uint32_t mask;
};

// What binding a template needs of an instance and its object.
struct PhysicsBindTarget {
    void* instance;
    PhysicsBody** body;  // the instance's body pointer
    float x, y;          // room pixels
    float imageAngle;    // degrees, counter-clockwise on the screen
    const char* objectName;
    int32_t categoryKey;     // the object whose category the instance shares
    const int32_t* partners; // objects it has collision events with
    int32_t partnerCount;
};

class PhysicsWorld {
public:
    static constexpr int32_t kCategories = 32;
    static constexpr int32_t kMaxManifolds = 8;

    PhysicsWorld(float pixelsToMetres, int32_t updateSpeed);
    // A copy of the other's settings (update speed, iterations, scale,
    // gravity), without its bodies.
    explicit PhysicsWorld(const PhysicsWorld& other);
    // Detaches the bodies that still live in it.
    ~PhysicsWorld();
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    // Metres per second squared, y down the screen; a non-zero gravity wakes
    // the sleeping dynamic bodies.
    void SetGravity(float x, float y);
    void GetGravity(float* x, float* y) const;

    // The category of an instance's object: -1 when it has no partner (it
    // collides with nothing), and -1 after a reported error when all 32 are
    // taken.
    int32_t AssignCategory(int32_t key, const int32_t* partners, int32_t partnerCount, const char* objectName);
    int32_t GetCategory(int32_t key, const char* objectName);
    void RefreshFilters();

    // Binds a template to an instance: a new body for its first fixture.
    // Returns the binding id, -1 (after a fatal error) when the template
    // makes no shape.
    int32_t AddFixture(PhysicsFixture* fixture, const PhysicsBindTarget& target, float offsetX, float offsetY);
    // Destroys the body and its wrapper; the caller clears its pointer.
    void DestroyBody(PhysicsBody* body);

    // The parts of a frame's update.
    void SavePreviousPositions();
    void Step(int32_t roomSpeed);  // the sub-steps, then the forces cleared
    void WriteBackPositions(void (*place)(void* instance, float x, float y, float imageAngle));
    // Pops every record, last first, and calls collide for the two instances
    // of each whose fixtures still exist.
    void FireCollisionEvents(void (*collide)(void* instanceA, void* instanceB));

    // The contact stack.
    PhysicsContactRecord* PopContact();
    void ForgetFixture(PhysicsLibFixture* fixture);
    int32_t ContactCount() const { return contactCount; }
    // While a collision event runs: the current record's points (room
    // pixels) and normals, for an instance that takes part in it.
    int32_t GetCollisionPointCount(const void* instance) const;
    bool GetCollisionPoint(const void* instance, int32_t n, float* x, float* y) const;
    bool GetCollisionNormal(const void* instance, int32_t n, float* x, float* y) const;

    int32_t BodyCount() const;

    float scale;  // pixels-to-metres
    int32_t updateSpeed;
    uint32_t iterations = 10;
    bool paused = false;
    PhysicsCategory categories[kCategories];

    // Internal to src/Physics.
    PhysicsEngine* engine;
    PhysicsContactRecord* contacts = nullptr;
    int32_t contactCount = 0;
    int32_t contactCapacity = 0;
    PhysicsContactRecord* currentContact = nullptr;
    int32_t* pairSlots = nullptr;  // open addressing: record index by fixture pair, -1 free
    int32_t pairSlotCount = 0;     // a power of two, at least twice the capacity
    int32_t pairsIndexed = 0;      // the record count the index was last brought up to
    PhysicsBody* bodies = nullptr;  // the wrappers of this world's bodies
};

// Failed checks before library calls are reported as non-fatal errors from
// now on (-debug); without it they are only refused.
void Physics_EnableAssertReports();
// Deletes every fixture template and restarts their ids; reports off.
void Physics_Reset();
