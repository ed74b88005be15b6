#include "Physics/PhysicsBody.h"

#include <cmath>

#include "Physics/Physics_Box2D.h"

namespace {
constexpr float kPi = 3.1415927f;

bool Finite(float a, float b) { return std::isfinite(a) && std::isfinite(b); }
}  // namespace

PhysicsBody::PhysicsBody(PhysicsWorld* owner, PhysicsLibBody* libraryBody, void* owningInstance, int32_t categoryIndex,
                         float bindOffsetX, float bindOffsetY)
    : world(owner),
      body(libraryBody),
      instance(owningInstance),
      offsetX(bindOffsetX),
      offsetY(bindOffsetY),
      category(categoryIndex)
{
    GetPosition(&previousX, &previousY);
    LibBody(body)->GetUserData().pointer = reinterpret_cast<uintptr_t>(this);
    nextInWorld = world->bodies;
    if (nextInWorld) nextInWorld->previousInWorld = this;
    world->bodies = this;
}

PhysicsBody::~PhysicsBody()
{
    if (!world) return;
    if (previousInWorld)
        previousInWorld->nextInWorld = nextInWorld;
    else
        world->bodies = nextInWorld;
    if (nextInWorld) nextInWorld->previousInWorld = previousInWorld;
    b2Body* b = LibBody(body);
    // Records of this frame's contacts must not keep the fixtures.
    for (b2Fixture* f = b->GetFixtureList(); f; f = f->GetNext()) world->ForgetFixture(OurFixture(f));
    b->GetUserData().pointer = 0;
    b2World* libraryWorld = b->GetWorld();
    if (Physics_Unlocked(libraryWorld)) libraryWorld->DestroyBody(b);
}

int32_t PhysicsBody::AddBinding(PhysicsLibFixture* fixture)
{
    const int32_t id = nextBindingId++;
    bool found = fixture == nullptr;
    for (b2Fixture* f = LibBody(body)->GetFixtureList(); f && !found; f = f->GetNext()) found = OurFixture(f) == fixture;
    if (found) bindings.push_back({id, fixture});
    return id;
}

PhysicsLibFixture* PhysicsBody::FindBinding(int32_t bindingId) const
{
    for (const PhysicsBinding& b : bindings)
        if (b.id == bindingId) return b.fixture;
    return nullptr;
}

bool PhysicsBody::RemoveFixture(int32_t bindingId)
{
    for (auto it = bindings.begin(); it != bindings.end(); ++it) {
        if (it->id != bindingId) continue;
        if (!it->fixture || !world) return false;
        b2Body* b = LibBody(body);
        if (!Physics_Unlocked(b->GetWorld())) return false;
        PhysicsMassChange change;
        change.removed = LibFixture(it->fixture);
        if (!PHYSICS_CHECK(Physics_MassResetSafe(b, change))) return false;
        world->ForgetFixture(it->fixture);
        b->DestroyFixture(LibFixture(it->fixture));
        bindings.erase(it);
        return true;
    }
    return false;
}

bool PhysicsBody::IsDynamic() const { return LibBody(body)->GetType() == b2_dynamicBody; }
bool PhysicsBody::IsStatic() const { return LibBody(body)->GetType() == b2_staticBody; }
bool PhysicsBody::IsAwake() const { return LibBody(body)->IsAwake(); }

void PhysicsBody::GetPosition(float* x, float* y) const
{
    const b2Vec2& p = LibBody(body)->GetPosition();
    *x = p.x;
    *y = p.y;
}

float PhysicsBody::GetAngle() const { return LibBody(body)->GetAngle(); }

void PhysicsBody::GetLinearVelocity(float* x, float* y) const
{
    const b2Vec2& v = LibBody(body)->GetLinearVelocity();
    *x = v.x;
    *y = v.y;
}

float PhysicsBody::GetAngularVelocity() const { return LibBody(body)->GetAngularVelocity(); }

float PhysicsBody::GetMass() const { return LibBody(body)->GetMass(); }

void PhysicsBody::SetPosition(float x, float y)
{
    b2Body* b = LibBody(body);
    if (!PHYSICS_CHECK(Finite(x, y)) || !Physics_Unlocked(b->GetWorld())) return;
    b->SetTransform(b2Vec2(x, y), b->GetAngle());
    b->SetAwake(true);
}

void PhysicsBody::SetRotation(float degrees)
{
    b2Body* b = LibBody(body);
    const float angle = degrees * kPi / 180.0f;
    if (!PHYSICS_CHECK(std::isfinite(angle)) || !Physics_Unlocked(b->GetWorld())) return;
    b->SetTransform(b->GetPosition(), angle);
    b->SetAwake(true);
}

void PhysicsBody::SetLinearVelocity(float vx, float vy)
{
    b2Body* b = LibBody(body);
    if (!PHYSICS_CHECK(Finite(vx, vy))) return;
    const b2Vec2 v(vx, vy);
    if (b2Dot(v, v) > 0.0f && b->GetType() == b2_staticBody) {
        if (!Physics_Unlocked(b->GetWorld())) return;
        b->SetType(b2_kinematicBody);
    }
    b->SetLinearVelocity(v);  // ignored by a static body
    b->SetAwake(true);
}

