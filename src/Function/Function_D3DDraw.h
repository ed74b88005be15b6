#pragma once
// The legacy d3d_ built-ins that draw: primitives built vertex by vertex and
// the six ready-made shapes.
#include "Code/Code_Value.h"

// Argument n as a drawing texture: -1, a game texture index or a texture-page
// handle; a number outside the int range names none (-2, drawn untextured).
int D3D_TextureArgument(ScriptValue* args, int n);

// Registers them in legacy games; new-format games draw in 3D otherwise.
void InitD3DDrawFunctions();
