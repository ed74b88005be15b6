#pragma once
// The light, lighting, fog and shading built-ins: draw_light_* in games of
// the new format, their d3d_ twins with d3d_set_fog and d3d_set_shading in
// legacy games.
void InitLightFunctions();
