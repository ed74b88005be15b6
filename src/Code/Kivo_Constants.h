#pragma once
// The platform constants: operating systems, devices, browsers, challenges and
// leaderboards, achievement results, asset kinds, data-structure kinds and
// social log-in modes, all reals.

// Registers them in the constant table (Code_Constant_Init does, at start-up).
void InitKivoConstants();
