#pragma once
// The saved-game built-ins: game_save, game_save_buffer, game_load and
// game_load_buffer. Saved games belong to the runner: the operations they
// call are set by Runner_InstallHooks; until then (and for a null slot)
// nothing is saved or loaded.
#include <cstdint>

struct GameSaveLoadHooks {
    void (*save)(const char* name);
    bool (*saveBuffer)(int32_t buffer);
    void (*load)(const char* name);
    bool (*loadBuffer)(int32_t buffer);
};
void GameSave_SetHooks(const GameSaveLoadHooks& hooks);

void InitGameSaveLoadFunctions();
