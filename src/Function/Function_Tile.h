#pragma once
// The legacy tile built-ins: tiles of the current room cut from backgrounds,
// added, found, read, changed and deleted by tile id, and whole tile layers
// (all tiles of one depth) hidden, shown, moved or deleted.

// Registers the tile_ built-ins in the built-in function table.
void InitTileFunctions();
