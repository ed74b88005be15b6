#pragma once
// The particle and effect built-ins of game code.

// Registers the 64 of them (the three on layers only in layer mode).
void InitParticleFunctions();
