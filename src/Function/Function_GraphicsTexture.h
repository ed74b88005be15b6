#pragma once
// The surface, texture and screen built-ins (part of the "Graphic.." group):
// surface_*, texture_* and screen_save, screen_save_part.

void InitGraphicTextureFunctions();
