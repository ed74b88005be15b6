#pragma once
// STAND-IN for the layer built-ins until they exist: the two that the demo
// game's code calls, registered by name so that its references resolve.
// layer_tilemap_get_id answers -1 (no tile map) and layer_get_all_elements an
// empty array, as the real ones do for a layer that is not found.
#include "Code/Code_Value.h"

class CInstance;

void F_LayerTilemapGetId(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void F_LayerGetAllElements(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);

void InitLayerFunctions();
