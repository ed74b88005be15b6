#pragma once
// The high-score table: the ten best scores with player names, place 1 the
// highest, kept in "hiscore.dat" in the save area (loaded while the
// built-ins are registered, saved at shutdown when an entry was added).
//
// File: "HISC", u32 length of the whole file, then ten entries, place 1
// first, each u32 name length n, the n name bytes padded with 0xF0 to a
// multiple of 4, s32 value (little-endian). An entry without a name is
// length 0 and value 0.
#include <cstdint>

// The running game's score (the built-in score), which highscore_add_current enters.
extern double score;

constexpr int SCORE_PLACES = 10;
// Names longer than this mark a file as damaged.
constexpr uint32_t SCORE_MAX_NAME = 256;

// Start-up: the cleared table.
void Score_Init();
// Loads "hiscore.dat" from the save area.
void Score_Load();
// Shutdown: saves "hiscore.dat" when an entry was added since the last load or save.
void Score_Save();
// A missing, foreign or short file leaves the table as it was; a damaged
// entry stops the load there (earlier places keep what was read). The
// changed flag is cleared either way. True when all ten entries were read.
bool Score_LoadFile(const char* fullPath);
// Creates the file's folders and writes the table; the changed flag is
// cleared even when the file cannot be written. True when written.
bool Score_SaveFile(const char* fullPath);
// Puts the entry at the first place with a smaller value (equal values stay
// ahead); the last place falls out. Nothing changes when no place is smaller.
void Score_Add(const char* name, int32_t value);
// Every name becomes the empty-entry text, every value 0; the changed flag
// is not touched.
void Score_Clear();
// The table as a new run finds it: no entries, the usual empty name, unchanged.
void Score_Reset();
// What Score_Clear writes as names ("<nobody>" at start).
void Score_SetEmptyName(const char* text);
// Place 1..10: the name (null for an entry without one) and the value;
// other places give null and 0.
const char* Score_GetName(int place);
int32_t Score_GetValue(int place);
bool Score_Changed();
