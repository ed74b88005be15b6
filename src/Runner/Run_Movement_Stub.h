#pragma once
// STAND-IN for what the movement phase needs of physics until it exists.
#include <cstdint>

class PhysicsWorld;

// Physics: one step of the room's world; the stand-in counts the steps.
void PhysicsWorld_Update(PhysicsWorld* world, int32_t rate, bool anyPath);
extern int32_t PhysicsWorldSteps;
