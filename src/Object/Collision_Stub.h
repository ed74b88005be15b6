#pragma once
// STAND-IN for the instance spatial index until instance behaviour exists:
// the index is off, so an instance has nothing to report or leave.
class CInstance;

void Collision_MarkMoved(CInstance* instance);
void Collision_RemoveInstance(CInstance* instance);
