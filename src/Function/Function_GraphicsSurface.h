#pragma once
// The surface draw built-ins (part of the "Graphic.." group): draw_surface
// and its ext, stretched, part, general and tiled forms.

void InitGraphicSurfaceDrawFunctions();
