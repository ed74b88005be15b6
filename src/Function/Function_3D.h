#pragma once
// The matrix, frustum and legacy 3D built-ins ("3D.." group).

// Registers the group: the d3d_ built-ins in legacy games, the matrix and
// frustum built-ins always, the matrix stack in new-format games (which also
// start drawing in white).
void Init3DFunctions();
