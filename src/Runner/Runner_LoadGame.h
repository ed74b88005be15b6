#pragma once
// Finding the game and bringing its data into memory.
#include <cstdint>

// Shown (with the game file path) when there is no game data.
extern const char* const kUnableToFindGameMessage;  // "Unable to find game!!: %s"
// The first game file of the process (where a chained game returns to).
extern char* FirstGameFile;

// Chooses the game file (the embedded image of the compiled module first, then
// GameFilePath), reads options.ini and the debug-information file beside it,
// and brings the game data into memory (GameData, GameDataSize). Without game
// data a child game requests the game's end; any other game ends the process
// with exit code 1. Always returns false (the result is not used).
bool RunnerLoadGame();

// Called when a pass refused the game data: shows why (GameData_LastError);
// a child game then requests the game's end, any other ends the process with
// exit code 1.
void RunnerRefuseGameData();
// Ends a start-up that cannot go on the same way, after showing text (none
// when the failure was shown already).
void RunnerEndStartUp(const char* text);

// Reads a whole file into memory owned through the memory manager; null when
// it cannot be read or is 4 GiB or larger (offsets in game data are 32-bit).
uint8_t* GameFile_ReadWhole(const char* path, uint32_t* size);

// Shutdown: releases the game data, the debug information and the tables
// that point into them.
void UnloadGameData();
