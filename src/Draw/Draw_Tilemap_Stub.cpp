// Stand-ins: see Draw_Tilemap.h.
#include "Draw/Draw_Tilemap.h"

void DrawTilemap(const LayerElement_Tilemap*, const RoomLayer*, float, float, float) {}

void DrawTile(int32_t, uint32_t, int32_t, float, float, float) {}
