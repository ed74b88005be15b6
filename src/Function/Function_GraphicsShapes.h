#pragma once
// The draw-state, shape and colour built-ins (part of the "Graphic.." group):
// colour, alpha, alpha test, blend, write mask, circle precision, font and
// alignment, the frame and vector-sprite switches, the 2D shapes and user
// primitives, and the colour arithmetic of game code.
#include <cstdint>

void InitGraphicShapeFunctions();
