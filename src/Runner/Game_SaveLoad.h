#pragma once
// Saved games: game_save writes the game state, game_load queues a load
// that the next frame applies.
// Until saving exists (Game_SaveLoad_Stub.cpp) nothing is ever queued.

void Game_ApplyQueuedLoad();
