#pragma once
// Variables read and written through a target (all instances, the instances
// of an object and its descendants, one instance id) and, in object mode,
// through the chain of scope objects.
#include <cstdint>

struct ScriptValue;

constexpr int32_t TARGET_ALL = -3;

// Set by a target read (and Variable_TargetName) that found no instance.
extern bool TargetMissingFlag;

// Reads the variable of the first instance the target names.
bool Variable_GetByTarget(int32_t target, int32_t id, int32_t arrayIndex, ScriptValue* out);
// Writes the variable of every instance the target names; a target without
// instances is a fatal error ("Unable to find any instance for object index").
bool Variable_SetByTarget(int32_t target, int32_t id, int32_t arrayIndex, ScriptValue* value);
// The object name of the target for messages, "<unknown_object>" when none.
const char* Variable_TargetName(int32_t target);

// Object mode: the name of id looked up along the scope chain.
bool Variable_GetScoped(int32_t id, int32_t arrayIndex, ScriptValue* out);
void Variable_SetScoped(int32_t id, int32_t arrayIndex, ScriptValue* value);
// False when the variable found is not configurable.
bool Variable_DeleteScoped(int32_t id, int32_t arrayIndex);
