#pragma once
// The layer, layer element, tilemap and tile data built-ins of game code.
#include <cstdint>

// Registers all 148 of them, in their fixed order, in the built-in function table.
void InitLayerFunctions();
