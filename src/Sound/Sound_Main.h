#pragma once
// The legacy sound list, which serves games that do not use the audio engine.
// Until it exists (Sound_Main_Stub.cpp) it holds no sound.

// Prepares the sounds marked for preloading; false when that fails.
bool Sound_Prepare();
void Sound_DeleteAll();
// The game data's sounds are forgotten before another game is read.
void Sound_Clear();
// Index of the sound of that name, -1 when there is none.
int Sound_Find(const char* name);
