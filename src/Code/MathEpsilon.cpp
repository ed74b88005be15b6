#include "Code/MathEpsilon.h"

double MathEpsilon = 1e-10;
