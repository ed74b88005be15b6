#pragma once
// Where particle systems meet the running room: the elements that put them
// on its layers, its size, and the frame rates their effects are scaled by.
#include <cstdint>

#include "Particle/Particle_Main.h"

// A new element for the system on a dynamic layer of the current room at
// depth (made when missing); the element id, -1 when it cannot be added.
int32_t ParticleRoom_AddAtDepth(int32_t system, int32_t depth);
// Where the layer of that id is, seen from the layer built-ins' target room.
ParticleLayerPlace ParticleRoom_FindLayer(int32_t layerId);
// A new element for the system on that layer of the current room; the
// element id (and the layer's depth), -1 when it cannot be added.
int32_t ParticleRoom_AddToLayer(int32_t system, int32_t layerId, int32_t* layerDepth);
// Removes the element from the current room, dropping a dynamic layer left empty.
void ParticleRoom_RemoveElement(int32_t elementId);
// The current room's size, 0 without a room.
int32_t ParticleRoom_Width();
int32_t ParticleRoom_Height();
// The target frame rate: the room speed (30 without a room), or the game
// speed in layer mode.
double ParticleRoom_TargetRate();
