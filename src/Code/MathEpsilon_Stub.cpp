// STAND-IN: see MathEpsilon_Stub.h.
#include "Code/MathEpsilon_Stub.h"

double MathEpsilon = 1e-10;
