#pragma once
// The instance-destroy back end of the instance built-ins. Until they exist
// (InstanceDestroy_Stub.cpp) it destroys the active instance with that id,
// running its destroy and clean-up events once, and marks it for removal.
#include <cstdint>

class CInstance;

void Instance_DestroyByTarget(CInstance* self, CInstance* other, int32_t target, bool runEvents);
