#pragma once
// The garbage collector of object mode: the entry table that every object
// joins when made and leaves when freed, and the mark-and-sweep collection run
// once per frame. Marking uses an explicit stack, so the depth of an object
// graph is not limited by the machine stack, and cycles are collected.
#include <cstdint>

class KVObjectBase;
struct ScriptValue;

struct GCRegistry {
    // The object's entry index; -1 when the table cannot grow.
    static int32_t Add(KVObjectBase* object);
    // Clears the object's entry and its registry index; nothing when unregistered.
    static void Remove(KVObjectBase* object);
    static KVObjectBase* At(int32_t index);
    static int32_t Capacity();
    static int32_t Count();
};

// The roots above this layer (instances of the rooms, data structures, the
// dummy instances of layer and camera scripts), marked with GC_MarkObject and
// GC_MarkValue. Set by Runner_InstallHooks; until then (and for null) there
// are none.
void GC_SetMarkRootsHook(void (*markRoots)());

// One collection when object mode is on: marks what the global object and
// the roots reach, frees every other registered object. Always false.
bool GC_Collect();
// One collection whatever the mode; the engine's reset takes with it what
// earlier runs left unreached.
void GC_CollectNow();

// During a collection: marks an object (and, through the mark stack, all it
// references), or the object or array a value holds. Outside a collection
// they do nothing.
void GC_MarkObject(KVObjectBase* object);
void GC_MarkValue(const ScriptValue* value);

// The number of the last collection pass (0 before the first).
uint32_t GC_PassNumber();
