// STAND-IN: see Run_Movement_Stub.h.
#include "Runner/Run_Movement_Stub.h"

int32_t PhysicsWorldSteps = 0;

void PhysicsWorld_Update(PhysicsWorld*, int32_t, bool) { ++PhysicsWorldSteps; }
