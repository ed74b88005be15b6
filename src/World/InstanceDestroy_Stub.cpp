// Stand-ins: see Instance_Destroy.h.
#include "World/Instance_Destroy.h"

#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Room_Class.h"

void Instance_DestroyByTarget(CInstance*, CInstance*, int32_t target, bool runEvents)
{
    CInstance* instance = Instance_Find(target);
    if (!instance || instance->m_marked || instance->m_deactivated) return;
    instance->m_marked = true;
    ++MarkedInstanceCount;
    if (!runEvents) return;
    PerformEventForInstance(instance, instance, EVENT_DESTROY, 0);
    PerformEventForInstance(instance, instance, EVENT_CLEANUP, 0);
}
