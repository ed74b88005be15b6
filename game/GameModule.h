#pragma once
// The demo game's compiled module: its code, the names that code refers to,
// and the link record that hands both, with the embedded game data, to the
// runner.
#include "Code/Code_Link.h"

// Variable references, in order: the code's own variables by slot, then the
// built-in ones (-1 until the runner resolves them).
extern LinkVariableRef Ref_tilesize, Ref_map, Ref_mountains, Ref_trees, Ref_clouds, Ref_x, Ref_image_xscale;
// Function references (index 0 until the runner resolves them).
extern LinkFunctionRef Ref_layer_tilemap_get_id, Ref_layer_get_all_elements;

// Slots of the code's own variables in an instance.
enum : int32_t { SLOT_TILESIZE, SLOT_MAP, SLOT_MOUNTAINS, SLOT_TREES, SLOT_CLOUDS };

// The compiled events, in code-index order.
void qsc_Object_object_Game_Create_0(CInstance* self, CInstance* other, ScriptValue* result, int argc,
                                     ScriptValue** args);
void qsc_Object_object_Player_Create_0(CInstance* self, CInstance* other, ScriptValue* result, int argc,
                                       ScriptValue** args);
void qsc_Object_object_Player_Step_0(CInstance* self, CInstance* other, ScriptValue* result, int argc,
                                     ScriptValue** args);