void PhysicsBody::SetAngularVelocity(float degreesPerSecond)
{
    b2Body* b = LibBody(body);
    const float w = degreesPerSecond * kPi / 180.0f;
    if (!PHYSICS_CHECK(std::isfinite(w))) return;
    b->SetAngularVelocity(w);  // ignored by a static body
    b->SetAwake(true);
}

void PhysicsBody::ApplyForce(float x, float y, float fx, float fy)
{
    if (!PHYSICS_CHECK(Finite(x, y) && Finite(fx, fy))) return;
    LibBody(body)->ApplyForce(b2Vec2(fx, fy), b2Vec2(x, y), true);
}

void PhysicsBody::ApplyImpulse(float x, float y, float jx, float jy)
{
    if (!PHYSICS_CHECK(Finite(x, y) && Finite(jx, jy))) return;
    LibBody(body)->ApplyLinearImpulse(b2Vec2(jx, jy), b2Vec2(x, y), true);
}

void PhysicsBody::ApplyLocalForce(float x, float y, float fx, float fy)
{
    b2Body* b = LibBody(body);
    const b2Vec2 point = b->GetWorldPoint(b2Vec2(x, y));
    const b2Vec2 force = b->GetWorldVector(b2Vec2(fx, fy));
    ApplyForce(point.x, point.y, force.x, force.y);
}

void PhysicsBody::ApplyLocalImpulse(float x, float y, float jx, float jy)
{
    b2Body* b = LibBody(body);
    const b2Vec2 point = b->GetWorldPoint(b2Vec2(x, y));
    const b2Vec2 impulse = b->GetWorldVector(b2Vec2(jx, jy));
    ApplyImpulse(point.x, point.y, impulse.x, impulse.y);
}

void PhysicsBody::ApplyTorque(float torque)
{
    if (!PHYSICS_CHECK(std::isfinite(torque))) return;
    LibBody(body)->ApplyTorque(torque, true);
}

void PhysicsBody::ApplyAngularImpulse(float impulse)
{
    if (!PHYSICS_CHECK(std::isfinite(impulse))) return;
    LibBody(body)->ApplyAngularImpulse(impulse, true);
}

void PhysicsBody::SetMassProperties(float mass, float centreX, float centreY, float inertia)
{
    b2Body* b = LibBody(body);
    if (!PHYSICS_CHECK(Finite(mass, inertia) && Finite(centreX, centreY)) || !Physics_Unlocked(b->GetWorld())) return;
    b2MassData data;
    data.mass = mass;
    data.center.Set(centreX, centreY);
    data.I = inertia;
    // The library moves the inertia to the centre of mass and requires what
    // remains to be positive.
    if (b->GetType() == b2_dynamicBody && inertia > 0.0f && !b->IsFixedRotation()) {
        const float used = mass > 0.0f ? mass : 1.0f;
        if (!PHYSICS_CHECK(inertia - used * b2Dot(data.center, data.center) > 0.0f)) return;
    }
    b->SetMassData(&data);
}

float PhysicsBody::GetDensity(int32_t bindingId) const
{
    PhysicsLibFixture* f = FindBinding(bindingId);
    return f ? LibFixture(f)->GetDensity() : 0.0f;
}

float PhysicsBody::GetFriction(int32_t bindingId) const
{
    PhysicsLibFixture* f = FindBinding(bindingId);
    return f ? LibFixture(f)->GetFriction() : 0.0f;
}

float PhysicsBody::GetRestitution(int32_t bindingId) const
{
    PhysicsLibFixture* f = FindBinding(bindingId);
    return f ? LibFixture(f)->GetRestitution() : 0.0f;
}

void PhysicsBody::SetDensity(int32_t bindingId, float value)
{
    PhysicsLibFixture* f = FindBinding(bindingId);
    if (!f || !PHYSICS_CHECK(std::isfinite(value) && value >= 0.0f)) return;
    b2Body* b = LibBody(body);
    PhysicsMassChange change;
    change.changed = LibFixture(f);
    change.changedDensity = value;
    if (!Physics_Unlocked(b->GetWorld()) || !PHYSICS_CHECK(Physics_MassResetSafe(b, change))) return;
    LibFixture(f)->SetDensity(value);
    b->ResetMassData();
}

void PhysicsBody::SetFriction(int32_t bindingId, float value)
{
    PhysicsLibFixture* f = FindBinding(bindingId);
    if (f && PHYSICS_CHECK(std::isfinite(value) && value >= 0.0f)) LibFixture(f)->SetFriction(value);
}

void PhysicsBody::SetRestitution(int32_t bindingId, float value)
{
    PhysicsLibFixture* f = FindBinding(bindingId);
    if (f && PHYSICS_CHECK(std::isfinite(value))) LibFixture(f)->SetRestitution(value);
}
