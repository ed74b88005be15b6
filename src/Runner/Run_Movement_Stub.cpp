// STAND-IN: see Run_Movement_Stub.h.
#include "Runner/Run_Movement_Stub.h"

PerformedEventLog PerformedEvents = {0, nullptr, 0, 0};
int32_t PhysicsWorldSteps = 0;

void PerformEventForInstance(CInstance* self, CInstance*, int32_t kind, int32_t subKind)
{
    ++PerformedEvents.count;
    PerformedEvents.self = self;
    PerformedEvents.kind = kind;
    PerformedEvents.subKind = subKind;
}

int32_t Room_GetSpeed(const CGameRoom*) { return 30; }

void PhysicsWorld_Update(PhysicsWorld*, int32_t, bool) { ++PhysicsWorldSteps; }
