#pragma once
// The tolerance of number comparisons (math_set_epsilon), 1e-10 at start.
extern double MathEpsilon;
