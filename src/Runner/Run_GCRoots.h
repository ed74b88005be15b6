#pragma once
// The collector's roots above the value layer: every instance the rooms hold
// (all live rooms, not only the current one, since a persistent room keeps its
// instances while dormant), the persistent instances between rooms, the dummy
// instances of layer and camera scripts, and the data structures.

void Run_MarkGCRoots();
