// STAND-IN: see Collision_Stub.h.
#include "Object/Collision_Stub.h"

void Collision_MarkMoved(CInstance*) {}
void Collision_RemoveInstance(CInstance*) {}
