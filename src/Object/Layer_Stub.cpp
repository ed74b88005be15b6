// STAND-IN: see Layer_Stub.h.
#include "Object/Layer_Stub.h"

void Layer_UpdateInstanceActivation(CGameRoom*, CInstance*) {}
