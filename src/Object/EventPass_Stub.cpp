// STAND-IN: see EventPass_Stub.h.
#include "Object/EventPass_Stub.h"

uint64_t EventPassCounter = 0;
