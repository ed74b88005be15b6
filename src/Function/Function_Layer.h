#pragma once
// The layer, layer element, tilemap and tile data built-ins of game code.
#include <cstdint>

// Registers all 148 of them, in their fixed order, in the built-in function table.
void InitLayerFunctions();

// Set by layer_force_draw_depth: every layer is drawn at LayerForcedDepth.
extern bool LayerForceDrawDepth;
extern int32_t LayerForcedDepth;
