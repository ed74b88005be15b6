#include "Particle/Particle_Room.h"

#include "Base/Timing.h"
#include "GameData/GameHeader.h"
#include "World/Room_Class.h"
#include "World/Room_Layers.h"

namespace {

// The element goes back to its pool when no layer takes it.
int32_t Place(LayerElement_ParticleSystem* element, int32_t id)
{
    if (id == -1 && element) Layer_ReturnElement(element);
    return id;
}

LayerElement_ParticleSystem* NewElement(int32_t system)
{
    LayerElement_ParticleSystem* element = Layer_NewParticleSystemElement();
    if (element) element->system = system;
    return element;
}
}  // namespace

int32_t ParticleRoom_AddAtDepth(int32_t system, int32_t depth)
{
    if (!Run_Room) return -1;
    LayerElement_ParticleSystem* element = NewElement(system);
    return Place(element, Layer_AddElementAtDepth(Run_Room, depth, element, true, true));
}

ParticleLayerPlace ParticleRoom_FindLayer(int32_t layerId)
{
    CGameRoom* target = Layer_GetTargetRoom();
    if (!target) return PARTICLE_LAYER_NO_ROOM;
    if (!Layer_FindByID(target, layerId)) return PARTICLE_LAYER_MISSING;
    return target == Run_Room ? PARTICLE_LAYER_CURRENT_ROOM : PARTICLE_LAYER_OTHER_ROOM;
}

int32_t ParticleRoom_AddToLayer(int32_t system, int32_t layerId, int32_t* layerDepth)
{
    RoomLayer* layer = Run_Room ? Layer_FindByID(Run_Room, layerId) : nullptr;
    if (!layer) return -1;
    *layerDepth = layer->depth;
    LayerElement_ParticleSystem* element = NewElement(system);
    return Place(element, Layer_AddElement(Run_Room, layer, element, true));
}

void ParticleRoom_RemoveElement(int32_t elementId)
{
    if (Run_Room) Layer_RemoveElementByID(Run_Room, elementId, true, false);
}

int32_t ParticleRoom_Width() { return Run_Room ? Run_Room->width : 0; }
int32_t ParticleRoom_Height() { return Run_Room ? Run_Room->height : 0; }
double ParticleRoom_TargetRate()
{
    if (LayerMode) return GameFrameTimer.targetRate;
    return Run_Room ? Run_Room->speed : 30;
}

