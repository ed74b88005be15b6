// STAND-IN: see Room_Stub.h.
#include "Object/Room_Stub.h"

#include "Object/Instance.h"
#include "Object/Object_Stub.h"

CGameRoom* Run_Room = nullptr;

void CGameRoom::UpdateActiveLists()
{
    for (CInstance* instance = deactivatedInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (!instance->m_deactivated) {
            deactivatedInstances.Remove(instance);
            activeInstances.Insert(instance);
            if (instance->m_object) instance->m_object->AddInstance(instance);
        }
        instance = next;
    }
    for (CInstance* instance = activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (instance->m_deactivated) {
            activeInstances.Remove(instance);
            deactivatedInstances.Append(instance);
            if (instance->m_object) instance->m_object->RemoveInstance(instance);
        }
        instance = next;
    }
}
