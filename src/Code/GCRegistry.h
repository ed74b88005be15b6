#pragma once
// The garbage collector: the entry table that objects join when made and
// leave when freed, and the collection of a frame. Until the collector exists
// (GCRegistry_Stub.cpp) nothing is ever collected.
#include <cstdint>

class KVObjectBase;

struct GCRegistry {
    // The object's entry index; -1 when the table cannot grow.
    static int32_t Add(KVObjectBase* object);
    // Clears the object's entry and its registry index; nothing when unregistered.
    static void Remove(KVObjectBase* object);
    static KVObjectBase* At(int32_t index);
};

// Object mode: one pass of the collector over what root reaches.
void GC_Collect(void* root);
