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
