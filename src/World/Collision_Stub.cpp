// Stand-ins: see Collision.h.
#include "World/Collision.h"

void Collision_MarkMoved(CInstance*) {}
void Collision_RemoveInstance(CInstance*) {}
void Collision_AddInstance(CInstance*) {}
bool Collision_IndexOn() { return false; }
void Collision_DeleteIndex() {}
void Collision_RebuildIndex(CGameRoom*) {}

void Collision_Step() {}
