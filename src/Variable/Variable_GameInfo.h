#pragma once
// Read-only built-in variables that show the game's general header:
// game_id, game_display_name and game_project_name.
#include "Code/Code_Variable.h"

// The getter of one of those names; null for any other name.
BuiltinGetter Variable_GameInfoGetter(const char* name);
