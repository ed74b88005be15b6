#pragma once
// Particle types and systems, their textures and the effects built on them.
// Until they exist (Particle_Stub.cpp) there are none.

void Particle_Init();
void ParticleSystem_UpdateAll();
void ParticleSystem_RoomStart();
void ParticleSystem_RoomEnd();
void ParticleSystem_FreeAll();
void Part_CreateTextures();
void Effect_Clear();

// Depths of the visible particle systems, for drawing by depth: the largest,
// the largest below a depth (-1e9 when there is none).
float ParticleSystem_MaxDepth();
float ParticleSystem_NextDepthBelow(float depth);
// Draws every visible system within 0.01 of the depth.
void ParticleSystem_DrawAtDepth(float depth);
// Draws one system when it exists and is visible.
void ParticleSystem_DrawElement(int system);
