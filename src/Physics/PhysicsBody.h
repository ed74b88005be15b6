#pragma once
// An instance's body in a physics world: the library body, the fixtures bound
// to it by binding id, and where the instance's origin lies relative to the
// body. Values are in metres, seconds and radians unless a name says degrees.
#include <cstdint>
#include <vector>

class PhysicsWorld;
struct PhysicsLibBody;     // the library's body (opaque outside src/Physics)
struct PhysicsLibFixture;  // the library's fixture

struct PhysicsBinding {
    int32_t id;
    PhysicsLibFixture* fixture;
};

struct PhysicsBody {
    PhysicsBody(PhysicsWorld* world, PhysicsLibBody* body, void* instance, int32_t category, float offsetX,
                float offsetY);
    // Destroys the library body (its fixtures forgotten by the contact
    // stack first) while its world exists.
    ~PhysicsBody();
    PhysicsBody(const PhysicsBody&) = delete;
    PhysicsBody& operator=(const PhysicsBody&) = delete;

    // Files the fixture under the next id and returns the id.
    int32_t AddBinding(PhysicsLibFixture* fixture);
    bool RemoveFixture(int32_t bindingId);
    PhysicsLibFixture* FindBinding(int32_t bindingId) const;

    bool IsDynamic() const;
    bool IsStatic() const;
    bool IsAwake() const;
    void GetPosition(float* x, float* y) const;
    float GetAngle() const;
    void GetLinearVelocity(float* x, float* y) const;
    float GetAngularVelocity() const;
    float GetMass() const;

    void SetPosition(float x, float y);
    void SetRotation(float degrees);
    void SetLinearVelocity(float vx, float vy);
    void SetAngularVelocity(float degreesPerSecond);
    void ApplyForce(float x, float y, float fx, float fy);
    void ApplyImpulse(float x, float y, float jx, float jy);
    void ApplyLocalForce(float x, float y, float fx, float fy);
    void ApplyLocalImpulse(float x, float y, float jx, float jy);
    void ApplyTorque(float torque);
    void ApplyAngularImpulse(float impulse);
    void SetMassProperties(float mass, float centreX, float centreY, float inertia);
    float GetDensity(int32_t bindingId) const;
    float GetFriction(int32_t bindingId) const;
    float GetRestitution(int32_t bindingId) const;
    void SetDensity(int32_t bindingId, float value);
    void SetFriction(int32_t bindingId, float value);
    void SetRestitution(int32_t bindingId, float value);

    PhysicsWorld* world;   // null once the world is gone
    PhysicsLibBody* body;  // null once destroyed with its world
    void* instance;
    float offsetX, offsetY;      // room pixels, in the instance's frame
    float previousX, previousY;  // the position before the last step
    int32_t category;            // index into the world's categories, -1 for none
    int32_t nextBindingId = 0;
    std::vector<PhysicsBinding> bindings;
    PhysicsBody* nextInWorld = nullptr;  // the world's list of its bodies
    PhysicsBody* previousInWorld = nullptr;
};
