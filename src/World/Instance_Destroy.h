#pragma once
// STAND-IN for the instance-destroy back end of the instance built-ins until
// they exist: destroys the active instance with that id, running its destroy
// and clean-up events once, and marks it for removal.
#include <cstdint>

class CInstance;

void Instance_DestroyByTarget(CInstance* self, CInstance* other, int32_t target, bool runEvents);
