#pragma once
// Extension packages: the "EXTN" chunk's packages, whose functions game code
// calls by name (callable ids from 500000 up), bound to native libraries or
// answering as placeholders, and the initialisation and finalisation
// functions their files name.
#include <cstdint>

struct ScriptValue;

// Reads the "EXTN" chunk (ChunkReader): the package table is replaced. False,
// with the reason, when an offset, count or id does not fit the chunk.
bool Extension_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);

// After loading: drops the package "KivoWorks", numbers every function by its
// id and binds the functions of library files to their libraries. True.
bool Extension_Prepare();

// The id of the first function of that name over the packages in order, -1
// when there is none.
int Extension_FindFunction(const char* name);

// Calls the function of id with argc arguments; result receives its value
// (the real 0 when it has none). False only for an id outside the numbered ones.
bool Extension_CallFunction(int id, int argc, ScriptValue* args, ScriptValue* result);

// Run each file's initialisation (at game start) or finalisation (at game
// end) function: a script of that name when there is one, else the package's
// function. False after the fatal report of a failing script or a missing
// function; the files after it are not visited.
bool Extension_CallInitFunctions();
bool Extension_CallFinalFunctions();

// Forgets the packages (the defined library functions stay).
void Extension_Free();
