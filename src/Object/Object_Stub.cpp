// STAND-IN: see Object_Stub.h.
#include "Object/Object_Stub.h"

#include "Base/Hash.h"
#include "Object/Instance.h"

namespace {
Hash<CGameObject>* s_objects = nullptr;
int32_t s_objectCount = 0;

void RemoveFirst(SLinkedList<CInstance>& list, CInstance* instance)
{
    for (auto* node = list.first; node; node = node->next) {
        if (node->item != instance) continue;
        if (node->prev)
            node->prev->next = node->next;
        else
            list.first = node->next;
        if (node->next)
            node->next->prev = node->prev;
        else
            list.last = node->prev;
        QS_FREE(node);
        --list.count;
        return;
    }
}
}  // namespace

CGameObject::CGameObject(int32_t objectIndex) : index(objectIndex) {}

CGameObject::~CGameObject()
{
    QS_FREE(name);
    delete[] shapePoints;
}

void CGameObject::AddInstance(CInstance* instance)
{
    directInstances.Add(instance);
    for (CGameObject* o = this; o; o = o->parentObject) o->allInstances.Add(instance);
}

void CGameObject::RemoveInstance(CInstance* instance)
{
    RemoveFirst(directInstances, instance);
    for (CGameObject* o = this; o; o = o->parentObject) RemoveFirst(o->allInstances, instance);
}

void Object_Init()
{
    Object_Free();
    s_objects = new Hash<CGameObject>(512);
}

int32_t Object_CreateEmpty()
{
    if (!s_objects) Object_Init();
    int32_t index = s_objectCount++;
    s_objects->Insert(index, new CGameObject(index));
    return index;
}

CGameObject* Object_Get(int32_t index)
{
    return s_objects ? s_objects->Find(index) : nullptr;
}

void Object_Free()
{
    if (s_objects) s_objects->Clear(HASH_DELETE_VALUE);
    delete s_objects;
    s_objects = nullptr;
    s_objectCount = 0;
}
