#pragma once
// STAND-INS for what the movement phase needs of event dispatch, rooms and
// physics until they exist.
#include <cstdint>

class CGameRoom;
class CInstance;
class PhysicsWorld;

// Event dispatch: runs an event of the instance's object. The stand-in only
// counts the calls and remembers the last one, so the phase can be followed.
void PerformEventForInstance(CInstance* self, CInstance* other, int32_t kind, int32_t subKind);
struct PerformedEventLog {
    int32_t count;
    CInstance* self;
    int32_t kind;
    int32_t subKind;
};
extern PerformedEventLog PerformedEvents;

// Rooms: the room's speed in steps per second (the stand-in room has none: 30).
int32_t Room_GetSpeed(const CGameRoom* room);

// Physics: one step of the room's world; the stand-in counts the steps.
void PhysicsWorld_Update(PhysicsWorld* world, int32_t rate, bool anyPath);
extern int32_t PhysicsWorldSteps;
