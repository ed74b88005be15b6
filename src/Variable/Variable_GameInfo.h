#pragma once
// Read-only built-in variables that show the game's identity: game_id,
// game_guid, game_display_name and game_project_name from its general
// header, and game_save_id, the folder of its save area.
#include "Code/Code_Variable.h"

// The getter of one of those names (no setter); false for any other name.
bool Variable_GameInfoAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter);
