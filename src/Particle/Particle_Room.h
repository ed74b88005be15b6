#pragma once
// Connects the particle module to the rooms and layers it puts systems on.

void Run_InstallParticleHooks();
