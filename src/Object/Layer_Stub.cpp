// STAND-IN: see Layer_Stub.h.
#include "Object/Layer_Stub.h"

#include "Object/Instance.h"

namespace {
constexpr int32_t kMaxLayers = 8;
CLayer s_layers[kMaxLayers];
int32_t s_count = 0;
}  // namespace

void Layer_UpdateInstanceActivation(CGameRoom*, CInstance*) {}

CLayer* Layer_FindByID(CGameRoom*, int32_t id)
{
    for (int32_t i = 0; i < s_count; ++i)
        if (s_layers[i].id == id) return &s_layers[i];
    return nullptr;
}

void Layer_AddInstance(CGameRoom*, CLayer* layer, CInstance* instance)
{
    instance->layer = layer->id;
    instance->m_onLayer = true;
    instance->depth = static_cast<float>(layer->depth);
}

void Layer_RemoveInstance(CGameRoom*, CInstance* instance)
{
    instance->layer = -1;
    instance->m_onLayer = false;
}

void Layer_UpdateInstanceDepth(CGameRoom*, CInstance*) {}

bool Layer_StubAdd(const CLayer& layer)
{
    if (s_count >= kMaxLayers) return false;
    s_layers[s_count++] = layer;
    return true;
}

void Layer_StubClear() { s_count = 0; }

void Layer_BuildRoomLayers(CGameRoom*, const uint8_t*) {}
void Layer_CopyRoomLayers(CGameRoom*, const CGameRoom*) {}
void Layer_FreeAll(CGameRoom*) {}
void Layer_AddInstanceToDefault(CGameRoom*, CInstance*) {}
void Layer_AddInstanceById(CGameRoom*, CInstance*) {}
void Layer_AnimateRoom(CGameRoom*, double) {}
void Layer_StartRoom(CGameRoom*) {}
void Layer_UnresolveAll(CGameRoom*) {}
