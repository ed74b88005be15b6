#pragma once
// The room, background and view variables: game-wide, they read and write
// the current room's record (nothing to read or write before a room runs).
// Array variables take slots 0 to 7; any other index addresses slot 0.
#include "Code/Code_Variable.h"

// The getter and setter of one of those names; false for any other name.
bool Variable_RoomAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter);
