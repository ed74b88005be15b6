#pragma once
// Shared between the particle module's files.
#include <cstdint>

#include "Particle/Particle_Main.h"

// Releases the shape textures (shutdown).
void Particle_FreeTextures();
// Makes room for at least n particles in the system's list.
bool Particle_Reserve(ParticleSystem* system, int32_t n);
