#pragma once
// STAND-IN for the standard library's math epsilon (math_set_epsilon) until
// that subsystem exists: the tolerance of key comparisons, 1e-10 at start.
extern double MathEpsilon;
