#pragma once
// The numeric, string, array, type-test and conversion built-ins of game code
// (the "Math.." group), and the numeric routines other modules share.
#include <cstdint>

#include "Code/Code_Value.h"

class CInstance;

// Registers the group's 116 names in their table order.
void InitMathFunctions();

// Degrees to radians in double precision, with pi as the single-precision 3.1415927.
double DegToRad(double degrees);
// Direction from (x1, y1) to (x2, y2) in degrees, 0 <= d < 360, counter-clockwise
// on a screen whose y axis points down.
float PointDirection(float x1, float y1, float x2, float y2);

// Inclusive integer draws from two generator outputs each: 63 random bits, 64
// for spans wider than 2^63; any 64-bit bounds, the full range included.
int64_t Random_IntUpTo(int64_t n);                  // 0..n, or n..0 for n < 0
int64_t Random_IntBetween(int64_t a, int64_t b);    // min(a, b)..max(a, b)
