#include "Runner/Run_Movement.h"

#include "Base/Timing.h"
#include "Object/Event_Drivers.h"
#include "Object/Instance.h"
#include "Object/Event_Main.h"
#include "Object/Room_Class.h"
#include "Runner/GameHeader.h"
#include "Runner/Run_Movement_Stub.h"

bool HandleInstanceMovement(bool anyPath)
{
    CGameRoom* room = Run_Room;
    if (!room) return false;
    if (room->physics) {
        const int32_t rate = LayerMode ? static_cast<int32_t>(GameFrameTimer.GetFPS()) : room->speed;
        PhysicsWorld_Update(room->physics, rate, anyPath);
        return true;
    }
    // Instances created during the pass get no end-of-path event from it.
    const uint64_t pass = EventPassCounter++;
    for (CInstance* instance = room->activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        instance->ApplyFrictionGravity();
        if (instance->AdvancePath() && instance->m_creationStep <= pass)
            PerformEventForInstance(instance, instance, EVENT_OTHER, EVENT_OTHER_END_OF_PATH);
        instance->SetPosition(instance->x + instance->hspeed, instance->y + instance->vspeed);
        instance = next;
    }
    return false;
}
