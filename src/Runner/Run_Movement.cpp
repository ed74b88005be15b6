#include "Runner/Run_Movement.h"

#include "Code/Code_Profiler.h"
#include "Base/Timing.h"
#include "World/Event_Drivers.h"
#include "World/Instance.h"
#include "World/Event_Main.h"
#include "World/Room_Class.h"
#include "GameData/GameHeader.h"
#include "World/Room_Physics.h"
#include "Runner/GameChunks.h"
#include "World/Collision.h"

bool HandleInstanceMovement(bool anyPath)
{
    const ProfilerSection section(SECTION_HANDLE_INSTANCE_MOVEMENT);
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
