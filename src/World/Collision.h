#pragma once
// The instance spatial index and the collision step of a frame. Until it
// exists (Collision_Stub.cpp) the index is off, so an instance has nothing to
// report, join or leave.
class CGameRoom;
class CInstance;

void Collision_MarkMoved(CInstance* instance);
void Collision_RemoveInstance(CInstance* instance);
void Collision_AddInstance(CInstance* instance);
bool Collision_IndexOn();
// Drops the whole index, and builds it again from a room's instances.
void Collision_DeleteIndex();
void Collision_RebuildIndex(CGameRoom* room);

void Collision_Step();
