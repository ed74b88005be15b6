// Stand-ins: see Particle_Main.h.
#include "Particle/Particle_Main.h"

void Particle_Init() {}
void ParticleSystem_UpdateAll() {}
void ParticleSystem_RoomStart() {}
void ParticleSystem_RoomEnd() {}
void ParticleSystem_FreeAll() {}
void Part_CreateTextures() {}
void Effect_Clear() {}
float ParticleSystem_MaxDepth() { return -1e9f; }
float ParticleSystem_NextDepthBelow(float) { return -1e9f; }
void ParticleSystem_DrawAtDepth(float) {}
void ParticleSystem_DrawElement(int) {}
