#pragma once
// The object resource built-ins (part of the "Resource.." group): queries and
// settings of object definitions, the parent relation, objects added and
// removed at run time.
#include <cstdint>

class CGameObject;

void InitObjectFunctions();

// Stores the parent index; an index in 0..999999 also links the parent's
// record (null when the table has none there). Others leave the link alone.
void Object_SetParent(CGameObject* object, int32_t parent);
