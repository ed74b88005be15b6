#pragma once
// The game's paths: a table of slots, each holding a path and its name or
// empty. Slots are never removed, so a path's index stays valid for the
// game's life.
#include <cstdint>

class CGamePath;

void Path_Init();
// Appends a slot named "__newpath<index>" holding a new path; returns its index.
int32_t Path_Add();
// A new slot holding a copy of the path at index; -1 when there is none.
int32_t Path_Duplicate(int32_t index);
// Makes the path at destination a copy of the one at source (an empty
// destination slot receives a new, nameless path). False when either index is
// out of range or the source is empty; assigning a path to itself is reported.
bool Path_Assign(int32_t destination, int32_t source);
// Null when the index is out of range or its slot is empty.
CGamePath* Path_Get(int32_t index);
bool Path_Delete(int32_t index);
bool Path_Exists(int32_t index);
// Lowest index of a path with exactly this name (case-sensitive); -1 when none.
int32_t Path_Find(const char* name);
// "<undefined>" when there is no path; "" for a path without a name.
const char* Path_Name(int32_t index);
// Number of slots, empty ones included.
int32_t Path_Count();
// Reader of the "PATH" chunk; false (with the reason recorded) when the
// payload is malformed, and the table is then left as it was.
bool Path_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
void Path_ResetAll();
void Path_FreeAll();
