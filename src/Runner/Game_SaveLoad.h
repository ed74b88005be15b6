#pragma once
// Saved games: game_save writes the whole running game (header, global
// variables, cameras, every live room with its tiles, layers and instances,
// the virtual buttons) to a file of the save area or into a buffer;
// game_load and game_load_buffer queue a load that the next frame applies
// before any of its events. A load is all or nothing: the whole saved game is
// read and checked before anything of the running game changes, and a saved
// game that is cut short, damaged or of another layout leaves it as it was.
#include <cstdint>

class IBuffer;

void Game_Save(const char* name);
// False when the id names no buffer.
bool Game_SaveBuffer(int32_t bufferId);
void Game_Load(const char* name);
// False (with a warning) when a load from a file is queued or the id names no buffer.
bool Game_LoadBuffer(int32_t bufferId);
// Start of a frame: applies the queued load, if any; true when it was applied.
bool Game_ApplyQueuedLoad();
// A queued load is forgotten (the buffer read from a file deleted).
void Game_DropQueuedLoad();

// Every section at the buffer's cursor.
void Game_WriteSave(IBuffer* buffer);
// A whole saved game from the buffer's cursor; false, with the game
// unchanged and a warning on the log, when any part of it is refused.
bool Game_ReadSave(IBuffer* buffer);
