#pragma once
// The saved-game built-ins: game_save, game_save_buffer, game_load and
// game_load_buffer. Saved games belong to the runner, which installs the
// operations they call.
#include <cstdint>

struct GameSaveLoadHooks {
    void (*save)(const char* name);
    bool (*saveBuffer)(int32_t buffer);
    void (*load)(const char* name);
    bool (*loadBuffer)(int32_t buffer);
};
extern GameSaveLoadHooks Function_GameSaveLoad;

void InitGameSaveLoadFunctions();
