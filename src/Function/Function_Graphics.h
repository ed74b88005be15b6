#pragma once
// The "Graphic.." group of built-ins: shapes and draw state, text, display,
// tiles, surfaces, textures, sprites and backgrounds.

void InitGraphicFunctions();
