#pragma once
// Destroying instances: the destroy and clean-up events run once per
// instance, then it is marked for removal at the end of the step.
#include <cstdint>

class CInstance;

// Nothing for an instance already destroyed.
void Instance_Destroy(CInstance* instance);
// Every live instance of the target (-1 self, -2 other, -3 all, an id, an
// object with its descendants). Without events only the clean-up event runs;
// either way the instance counts as destroyed, so nothing runs twice.
void Instance_DestroyByTarget(CInstance* self, CInstance* other, int32_t target, bool runEvents);
// Every active instance whose shape contains the point.
void Instance_DestroyAtPoint(float x, float y);
